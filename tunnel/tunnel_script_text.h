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

// The release of the OpenVPN program beside the client, from its version resource; 0.0
// when none could be read.
struct OpenVpnRelease {
    unsigned major = 0;
    unsigned minor = 0;
};

// What a release needs to keep talking to the router in static-key mode with its
// cipher, BF-CBC.
enum class OpenVpnGeneration {
    kClassic,            // up to 2.5, or unknown: the line as it always was
    kLegacyProvider,     // 2.6: BF-CBC lives in OpenSSL 3's legacy provider
    kStaticCryptoOptIn,  // 2.7: static-key mode must also be allowed explicitly
    kBeyondKnown,        // 2.8 and later: static-key mode is announced to go
};
OpenVpnGeneration GenerationOf(const OpenVpnRelease& release);

// The trace line for a release that may no longer run the tunnel; empty for the others.
std::string OpenVpnReleaseTrace(const OpenVpnRelease& release);

// The IPsec script for the Windows generation in inputs.osType; empty where the system has
// no IPsec tool the client knows. Lines end in a single line feed.
std::string IPsecScriptText(const TunnelScriptInputs& inputs);

// The one OpenVPN command line for release, without a line end.
std::string OpenVpnScriptText(const TunnelScriptInputs& inputs,
                              const OpenVpnRelease& release = OpenVpnRelease{});

// The values that go into either script on this system, each with the name a trace line
// gives it (the settings key, or "local address"), in the order they are checked.
std::vector<std::pair<std::string, std::string>> TunnelScriptValues(
    const TunnelScriptInputs& inputs);

}  // namespace kestrun
