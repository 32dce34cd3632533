// Writing one of the client's own files (scripts, the message page): a failure is only
// reported in the trace, and the caller goes on.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kestrun {

// Files::WriteNew; on failure traces "Can't open file <path>, error = <code>\n" and
// returns false.
bool WriteFileTraced(platform::Files& files, platform::Trace& trace, const std::string& path,
                     const std::string& bytes);

// The largest hand-over file (Setting.tmp, Key.txt) taken from the user's profile directory;
// both are a few hundred bytes.
constexpr std::uint32_t kHandOverFileLimit = 65536;

}  // namespace kestrun
