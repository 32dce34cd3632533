// Hides (or shows) the VPN's virtual adapter: its entry in the network adapter class and,
// on Windows NT 4 to Server 2003, its connection's tray icon and address checking.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kestrun {

// strGUID: the adapter name; show: 1 shows, anything else hides. The connection values
// exist only on the Windows versions osType names OS_WINNT to OS_WINSERVER. Returns 1
// when the connection values were written, else 0.
int SetAdapterIcon(platform::Registry& registry, platform::Trace& trace, int osType,
                   const std::string& strGUID, int show);

}  // namespace kestrun
