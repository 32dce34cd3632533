// The tunnel parameters loaded from the settings file. The connection sequencer owns them;
// each load replaces the parameters as a whole.
#pragma once

#include <cstdint>
#include <string>

namespace kestrun {

constexpr int VPN_MODE_IPSEC = 1;
constexpr int VPN_MODE_OPENVPN = 2;

struct TunnelSettings {
    std::string m_strModelName;  // "ModelName" followed by "_SSL": the IPsec policy name
    std::string m_strGateway;
    std::string m_strPreSharedKey;
    std::string m_strNetworkIP;
    std::string m_strSubmask;
    std::string m_strOvpnIfconfig;
    std::string m_strOvpnSerMask;
    std::string m_strOvpnSerPort;
    // Reachability target in IPsec mode.
    std::string m_strRemoteLANIP;
    // The OpenVPN server's tunnel-side address: route gateway and reachability target.
    std::string m_strOvpnSerIP;
    std::uint32_t m_dwStartTime = 0;  // tick count at which the current connection began
};

// The far-side address that the link check probes and the tray tips name in mode.
inline const std::string& ProbeAddress(const TunnelSettings& settings, int mode) {
    return mode == VPN_MODE_OPENVPN ? settings.m_strOvpnSerIP : settings.m_strRemoteLANIP;
}

}  // namespace kestrun
