#include "tunnel/start_ipsec_tunnel.h"

#include "tunnel/runner.h"
#include "tunnel/teardown.h"
#include "tunnel/tunnel_scripts.h"

namespace kestrun {

int StartIPsecTunnel(platform::Files& files, platform::System& system, platform::Clock& clock,
                     platform::Runner& runner, platform::Trace& trace, SettingFile& file,
                     int osType, AdapterFacts& adapters, TunnelSettings& settings,
                     AddressHistory& history, SessionClock& session) {
    file.ParseSetting(settings, adapters.m_nInterface, history);
    // The file now names the new routes; an older route to the same network must go first.
    DelRouteTable(files, runner, trace, file);
    file.SaveSetting(settings, adapters.m_nInterface, history);
    if (MakeTunnelScripts(files, system, clock, trace,
                          ScriptInputsFrom(settings, osType, adapters.m_strMyIP), session) != 1) {
        return 0;
    }
    RunCommand(runner, trace, kIPsecScriptName);
    file.MarkTunnelBuilt(VPN_MODE_IPSEC);
    return 1;
}

}  // namespace kestrun
