// The tunnel parameters loaded from the settings file. The main window owns the
// TunnelSettings; the values other threads and subsystems read are process-wide.
#pragma once

#include <cstdint>
#include <string>

namespace kestrun {

struct TunnelSettings {
    std::string m_strModelName;  // "ModelName" followed by "_SSL": the IPsec policy name
    std::string m_strGateway;
    std::string m_strPreSharedKey;
    std::string m_strNetworkIP;
    std::string m_strSubmask;
    std::string m_strOvpnIfconfig;
    std::string m_strOvpnSerMask;
    std::string m_strOvpnSerPort;
    std::uint32_t m_dwStartTime = 0;  // tick count at which the current connection began
};

// Reachability target in IPsec mode.
extern std::string g_strRemoteLANIP;
// OpenVPN server's tunnel-side address: route gateway and reachability target.
extern std::string g_strOvpnSerIP;
// Interface index of the PC's default route.
extern std::int32_t g_nInterface;

constexpr int VPN_MODE_IPSEC = 1;
constexpr int VPN_MODE_OPENVPN = 2;
// Tunnel kind, mirrored in the key "VPN Mode".
extern int g_nVPNMode;

}  // namespace kestrun
