// The PC's network configuration as the tunnel needs it: the adapter that carries the
// default route, the VPN's virtual adapter, the DNS servers and an adapter's counters.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kestrun {

extern std::string g_strMyIP;                  // first address of the default-route adapter
extern std::string g_strMyMask;                // its first mask
extern std::string g_strVPNClientIP;           // first address of the virtual adapter
extern std::string g_strVPNClientAdapterName;  // its adapter name (GUID text)
extern std::vector<platform::AdapterRecord> g_pAdapterInfo;  // last adapter list read
extern std::string g_strDNSServers;                          // each server "%-15s\t"

// Finds the default-route adapter (interfaceIndex is updated from the route table) and the
// virtual adapter, and records their values. Values of adapters not found are kept.
// Returns 1 when the default-route adapter, or a sole adapter, was found.
int InspectAdapters(platform::Platform& platform, int osType, std::int32_t& interfaceIndex);

// InspectAdapters for the running system (g_nOSType), updating g_nInterface.
int InspectAdapters(platform::Platform& platform);

// Rebuilds g_strDNSServers; a failure leaves it empty. Returns 1.
int GetDNSServers(platform::Platform& platform);

// The frames the adapter named adapterName sent and received without error. Returns 1
// when both were read; sent may be stored even when the result is 0.
int QueryAdapterCounters(platform::Platform& platform, const std::string& adapterName,
                         std::uint32_t& sent, std::uint32_t& received);

}  // namespace kestrun
