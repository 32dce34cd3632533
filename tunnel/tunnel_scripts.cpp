#include "tunnel/tunnel_scripts.h"

#include "platform/traced_write.h"
#include "tunnel/script_safety.h"

namespace kestrun {

OpenVpnRelease InstalledOpenVpnRelease(platform::System& system, platform::Trace& trace) {
    OpenVpnRelease release;
    if (const auto version = system.ProgramFileVersion(kOpenVpnProgram)) {
        release.major = version->major;
        release.minor = version->minor;
    }
    const std::string line = OpenVpnReleaseTrace(release);
    if (!line.empty()) {
        trace.Output(line);
    }
    return release;
}

int MakeTunnelScripts(platform::Files& files, platform::System& system, platform::Clock& clock,
                      platform::Trace& trace, const TunnelScriptInputs& inputs,
                      SessionClock& session) {
    bool safe = true;
    for (const auto& [name, value] : TunnelScriptValues(inputs)) {
        if (!IsScriptValueSafe(name, value)) {
            trace.Output(RefusedValueTrace(name));
            safe = false;
        }
    }
    if (!safe) {
        // Each one on its own: an old script must not survive a failure of the other.
        WriteFileTraced(files, trace, kIPsecScriptName, std::string());
        WriteFileTraced(files, trace, kOpenVpnScriptName, std::string());
        return 0;
    }
    if (!WriteFileTraced(files, trace, kIPsecScriptName, IPsecScriptText(inputs))) {
        return 0;
    }
    if (!WriteFileTraced(files, trace, kOpenVpnScriptName,
                         OpenVpnScriptText(inputs, InstalledOpenVpnRelease(system, trace)))) {
        return 0;
    }
    session.m_dwSessionStart = clock.TickCount();
    session.m_bSessionClock = true;
    return 1;
}

TunnelScriptInputs ScriptInputsFrom(const TunnelSettings& settings, int osType,
                                    const std::string& localAddress) {
    TunnelScriptInputs inputs;
    inputs.osType = osType;
    inputs.policy = settings.m_strModelName;
    inputs.local = localAddress;
    inputs.network = settings.m_strNetworkIP;
    inputs.mask = settings.m_strSubmask;
    inputs.gateway = settings.m_strGateway;
    inputs.key = settings.m_strPreSharedKey;
    inputs.ovpnIfconfig = settings.m_strOvpnIfconfig;
    inputs.ovpnSerMask = settings.m_strOvpnSerMask;
    inputs.ovpnSerPort = settings.m_strOvpnSerPort;
    inputs.ovpnSerIP = settings.m_strOvpnSerIP;
    return inputs;
}

}  // namespace kestrun
