#include "tunnel/start_ipsec_tunnel.h"

#include "settings/setting_file.h"
#include "settings/setting_keys.h"
#include "tunnel/runner.h"
#include "tunnel/teardown.h"
#include "tunnel/tunnel_scripts.h"

namespace kestrun {

int StartIPsecTunnel(platform::Platform& platform, TunnelSettings& settings,
                     AddressHistory& history) {
    ParseSetting(platform.profile, settings, history);
    // The file now names the new routes; an older route to the same network must go first.
    DelRouteTable(platform);
    SaveSetting(platform.profile, settings, history);
    MakeTunnelScripts(platform, settings);
    RunCommand(platform, kIPsecScriptName);
    g_nVPNMode = VPN_MODE_IPSEC;
    platform.profile.WriteString(settings::kSection, settings::kKeyVpnMode, "1",
                                 settings::kSettingPath);
    platform.profile.WriteString(settings::kSection, settings::kKeyRemoveIpsec, settings::kFalse,
                                 settings::kSettingPath);
    return 1;
}

}  // namespace kestrun
