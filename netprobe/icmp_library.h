// The ICMP echo library loaded at start-up and its three entry points, used by the echo
// worker. The library stays loaded until the process ends.
#pragma once

#include <memory>

#include "platform/system.h"

namespace kestrun {

extern std::unique_ptr<platform::Module> g_hIcmpDll;
extern void* g_pfnIcmpCreateFile;
extern void* g_pfnIcmpCloseHandle;
extern void* g_pfnIcmpSendEcho;

}  // namespace kestrun
