// The PC's network configuration as the tunnel needs it: the adapter that carries the
// default route, the VPN's virtual adapter, the DNS servers and an adapter's counters.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace kestrun {

// What the last inspection found. The values of an adapter that has gone away stay.
struct AdapterFacts {
    // Interface index of the PC's default route; also kept in the settings file.
    std::int32_t m_nInterface = 0;
    std::string m_strMyIP;                  // first address of the default-route adapter
    std::string m_strMyMask;                // its first mask
    std::string m_strVPNClientIP;           // first address of the virtual adapter
    std::string m_strVPNClientAdapterName;  // its adapter name (GUID text)
    std::vector<platform::AdapterRecord> m_pAdapterInfo;  // last adapter list read
    std::string m_strDNSServers;                          // each server "%-15s\t"
};

// The default-route adapter holds neither an address nor a mask: the PC's network failed.
inline bool NetworkFailed(const AdapterFacts& facts) {
    return facts.m_strMyIP == "0.0.0.0" && facts.m_strMyMask == "0.0.0.0";
}

// The VPN's virtual adapter: the router's own, or on Windows 2000 (osType) the OpenVPN TAP
// adapter.
bool IsVirtualAdapter(const platform::AdapterRecord& adapter, int osType);

// Finds the default-route adapter (interfaceIndex is updated from the route table) and the
// virtual adapter of osType's kind, and records their values in facts. Returns 1 when the
// default-route adapter, or a sole adapter, was found.
int InspectAdapters(platform::NetInfo& net, platform::Trace& trace, int osType,
                    std::int32_t& interfaceIndex, AdapterFacts& facts);

// Rebuilds facts.m_strDNSServers; a failure leaves it empty. Returns 1.
int GetDNSServers(platform::NetInfo& net, platform::Trace& trace, AdapterFacts& facts);

// The frames the adapter named adapterName sent and received without error. Returns 1
// when both were read; sent may be stored even when the result is 0.
int QueryAdapterCounters(platform::NetInfo& net, const std::string& adapterName,
                         std::uint32_t& sent, std::uint32_t& received);

}  // namespace kestrun
