// Writing the two tunnel scripts, "Varnel_IPSecVPN.bat" and "Varnel_openVPN.bat".
#pragma once

#include "platform/platform.h"
#include "settings/tunnel_settings.h"
#include "tunnel/session_clock.h"
#include "tunnel/tunnel_script_text.h"

namespace kestrun {

constexpr const char* kIPsecScriptName = "Varnel_IPSecVPN.bat";
constexpr const char* kOpenVpnScriptName = "Varnel_openVPN.bat";
constexpr const char* kOpenVpnProgram = ".\\openVPN\\openvpn.exe";

// The release of the OpenVPN program beside the client, read from its version resource
// (0.0 when it has none); traces a release that may no longer run the tunnel.
OpenVpnRelease InstalledOpenVpnRelease(platform::System& system, platform::Trace& trace);

// Rewrites both scripts from inputs, the OpenVPN one for the installed release, and
// starts the session clock; returns 1. Returns 0
// when a file cannot be created, or when a value is unsafe for a script: then both files
// are left empty, so that no script of an earlier call runs with the new mode.
int MakeTunnelScripts(platform::Files& files, platform::System& system, platform::Clock& clock,
                      platform::Trace& trace, const TunnelScriptInputs& inputs,
                      SessionClock& session);

// The script inputs of the tunnel parameters on osType, with localAddress the address of
// the default-route adapter.
TunnelScriptInputs ScriptInputsFrom(const TunnelSettings& settings, int osType,
                                    const std::string& localAddress);

}  // namespace kestrun
