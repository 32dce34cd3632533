#include "tunnel/start_ipsec_tunnel.h"

#include "tunnel/runner.h"
#include "tunnel/teardown.h"
#include "tunnel/tunnel_scripts.h"

namespace kestrun {

int StartIPsecTunnel(platform::Platform& platform, SettingFile& file, int osType,
                     AdapterFacts& adapters, TunnelSettings& settings, AddressHistory& history,
                     SessionClock& clock) {
    file.ParseSetting(settings, adapters.m_nInterface, history);
    // The file now names the new routes; an older route to the same network must go first.
    DelRouteTable(platform, file);
    file.SaveSetting(settings, adapters.m_nInterface, history);
    if (MakeTunnelScripts(platform, ScriptInputsFrom(settings, osType, adapters.m_strMyIP),
                          clock) != 1) {
        return 0;
    }
    RunCommand(platform, kIPsecScriptName);
    file.MarkTunnelBuilt(VPN_MODE_IPSEC);
    return 1;
}

}  // namespace kestrun
