// IP helper queries and the network driver's frame counters.
#include "platform/win32/windows_include.h"
// After windows.h, which they need.
#include <iphlpapi.h>
#include <winsock2.h>

#include <cstring>
#include <new>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {
namespace {

constexpr DWORD kIoctlNdisQueryGlobalStats = 0x00170002;
// One IP_ADAPTER_INFO record: the first claim, as the adapter list usually has one.
constexpr ULONG kAdapterInfoClaim = 648;
// One FIXED_INFO record.
constexpr ULONG kNetworkParamsClaim = 584;

// Sizes a buffer the system asked for; false when memory ran out.
bool Resize(std::vector<BYTE>& buffer, std::size_t size) {
    try {
        buffer.assign(size, 0);
        return true;
    } catch (const std::bad_alloc&) {
        buffer.clear();
        return false;
    }
}

std::string Text(const char* field, std::size_t size) {
    return std::string(field, strnlen(field, size));
}

class Win32NetDevice : public NetDevice {
  public:
    explicit Win32NetDevice(UniqueKernelHandle device) : device_(std::move(device)) {}
    bool QueryOid(std::uint32_t oid, std::uint32_t& value) override {
        DWORD in = oid;
        DWORD out = 0;
        DWORD returned = 0;
        if (!DeviceIoControl(device_.Get(), kIoctlNdisQueryGlobalStats, &in, sizeof(in), &out,
                             sizeof(out), &returned, nullptr)) {
            return false;
        }
        value = out;
        return true;
    }

  private:
    UniqueKernelHandle device_;
};

}  // namespace

std::uint32_t Win32NetInfo::RouteTable(std::vector<RouteRow>& rows) {
    rows.clear();
    ULONG size = 0;
    DWORD result = GetIpForwardTable(nullptr, &size, FALSE);
    std::vector<BYTE> buffer;
    if (result == ERROR_INSUFFICIENT_BUFFER) {
        if (!Resize(buffer, size)) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
        result =
            GetIpForwardTable(reinterpret_cast<MIB_IPFORWARDTABLE*>(buffer.data()), &size, FALSE);
    }
    if (result != NO_ERROR) {
        return result;
    }
    if (buffer.size() < sizeof(DWORD)) {
        return NO_ERROR;  // the system reported an empty table without asking for room
    }
    const auto* table = reinterpret_cast<const MIB_IPFORWARDTABLE*>(buffer.data());
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        rows.push_back(RouteRow{table->table[i].dwForwardDest, table->table[i].dwForwardIfIndex});
    }
    return 0;
}

std::uint32_t Win32NetInfo::Adapters(std::vector<AdapterRecord>& adapters) {
    std::vector<BYTE> buffer;
    ULONG size = kAdapterInfoClaim;
    DWORD result = ERROR_NOT_ENOUGH_MEMORY;
    if (Resize(buffer, size)) {
        result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    }
    if (result != ERROR_SUCCESS) {
        // Whatever went wrong, try once more with the size the system reported.
        const bool sized = Resize(buffer, size);
        ULONG claim = sized ? size : 0;
        result = GetAdaptersInfo(
            sized ? reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()) : nullptr, &claim);
        if (result != ERROR_SUCCESS) {
            return result;
        }
    }
    adapters.clear();
    for (auto* info = reinterpret_cast<const IP_ADAPTER_INFO*>(buffer.data()); info != nullptr;
         info = info->Next) {
        AdapterRecord record;
        record.adapterName = Text(info->AdapterName, sizeof(info->AdapterName));
        record.description = Text(info->Description, sizeof(info->Description));
        record.index = info->Index;
        record.ipAddress = Text(info->IpAddressList.IpAddress.String, 16);
        record.ipMask = Text(info->IpAddressList.IpMask.String, 16);
        record.gateway = Text(info->GatewayList.IpAddress.String, 16);
        record.dhcpServer = Text(info->DhcpServer.IpAddress.String, 16);
        record.primaryWins = Text(info->PrimaryWinsServer.IpAddress.String, 16);
        record.secondaryWins = Text(info->SecondaryWinsServer.IpAddress.String, 16);
        adapters.push_back(record);
    }
    return 0;
}

std::uint32_t Win32NetInfo::DnsServers(std::vector<std::string>& servers) {
    servers.clear();
    std::vector<BYTE> buffer;
    ULONG size = kNetworkParamsClaim;
    if (!Resize(buffer, size)) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    DWORD result = GetNetworkParams(reinterpret_cast<FIXED_INFO*>(buffer.data()), &size);
    if (result == ERROR_BUFFER_OVERFLOW) {
        if (!Resize(buffer, size)) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
    }
    result = GetNetworkParams(reinterpret_cast<FIXED_INFO*>(buffer.data()), &size);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    const auto* info = reinterpret_cast<const FIXED_INFO*>(buffer.data());
    // The first entry is part of the record and always listed, even when blank.
    for (const IP_ADDR_STRING* server = &info->DnsServerList; server != nullptr;
         server = server->Next) {
        servers.push_back(Text(server->IpAddress.String, 16));
    }
    return 0;
}

std::unique_ptr<NetDevice> Win32NetInfo::OpenDevice(const std::string& devicePath) {
    UniqueKernelHandle device(
        CreateFileA(devicePath.c_str(), 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device.Valid()) {
        return nullptr;
    }
    return std::make_unique<Win32NetDevice>(std::move(device));
}

std::optional<std::string> Win32NetInfo::ResolveHost(const std::string& name) {
    const hostent* host = gethostbyname(name.c_str());
    if (host == nullptr || host->h_addr_list == nullptr || host->h_addr_list[0] == nullptr) {
        return std::nullopt;
    }
    in_addr address{};
    CopyMemory(&address, host->h_addr_list[0], sizeof(address));
    return std::string(inet_ntoa(address));
}

}  // namespace kestrun::platform::win32
