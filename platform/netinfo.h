// IP helper and network driver queries, as plain records.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace kestrun::platform {

// One row of the IPv4 route table. dest is in network byte order as Windows keeps it;
// the only value the client compares is 0 (the default route).
struct RouteRow {
    std::uint32_t dest = 0;
    std::uint32_t ifIndex = 0;
};

// The fields of IP_ADAPTER_INFO the client reads; addresses are the dotted texts the
// record holds (first entry of each list).
struct AdapterRecord {
    std::string adapterName;
    std::string description;
    std::uint32_t index = 0;
    std::string ipAddress;
    std::string ipMask;
    std::string gateway;
    std::string dhcpServer;
    std::string primaryWins;
    std::string secondaryWins;
};

// An opened network device (CreateFileA on "\\.\{GUID}").
class NetDevice {
  public:
    virtual ~NetDevice() = default;
    // DeviceIoControl(IOCTL_NDIS_QUERY_GLOBAL_STATS) for one 4-byte OID.
    virtual bool QueryOid(std::uint32_t oid, std::uint32_t& value) = 0;
};

class NetInfo {
  public:
    virtual ~NetInfo() = default;
    // GetIpForwardTable (unsorted), including the grow-and-retry on
    // ERROR_INSUFFICIENT_BUFFER. Returns 0 or the final error code; kErrorNotEnoughMemory
    // when the table the system asked for could not be allocated.
    virtual std::uint32_t RouteTable(std::vector<RouteRow>& rows) = 0;
    // GetAdaptersInfo, including the grow-and-retry. Returns 0 or the final error code.
    virtual std::uint32_t Adapters(std::vector<AdapterRecord>& adapters) = 0;
    // GetNetworkParams: the DNS servers in list order. Returns 0 or the error code.
    virtual std::uint32_t DnsServers(std::vector<std::string>& servers) = 0;
    // CreateFileA(devicePath, 0, FILE_SHARE_READ, ..., OPEN_EXISTING); nullptr on failure.
    virtual std::unique_ptr<NetDevice> OpenDevice(const std::string& devicePath) = 0;
    // gethostbyname: the first address of the name in dotted form; nothing when it does
    // not resolve.
    virtual std::optional<std::string> ResolveHost(const std::string& name) = 0;
};

}  // namespace kestrun::platform
