#include "tunnel/teardown.h"

#include <vector>

#include "netprobe/os_type.h"
#include "platform/format.h"
#include "settings/setting_keys.h"
#include "tunnel/ipsec_service.h"
#include "tunnel/runner.h"
#include "tunnel/script_safety.h"
#include "tunnel/teardown_text.h"

namespace kestrun {
namespace {

using settings::kSection;
constexpr const char* kWorkingCopy = settings::kSettingPath;
constexpr int kNumberedNetworks = 10;
// Teardown reads the route values into buffers of its own sizes.
constexpr std::size_t kFirstRouteBuffer = 512;
constexpr std::size_t kNumberedRouteBuffer = 32;

std::vector<RouteValues> ReadNumberedRoutes(platform::Profile& profile) {
    std::vector<RouteValues> routes;
    for (int i = 1; i <= kNumberedNetworks; ++i) {
        RouteValues pair;
        pair.networkKey = Format("NetworkIP%d", i);
        pair.maskKey = Format("Submask%d", i);
        pair.network = profile.GetString(kSection, pair.networkKey, "0.0.0.0", kNumberedRouteBuffer,
                                         kWorkingCopy);
        pair.mask = profile.GetString(kSection, pair.maskKey, "0.0.0.0", kNumberedRouteBuffer,
                                      kWorkingCopy);
        routes.push_back(pair);
    }
    return routes;
}

void TraceRefused(platform::Platform& platform, const std::vector<std::string>& refused) {
    for (const std::string& name : refused) {
        platform.trace.Output(RefusedValueTrace(name));
    }
}

}  // namespace

int DelRouteTable(platform::Platform& platform) {
    platform.trace.Output("DelRouteTable()\n");
    RouteValues first;
    first.networkKey = settings::kKeyNetworkIp;
    first.maskKey = settings::kKeySubmask;
    first.network =
        platform.profile.GetString(kSection, first.networkKey, "", kFirstRouteBuffer, kWorkingCopy);
    first.mask =
        platform.profile.GetString(kSection, first.maskKey, "", kFirstRouteBuffer, kWorkingCopy);
    const ScriptText script = DelRouteTableText(first, ReadNumberedRoutes(platform.profile));
    // A refusal is worth knowing whether or not the script can be written.
    TraceRefused(platform, script.refused);

    const std::uint32_t error = platform.files.WriteNew(kDelRouteTableScriptName, script.text);
    if (error != 0) {
        platform.trace.Output(
            Format("Can't open file %s, error = %u\n", kDelRouteTableScriptName, error));
        return 0;
    }
    RunCommand(platform, kDelRouteTableScriptName);
    return 1;
}

int Clear_IPsec(platform::Platform& platform, int osType, const std::string& policy) {
    DelRouteTable(platform);
    const ScriptText script = ClearIPsecText(osType, policy);
    TraceRefused(platform, script.refused);
    if (platform.files.WriteNew(kClearIPsecScriptName, script.text) != 0) {
        platform.trace.Output(Format("Error in Open:%s\n", kClearIPsecScriptName));
    }
    RunCommand(platform, kClearIPsecScriptName);
    CheckIPsecService(platform, osType);
    platform.clock.Sleep(300);
    return 1;
}

int Clear_IPsec(platform::Platform& platform, const TunnelSettings& settings) {
    return Clear_IPsec(platform, g_nOSType, settings.m_strModelName);
}

}  // namespace kestrun
