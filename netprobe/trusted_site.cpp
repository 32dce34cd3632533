#include "netprobe/trusted_site.h"

#include "netprobe/os_type.h"
#include "platform/format.h"

namespace kestrun {
namespace {

constexpr const char* kRangeKeyFormat =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Ranges\\Range%d";
constexpr const char* kRangeValue = ":Range";
constexpr std::size_t kRangeBuffer = 260;
constexpr int kFirstRange = 1;
constexpr int kLastRange = 98;

// A range matches when its first occurrence in the address is not at the very start, so
// an empty range text never matches.
bool RangeMatches(const std::string& address, const std::string& range) {
    const std::size_t found = address.find(range);
    return found != std::string::npos && found > 0;
}

}  // namespace

int CheckTrustedSite(platform::Registry& registry, platform::Trace& trace, int osType,
                     const std::string& address) {
    if (!IsVistaOrLater(osType)) {
        return 1;
    }
    for (int number = kFirstRange; number <= kLastRange; ++number) {
        const std::string path = Format(kRangeKeyFormat, number);
        auto key = registry.Open(platform::RegRoot::CurrentUser, path, platform::kKeyAllAccess);
        if (!key) {
            trace.Output(Format("open RegKey:[%s] Failed!!!\n", path.c_str()));
            // Range numbers are consecutive; only the first may be missing.
            if (number == kFirstRange) {
                continue;
            }
            return 0;
        }
        const auto range = key->QueryString(kRangeValue, kRangeBuffer);
        if (range && RangeMatches(address, *range)) {
            trace.Output(Format("CheckTrustedSite:Index=%04d\n", number));
            return 1;
        }
    }
    return 0;
}

}  // namespace kestrun
