#include "tunnel/teardown.h"

#include <vector>

#include "netprobe/os_type.h"
#include "platform/format.h"
#include "platform/traced_write.h"
#include "settings/setting_keys.h"
#include "settings/working_copy.h"
#include "tunnel/ipsec_service.h"
#include "tunnel/runner.h"
#include "tunnel/script_safety.h"
#include "tunnel/teardown_text.h"

namespace kestrun {
namespace {

constexpr int kNumberedNetworks = 10;
// Teardown reads the route values into buffers of its own sizes.
constexpr std::size_t kFirstRouteBuffer = 512;
constexpr std::size_t kNumberedRouteBuffer = 32;

RouteValues ReadRoute(platform::Profile& profile, const std::string& networkKey,
                      const std::string& maskKey, const char* def, std::size_t bufferSize) {
    RouteValues pair;
    pair.networkKey = networkKey;
    pair.maskKey = maskKey;
    pair.network = settings::ReadValue(profile, networkKey, def, bufferSize);
    pair.mask = settings::ReadValue(profile, maskKey, def, bufferSize);
    return pair;
}

std::vector<RouteValues> ReadNumberedRoutes(platform::Profile& profile) {
    std::vector<RouteValues> routes;
    for (int i = 1; i <= kNumberedNetworks; ++i) {
        routes.push_back(ReadRoute(profile, Format("NetworkIP%d", i), Format("Submask%d", i),
                                   "0.0.0.0", kNumberedRouteBuffer));
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
    const RouteValues first = ReadRoute(platform.profile, settings::kKeyNetworkIp,
                                        settings::kKeySubmask, "", kFirstRouteBuffer);
    const ScriptText script = DelRouteTableText(first, ReadNumberedRoutes(platform.profile));
    // A refusal is worth knowing whether or not the script can be written.
    TraceRefused(platform, script.refused);

    if (!WriteFileTraced(platform, kDelRouteTableScriptName, script.text)) {
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
    // The restart itself waits until the service runs again, so no pause follows it.
    CheckIPsecService(platform, osType);
    return 1;
}

}  // namespace kestrun
