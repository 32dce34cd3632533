#include "netprobe/icmp_library.h"

namespace kestrun {

std::unique_ptr<platform::Module> g_hIcmpDll;
void* g_pfnIcmpCreateFile = nullptr;
void* g_pfnIcmpCloseHandle = nullptr;
void* g_pfnIcmpSendEcho = nullptr;

}  // namespace kestrun
