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

void TraceRefused(platform::Trace& trace, const std::vector<std::string>& refused) {
    for (const std::string& name : refused) {
        trace.Output(RefusedValueTrace(name));
    }
}

}  // namespace

int DelRouteTable(platform::Files& files, platform::Runner& runner, platform::Trace& trace,
                  const SettingFile& file) {
    trace.Output("DelRouteTable()\n");
    const ScriptText script = DelRouteTableText(ReadRoute(file, -1), ReadNumberedRoutes(file));
    // A refusal is worth knowing whether or not the script can be written.
    TraceRefused(trace, script.refused);

    if (!WriteFileTraced(files, trace, kDelRouteTableScriptName, script.text)) {
        return 0;
    }
    RunCommand(runner, trace, kDelRouteTableScriptName);
    return 1;
}

int Clear_IPsec(platform::Files& files, platform::Clock& clock, platform::Runner& runner,
                platform::Services& services, platform::Trace& trace, const SettingFile& file,
                int osType, const std::string& policy) {
    DelRouteTable(files, runner, trace, file);
    const ScriptText script = ClearIPsecText(osType, policy);
    TraceRefused(trace, script.refused);
    if (files.WriteNew(kClearIPsecScriptName, script.text) != 0) {
        trace.Output(Format("Error in Open:%s\n", kClearIPsecScriptName));
    }
    RunCommand(runner, trace, kClearIPsecScriptName);
    // The restart itself waits until the service runs again, so no pause follows it.
    CheckIPsecService(clock, services, trace, osType);
    return 1;
}

}  // namespace kestrun
