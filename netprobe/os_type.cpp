#include "netprobe/os_type.h"

namespace kestrun {

namespace {

// The second character of the service-pack text tells the Windows 9x sub-releases apart.
char ReleaseLetter(const platform::OsVersion& version) {
    return version.csdVersion.size() > 1 ? version.csdVersion[1] : '\0';
}

int ClassifyWindows9x(platform::Trace& trace, const platform::OsVersion& version) {
    if (version.major != 4) {
        return OS_OTHER;
    }
    const char letter = ReleaseLetter(version);
    switch (version.minor) {
        case 0:
            trace.Output("Microsoft Windows 95 \n");
            if (letter == 'C' || letter == 'B') {
                trace.Output("OSR2 ");
            }
            return OS_WIN95;
        case 10:
            trace.Output("Microsoft Windows 98 \n");
            if (letter == 'A' || letter == 'B') {
                trace.Output("SE ");
            }
            return OS_WIN98;
        case 90:
            trace.Output("Microsoft Windows Millennium Edition\n");
            return OS_WINME;
        default:
            return OS_OTHER;
    }
}

int ClassifyNt(platform::System& system, platform::Trace& trace,
               const platform::OsVersion& version) {
    const bool workstation = version.productType == platform::kProductWorkstation;
    if (version.major <= 4) {
        trace.Output("Microsoft Windows NT \n");
        return OS_WINNT;
    }
    if (version.major == 5 && version.minor == 0) {
        trace.Output("Microsoft Windows 2000 \n");
        return OS_WIN2000;
    }
    if (version.major == 5 && version.minor == 1) {
        trace.Output("Microsoft Windows XP \n");
        return OS_WINXP;
    }
    if (version.major == 5 && version.minor == 2) {
        const auto architecture = system.NativeProcessorArchitecture();
        if (workstation && architecture == platform::kArchitectureAmd64) {
            trace.Output("Microsoft Windows XP Professional x64 Edition \n");
            return OS_WINXP;
        }
        trace.Output("Microsoft Windows Server 2003, ");
        return OS_WINSERVER;
    }
    if (version.major == 6 && version.minor == 0) {
        if (workstation) {
            trace.Output("Microsoft Windows Vista \n");
            return OS_VISTA;
        }
        trace.Output("Windows Server \"Longhorn\" \n");
        return OS_WINSERVER;
    }
    // Without a compatibility manifest Windows 8.1 and later report 6.2; with it, their own
    // version. Either way one generation: the firewall's connection-security rules.
    if (version.major > 6 || (version.major == 6 && version.minor >= 1)) {
        trace.Output("Microsoft Windows 7 or later \n");
        return OS_WIN7;
    }
    return OS_OTHER;
}

}  // namespace

int GetOSType(platform::System& system, platform::Trace& trace) {
    platform::OsVersion version;
    if (!system.GetVersion(version, true)) {
        version = platform::OsVersion{};
        if (!system.GetVersion(version, false)) {
            return OS_ERROR;
        }
        // The plain record has no product type: never a workstation.
        version.productType = 0;
    }
    switch (version.platformId) {
        case platform::kPlatformWin32s:
            trace.Output("Microsoft Win32s\n");
            return OS_WIN32S;
        case platform::kPlatformWindows:
            return ClassifyWindows9x(trace, version);
        case platform::kPlatformNt:
            return ClassifyNt(system, trace, version);
        default:
            return OS_OTHER;
    }
}

}  // namespace kestrun
