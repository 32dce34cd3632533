// The IPsec traffic counters of the Connectivity Info window. They come from the supplied
// script "GetIPSecStats.bat", which the window starts, without waiting for it, at every
// refresh that finds no earlier run still going, and which leaves its listing in
// "./tmp.txt"; the window reads whatever that file holds at the moment.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrun {

constexpr const char* kIPsecStatsScript = "GetIPSecStats.bat";
constexpr const char* kIPsecStatsFile = "./tmp.txt";

// Field texts taken from the listing; a label that no line carries gives nothing, and the
// field keeps what it shows.
struct IPsecCounterTexts {
    std::optional<std::string> transmitted;  // from "Bytes Sent In Tunnels"
    std::optional<std::string> received;     // from "Bytes Received In Tunnels"
};

// fileText is the whole file as read from disk. Lines end at LF, and a CR before the LF
// belongs to the line end (the file is read in text mode); a last line without its end,
// as the script may leave it half written, still counts. On a line that carries a label
// the value is everything from the line's last space (kept) to its end, followed by
// " Bytes"; tabs do not separate. The last line that carries a label wins.
IPsecCounterTexts ParseIPsecCounters(const std::string& fileText);

// The debug text for a failed start of the script, by the system error code of the start
// (0: started); nothing for the codes that have no text.
std::optional<std::string> StatsScriptStartTrace(std::uint32_t startError);

}  // namespace kestrun
