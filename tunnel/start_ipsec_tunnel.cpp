#include "tunnel/start_ipsec_tunnel.h"

#include "settings/setting_file.h"
#include "settings/setting_keys.h"
#include "settings/working_copy.h"
#include "tunnel/runner.h"
#include "tunnel/teardown.h"
#include "tunnel/tunnel_scripts.h"

namespace kestrun {

int StartIPsecTunnel(platform::Platform& platform, int osType, const std::string& localAddress,
                     TunnelSettings& settings, AddressHistory& history, SessionClock& clock) {
    ParseSetting(platform.profile, settings, history);
    // The file now names the new routes; an older route to the same network must go first.
    DelRouteTable(platform);
    SaveSetting(platform.profile, settings, history);
    MakeTunnelScripts(platform, ScriptInputsFrom(settings, osType, localAddress), clock);
    RunCommand(platform, kIPsecScriptName);
    settings.m_nVPNMode = VPN_MODE_IPSEC;
    settings::WriteValue(platform.profile, settings::kKeyVpnMode, "1");
    settings::WriteValue(platform.profile, settings::kKeyRemoveIpsec, settings::kFalse);
    return 1;
}

}  // namespace kestrun
