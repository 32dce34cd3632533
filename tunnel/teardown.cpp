#include "tunnel/teardown.h"

#include <vector>

#include "netprobe/os_type.h"
#include "platform/format.h"
#include "platform/traced_write.h"
#include "settings/setting_file.h"
#include "tunnel/ipsec_service.h"
#include "tunnel/runner.h"
#include "tunnel/script_safety.h"
#include "tunnel/teardown_text.h"

namespace kestrun {
namespace {

constexpr int kNumberedNetworks = 10;

// number -1 reads the first pair, "NetworkIP" and "Submask".
RouteValues ReadRoute(const SettingFile& file, int number) {
    using namespace settings;
    const bool numbered = number >= 0;
    const char* networkKey = numbered ? kKeyNumberedNetworkIp : kKeyNetworkIp;
    const char* maskKey = numbered ? kKeyNumberedSubmask : kKeySubmask;
    RouteValues pair;
    pair.networkKey = numbered ? Format(networkKey, number) : networkKey;
    pair.maskKey = numbered ? Format(maskKey, number) : maskKey;
    pair.network = file.Read(networkKey, Reader::kRouteTeardown, number);
    pair.mask = file.Read(maskKey, Reader::kRouteTeardown, number);
    return pair;
}

std::vector<RouteValues> ReadNumberedRoutes(const SettingFile& file) {
    std::vector<RouteValues> routes;
    for (int i = 1; i <= kNumberedNetworks; ++i) {
        routes.push_back(ReadRoute(file, i));
    }
    return routes;
}

void TraceRefused(platform::Platform& platform, const std::vector<std::string>& refused) {
    for (const std::string& name : refused) {
        platform.trace.Output(RefusedValueTrace(name));
    }
}

}  // namespace

int DelRouteTable(platform::Platform& platform, const SettingFile& file) {
    platform.trace.Output("DelRouteTable()\n");
    const ScriptText script = DelRouteTableText(ReadRoute(file, -1), ReadNumberedRoutes(file));
    // A refusal is worth knowing whether or not the script can be written.
    TraceRefused(platform, script.refused);

    if (!WriteFileTraced(platform.files, platform.trace, kDelRouteTableScriptName, script.text)) {
        return 0;
    }
    RunCommand(platform, kDelRouteTableScriptName);
    return 1;
}

int Clear_IPsec(platform::Platform& platform, const SettingFile& file, int osType,
                const std::string& policy) {
    DelRouteTable(platform, file);
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
