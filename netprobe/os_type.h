// Classification of the running Windows version, made once at start-up.
#pragma once

#include "platform/platform.h"

namespace kestrun {

constexpr int OS_ERROR = -1;
constexpr int OS_WIN32S = 0;
constexpr int OS_WIN95 = 1;
constexpr int OS_WIN98 = 2;
constexpr int OS_WINME = 3;
constexpr int OS_WINNT = 4;
constexpr int OS_WIN2000 = 5;
constexpr int OS_WINXP = 6;
constexpr int OS_WINSERVER = 7;
constexpr int OS_VISTA = 8;
// Every version the client does not name.
constexpr int OS_OTHER = 9;
// Windows 7 and every later NT (8, 8.1, 10, 11 and their servers): NT 6.1 and above.
constexpr int OS_WIN7 = 10;

// Vista and the systems after it: they take the same decisions, except for the IPsec tool.
constexpr bool IsVistaOrLater(int osType) {
    return osType == OS_VISTA || osType == OS_WIN7;
}

// Windows NT 4 to Server 2003: the systems whose IPsec service and adapter connection
// settings the client looks after.
constexpr bool IsNt4ToServer2003(int osType) {
    return osType >= OS_WINNT && osType <= OS_WINSERVER;
}

// Reads the version (extended record first, then the plain one) and classifies it,
// tracing the name of the version found.
int GetOSType(platform::System& system, platform::Trace& trace);

}  // namespace kestrun
