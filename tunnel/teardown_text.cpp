#include "tunnel/teardown_text.h"

#include "platform/format.h"
#include "tunnel/ipsec_tools.h"
#include "tunnel/script_safety.h"

namespace kestrun {
namespace {

// Names the unsafe values of a pair in refused; true when both are safe.
bool PairIsSafe(const RouteValues& pair, std::vector<std::string>& refused) {
    bool safe = true;
    if (!IsScriptValueSafe(pair.networkKey, pair.network)) {
        refused.push_back(pair.networkKey);
        safe = false;
    }
    if (!IsScriptValueSafe(pair.maskKey, pair.mask)) {
        refused.push_back(pair.maskKey);
        safe = false;
    }
    return safe;
}

std::string RouteDeleteLine(const RouteValues& pair) {
    return Format("route delete %s mask %s", pair.network.c_str(), pair.mask.c_str());
}

}  // namespace

ScriptText DelRouteTableText(const RouteValues& first, const std::vector<RouteValues>& numbered) {
    ScriptText script;
    if (!first.network.empty() && first.network != "0.0.0.0" && PairIsSafe(first, script.refused)) {
        script.text += RouteDeleteLine(first);
    }
    for (const RouteValues& pair : numbered) {
        if (pair.network == "0.0.0.0" || pair.network.size() <= 6) {
            continue;
        }
        if (!PairIsSafe(pair, script.refused)) {
            continue;
        }
        script.text += "\n";
        script.text += RouteDeleteLine(pair);
    }
    return script;
}

ScriptText ClearIPsecText(int osType, const std::string& policy) {
    ScriptText script;
    if (const char* tool = IPsecTool(osType)) {
        if (!IsScriptValueSafe("ModelName", policy)) {
            script.refused.push_back("ModelName");
            return script;
        }
        script.text += Format("%s -w REG -p \"%s\" -r \"remote-router\" -y", tool, policy.c_str());
        script.text += "\n";
        script.text += Format("%s -w REG -p \"%s\" -r \"router-remote\" -o", tool, policy.c_str());
        script.text += "\n";
    } else if (UsesNetsh(osType)) {
        script.text += "netsh ipsec dynamic delete all\n";
    } else if (UsesAdvfirewall(osType)) {
        script.text += Format("netsh advfirewall consec delete rule %s\n", kAdvfirewallConsecRule);
        script.text += Format("netsh advfirewall firewall delete rule %s\n", kAdvfirewallEchoRule);
    }
    return script;
}

}  // namespace kestrun
