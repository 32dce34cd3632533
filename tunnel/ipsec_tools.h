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

// Windows 7 and later: a connection-security rule of the firewall ("netsh advfirewall
// consec"); they have no IPsec cmdlets before Windows 8, so netsh serves them all.
inline bool UsesAdvfirewall(int osType) {
    return osType == OS_WIN7;
}

// What the advfirewall form adds and its teardown removes: one connection-security rule
// in the dynamic store (gone at the next start of Windows, like "netsh ipsec dynamic"),
// and one inbound rule for echo requests. Both are named, and the echo rule is also
// selected by direction and protocol, so that nothing else of the user's firewall goes.
constexpr const char* kAdvfirewallEchoRule = "name=Belvane dir=in protocol=icmpv4:8,any";
constexpr const char* kAdvfirewallConsecRule = "name=Belvane type=dynamic";

}  // namespace kestrun
