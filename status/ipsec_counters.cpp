#include "status/ipsec_counters.h"

#include <string_view>

namespace kestrun {

namespace {

constexpr std::string_view kSentLabel = "Bytes Sent In Tunnels";
constexpr std::string_view kReceivedLabel = "Bytes Received In Tunnels";

// Both labels contain spaces, so a line that carries one always has a last space.
std::string CounterText(std::string_view line) {
    return std::string(line.substr(line.rfind(' '))) + " Bytes";
}

}  // namespace

IPsecCounterTexts ParseIPsecCounters(const std::string& fileText) {
    IPsecCounterTexts texts;
    const std::string_view all(fileText);
    std::size_t start = 0;
    while (start < all.size()) {
        const std::size_t lineFeed = all.find('\n', start);
        const std::size_t end = lineFeed == std::string_view::npos ? all.size() : lineFeed;
        std::string_view line = all.substr(start, end - start);
        if (lineFeed != std::string_view::npos && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.find(kSentLabel) != std::string_view::npos) {
            texts.transmitted = CounterText(line);
        }
        if (line.find(kReceivedLabel) != std::string_view::npos) {
            texts.received = CounterText(line);
        }
        start = end + 1;
    }
    return texts;
}

// The texts are those of WinExec's failure results, which stand for these error codes.
std::optional<std::string> StatsScriptStartTrace(std::uint32_t startError) {
    switch (startError) {
        case 8:   // ERROR_NOT_ENOUGH_MEMORY
        case 14:  // ERROR_OUTOFMEMORY
            return "The system is out of memory or resources.";
        case 2:  // ERROR_FILE_NOT_FOUND
            return "The specified file was not found.";
        case 3:  // ERROR_PATH_NOT_FOUND
            return "The specified path was not found.";
        case 11:   // ERROR_BAD_FORMAT
        case 193:  // ERROR_BAD_EXE_FORMAT
            return "The .exe file is invalid.";
        default:
            return std::nullopt;
    }
}

}  // namespace kestrun
