#include "settings/tunnel_settings.h"

namespace kestrun {

std::string g_strRemoteLANIP;
std::string g_strOvpnSerIP;
std::int32_t g_nInterface = 0;
int g_nVPNMode = VPN_MODE_IPSEC;

}  // namespace kestrun
