// Which system tool programs IPsec on each Windows generation.
#pragma once

#include "netprobe/os_type.h"

namespace kestrun {

// The command-line IPsec tool of Windows 2000 and XP; nullptr elsewhere.
inline const char* IPsecTool(int osType) {
    if (osType == OS_WIN2000) {
        return "ipsecpol.exe";
    }
    if (osType == OS_WINXP) {
        return "ipseccmd.exe";
    }
    return nullptr;
}

// Server 2003 and Vista program IPsec with "netsh ipsec dynamic".
inline bool UsesNetsh(int osType) {
    return osType == OS_WINSERVER || osType == OS_VISTA;
}

}  // namespace kestrun
