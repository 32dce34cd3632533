// A login made in an outside browser, as the portal leaves it in the user's profile
// directory: the profile copy of the settings and the OpenVPN static key. Both are in a
// folder every program of the user can write, so they are read only as plain files, and
// read so that the two belong to the same moment.
#pragma once

#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/system.h"

namespace kestrun {

struct HandOver {
    std::string settings;            // the profile copy of Setting.tmp
    std::optional<std::string> key;  // Key.txt; none when the portal left none
};

inline bool operator==(const HandOver& a, const HandOver& b) {
    return a.settings == b.settings && a.key == b.key;
}
inline bool operator!=(const HandOver& a, const HandOver& b) {
    return !(a == b);
}

// The profile copy, then the key, then the profile copy again: an unchanged copy around the
// key's read shows that no new login was being written meanwhile. Nothing when there is no
// profile copy, or when a file cannot be read whole (the portal still writing it, a file
// that is not a plain one, a sharing violation) or changed meanwhile: the caller tries again
// later. Failures are traced under the name of the file beside the program that they keep
// from being written ("****Copy <file> Error:<code>\n", or a line naming a file that is not
// a plain one).
std::optional<HandOver> ReadHandOver(platform::Files& files, platform::Trace& trace,
                                     const std::string& profileDir, const std::string& currentDir);

// Writes the hand-over beside the program, the key first: a key the hand-over lacks is
// removed there, so that these settings never run with another login's key. False, traced,
// when a file could not be written: the caller tries again later (a file that could be
// created but not written is left empty, never half written).
bool WriteHandOver(platform::Files& files, platform::Trace& trace, const HandOver& handOver,
                   const std::string& currentDir);

}  // namespace kestrun
