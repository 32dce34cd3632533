// Hides (or shows) the VPN's virtual adapter: its entry in the network adapter class and,
// on Windows NT 4 to Server 2003, its connection's tray icon and address checking.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kestrun {

// strGUID: the adapter name; show: 1 shows, anything else hides. osType: the OS code of
// the running Windows. Returns 1 when the connection values were written, else 0.
int SetAdapterIcon(platform::Platform& platform, const std::string& strGUID, int show, int osType);

}  // namespace kestrun
