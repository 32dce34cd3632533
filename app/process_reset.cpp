#include "app/process_reset.h"

#include "app/main_dialog.h"
#include "app/startup.h"
#include "netprobe/adapters.h"
#include "netprobe/icmp_library.h"
#include "netprobe/liveness.h"
#include "netprobe/os_type.h"
#include "settings/tunnel_settings.h"
#include "tunnel/session_clock.h"

namespace kestrun {

void ResetProcessWideValues() {
    g_pMainDlg.reset();
    g_nOSType = OS_ERROR;
    g_hIcmpDll.reset();
    g_pfnIcmpCreateFile = nullptr;
    g_pfnIcmpCloseHandle = nullptr;
    g_pfnIcmpSendEcho = nullptr;
    g_bLANConnected = 0;
    g_bPingIdle = 1;
    g_strRemoteLANIP.clear();
    g_strOvpnSerIP.clear();
    g_nInterface = 0;
    g_nVPNMode = VPN_MODE_IPSEC;
    g_brBackground = 0;
    g_szProfileDir.clear();
    g_strMyIP.clear();
    g_strMyMask.clear();
    g_strVPNClientIP.clear();
    g_strVPNClientAdapterName.clear();
    g_pAdapterInfo.clear();
    g_strDNSServers.clear();
    g_dwSessionStart = 0;
    g_bSessionClock = 0;
}

}  // namespace kestrun
