// The texts of "DelRouteTable.bat" and "Clear_IPsec.bat", built from the values read.
#pragma once

#include <string>
#include <vector>

namespace kestrun {

// A script text and the names of the values left out of it because they were unsafe.
struct ScriptText {
    std::string text;
    std::vector<std::string> refused;
};

// One network/mask pair as read from Setting.tmp, with the keys it came from.
struct RouteValues {
    std::string networkKey;
    std::string network;
    std::string maskKey;
    std::string mask;
};

// "route delete" lines separated by line feeds (none after the last): the first pair when
// its network is neither empty nor "0.0.0.0", then each numbered pair whose network is not
// "0.0.0.0" and longer than 6 characters, each preceded by a line feed. Pairs with an
// unsafe value are left out and named in refused.
ScriptText DelRouteTableText(const RouteValues& first, const std::vector<RouteValues>& numbered);

// The policy removal for osType, each line ending in a line feed; empty where the system
// has no tool the client knows, or when the policy name is unsafe (then refused names it).
ScriptText ClearIPsecText(int osType, const std::string& policy);

}  // namespace kestrun
