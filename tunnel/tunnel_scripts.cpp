#include "tunnel/tunnel_scripts.h"

#include "platform/traced_write.h"
#include "tunnel/script_safety.h"

namespace kestrun {

OpenVpnRelease InstalledOpenVpnRelease(platform::Platform& platform) {
    OpenVpnRelease release;
    if (const auto version = platform.system.ProgramFileVersion(kOpenVpnProgram)) {
        release.major = version->major;
        release.minor = version->minor;
    }
    const std::string trace = OpenVpnReleaseTrace(release);
    if (!trace.empty()) {
        platform.trace.Output(trace);
    }
    return release;
}

int MakeTunnelScripts(platform::Platform& platform, const TunnelScriptInputs& inputs,
                      SessionClock& clock) {
    bool safe = true;
    for (const auto& [name, value] : TunnelScriptValues(inputs)) {
        if (!IsScriptValueSafe(name, value)) {
            platform.trace.Output(RefusedValueTrace(name));
            safe = false;
        }
    }
    if (!safe) {
        // Each one on its own: an old script must not survive a failure of the other.
        WriteFileTraced(platform.files, platform.trace, kIPsecScriptName, std::string());
        WriteFileTraced(platform.files, platform.trace, kOpenVpnScriptName, std::string());
        return 0;
    }
    if (!WriteFileTraced(platform.files, platform.trace, kIPsecScriptName,
                         IPsecScriptText(inputs))) {
        return 0;
    }
    if (!WriteFileTraced(platform.files, platform.trace, kOpenVpnScriptName,
                         OpenVpnScriptText(inputs, InstalledOpenVpnRelease(platform)))) {
        return 0;
    }
    clock.m_dwSessionStart = platform.clock.TickCount();
    clock.m_bSessionClock = true;
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
