// Removing a tunnel: its routes, its IPsec policy, and a restart of the IPsec service.
#pragma once

#include <string>

#include "platform/platform.h"
#include "settings/setting_file.h"

namespace kestrun {

constexpr const char* kDelRouteTableScriptName = "DelRouteTable.bat";
constexpr const char* kClearIPsecScriptName = "Clear_IPsec.bat";

// Writes "DelRouteTable.bat" from the routes that file (the working copy) names
// now, and runs it. Returns 1, or 0 when the file cannot be created.
int DelRouteTable(platform::Files& files, platform::Runner& runner, platform::Trace& trace,
                  const SettingFile& file);

// DelRouteTable, then writes and runs "Clear_IPsec.bat" for the policy named policy on
// osType and restarts the IPsec service. Returns 1.
int Clear_IPsec(platform::Files& files, platform::Clock& clock, platform::Runner& runner,
                platform::Services& services, platform::Trace& trace, const SettingFile& file,
                int osType, const std::string& policy);

}  // namespace kestrun
