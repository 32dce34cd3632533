// The texts of "Varnel_IPSecVPN.bat" and "Varnel_openVPN.bat", built from plain values so
// that every byte can be checked without a file or a Windows system.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kestrun {

struct TunnelScriptInputs {
    int osType = 0;
    std::string policy;  // "ModelName" + "_SSL"
    std::string local;   // address of the default-route adapter
    std::string network;
    std::string mask;
    std::string gateway;
    std::string key;
    std::string ovpnIfconfig;
    std::string ovpnSerMask;
    std::string ovpnSerPort;
    std::string ovpnSerIP;
};

// The IPsec script for the Windows generation in inputs.osType; empty where the system has
// no IPsec tool the client knows. Lines end in a single line feed.
std::string IPsecScriptText(const TunnelScriptInputs& inputs);

// The one OpenVPN command line, without a line end.
std::string OpenVpnScriptText(const TunnelScriptInputs& inputs);

// The values that go into either script on this system, each with the name a trace line
// gives it (the settings key, or "local address"), in the order they are checked.
std::vector<std::pair<std::string, std::string>> TunnelScriptValues(
    const TunnelScriptInputs& inputs);

}  // namespace kestrun
