// Removing a tunnel: its routes, its IPsec policy, and a restart of the IPsec service.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kestrun {

constexpr const char* kDelRouteTableScriptName = "DelRouteTable.bat";
constexpr const char* kClearIPsecScriptName = "Clear_IPsec.bat";

// Writes "DelRouteTable.bat" from the routes that the working copy of Setting.tmp names
// now, and runs it. Returns 1, or 0 when the file cannot be created.
int DelRouteTable(platform::Platform& platform);

// DelRouteTable, then writes and runs "Clear_IPsec.bat" for the policy named policy on
// osType and restarts the IPsec service. Returns 1.
int Clear_IPsec(platform::Platform& platform, int osType, const std::string& policy);

}  // namespace kestrun
