// Writing the two tunnel scripts, "Varnel_IPSecVPN.bat" and "Varnel_openVPN.bat".
#pragma once

#include "platform/platform.h"
#include "settings/tunnel_settings.h"
#include "tunnel/session_clock.h"
#include "tunnel/tunnel_script_text.h"

namespace kestrun {

constexpr const char* kIPsecScriptName = "Varnel_IPSecVPN.bat";
constexpr const char* kOpenVpnScriptName = "Varnel_openVPN.bat";

// Rewrites both scripts from inputs and starts the session clock; returns 1. Returns 0
// when a file cannot be created, or when a value is unsafe for a script: then both files
// are left empty, so that no script of an earlier call runs with the new mode.
int MakeTunnelScripts(platform::Platform& platform, const TunnelScriptInputs& inputs,
                      SessionClock& clock);

// The script inputs of the tunnel parameters on osType, with localAddress the address of
// the default-route adapter.
TunnelScriptInputs ScriptInputsFrom(const TunnelSettings& settings, int osType,
                                    const std::string& localAddress);

}  // namespace kestrun
