#include "netprobe/adapters.h"

#include <cstdio>

#include "netprobe/os_type.h"
#include "platform/format.h"

namespace kestrun {

namespace {

constexpr std::uint32_t kOidGenXmitOk = 0x00020101;
constexpr std::uint32_t kOidGenRcvOk = 0x00020102;

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

void TakeAsDefaultRouteAdapter(const platform::AdapterRecord& adapter, AdapterFacts& facts) {
    facts.m_strMyIP = adapter.ipAddress;
    facts.m_strMyMask = adapter.ipMask;
}

// Step one: the interface of the first default route, if any.
bool ReadDefaultRoute(platform::NetInfo& net, platform::Trace& trace,
                      std::int32_t& interfaceIndex) {
    std::vector<platform::RouteRow> rows;
    const std::uint32_t error = net.RouteTable(rows);
    if (error == platform::kErrorNotEnoughMemory) {
        trace.Output("Malloc failed. Out of memory.\n");
        return false;
    }
    if (error != 0) {
        trace.Output("getIpForwardTable failed.\n");
        return false;
    }
    for (const platform::RouteRow& row : rows) {
        if (row.dest == 0) {
            interfaceIndex = static_cast<std::int32_t>(row.ifIndex);
            break;
        }
    }
    return true;
}

}  // namespace

bool IsVirtualAdapter(const platform::AdapterRecord& adapter, int osType) {
    return Contains(adapter.description, "Varnel Ostrimel") ||
           (osType == OS_WIN2000 && Contains(adapter.description, "TAP-Win32 Adapter V9"));
}

int InspectAdapters(platform::NetInfo& net, platform::Trace& trace, int osType,
                    std::int32_t& interfaceIndex, AdapterFacts& facts) {
    if (!ReadDefaultRoute(net, trace, interfaceIndex)) {
        return 0;
    }
    if (net.Adapters(facts.m_pAdapterInfo) != 0) {
        // A failed read leaves nothing trustworthy for the Diagnosis window to walk.
        facts.m_pAdapterInfo.clear();
        trace.Output("Call to GetAdaptersInfo failed.\n");
        return 0;
    }
    bool found = false;
    for (const platform::AdapterRecord& adapter : facts.m_pAdapterInfo) {
        if (IsVirtualAdapter(adapter, osType)) {
            facts.m_strVPNClientIP = adapter.ipAddress;
            facts.m_strVPNClientAdapterName = adapter.adapterName;
        }
        if (adapter.index == static_cast<std::uint32_t>(interfaceIndex)) {
            TakeAsDefaultRouteAdapter(adapter, facts);
            found = true;
            break;
        }
    }
    if (!found && facts.m_pAdapterInfo.size() == 1) {
        const platform::AdapterRecord& sole = facts.m_pAdapterInfo.front();
        interfaceIndex = static_cast<std::int32_t>(sole.index);
        TakeAsDefaultRouteAdapter(sole, facts);
        found = true;
    }
    trace.Output(Format("***My IP=%s, Mask=%s, VPNClient=%s***\n", facts.m_strMyIP.c_str(),
                        facts.m_strMyMask.c_str(), facts.m_strVPNClientIP.c_str()));
    return found ? 1 : 0;
}

int GetDNSServers(platform::NetInfo& net, platform::Trace& trace, AdapterFacts& facts) {
    std::string& text = facts.m_strDNSServers;
    text.clear();
    std::vector<std::string> servers;
    const std::uint32_t error = net.DnsServers(servers);
    if (error != 0) {
        std::printf("Call to GetNetworkParams failed. Return Value: %08x\n", error);
        return 1;
    }
    // The record always holds a first entry, even when it is blank.
    text = Format("%-15s\t", servers.empty() ? "" : servers.front().c_str());
    for (std::size_t i = 1; i < servers.size(); ++i) {
        text += Format("%-15s\t", servers[i].c_str());
    }
    trace.Output(text);
    return 1;
}

int QueryAdapterCounters(platform::NetInfo& net, const std::string& adapterName,
                         std::uint32_t& sent, std::uint32_t& received) {
    auto device = net.OpenDevice(Format("\\\\.\\%s", adapterName.c_str()));
    if (!device) {
        return 0;
    }
    std::uint32_t value = 0;
    if (!device->QueryOid(kOidGenXmitOk, value)) {
        return 0;
    }
    sent = value;
    if (!device->QueryOid(kOidGenRcvOk, value)) {
        return 0;
    }
    received = value;
    return 1;
}

}  // namespace kestrun
