#include "status/diagnosis_rows.h"

#include "netprobe/adapters.h"
#include "netprobe/os_type.h"
#include "platform/format.h"
#include "platform/services.h"
#include "settings/tunnel_settings.h"

namespace kestrun {

namespace {

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

bool IsListed(const platform::AdapterRecord& adapter, std::int32_t defaultRouteInterface,
              int vpnMode) {
    return adapter.index == static_cast<std::uint32_t>(defaultRouteInterface) ||
           (vpnMode == VPN_MODE_OPENVPN && Contains(adapter.description, "Adapter"));
}

void AppendAdapterBlock(std::vector<DiagnosisRow>& rows, const platform::AdapterRecord& adapter,
                        int osType, const std::string& dnsServers) {
    rows.push_back({"", ""});
    rows.push_back({DiagnosisAdapterName(adapter, osType), "Enable"});
    rows.push_back({Format("    IP Address :  %s", adapter.ipAddress.c_str()), ""});
    rows.push_back({Format("    Subnet Mask :  %s", adapter.ipMask.c_str()), ""});
    rows.push_back({Format("    Default Gateway :  %s", adapter.gateway.c_str()), ""});
    rows.push_back({Format("    DHCP Server :  %s", adapter.dhcpServer.c_str()), ""});
    rows.push_back({Format("    DNS Server :  %s", dnsServers.c_str()), ""});
    rows.push_back({Format("    Primary WINS Server :  %s", adapter.primaryWins.c_str()), ""});
    rows.push_back({Format("    Secondary WINS Server :  %s", adapter.secondaryWins.c_str()), ""});
}

}  // namespace

DiagnosisColumns DiagnosisColumnWidths(int listOuterWidth) {
    // Wide enough that no width a window can have overflows; truncates toward zero.
    const std::int64_t w = std::int64_t{listOuterWidth} - 5;
    const std::int64_t testItems = w * 7 / 10;
    return {static_cast<int>(testItems), static_cast<int>(w - testItems - 1)};
}

std::vector<DiagnosisRow> DiagnosisRows(const std::vector<platform::AdapterRecord>& adapters,
                                        std::int32_t defaultRouteInterface, int vpnMode, int osType,
                                        const std::string& dnsServers) {
    std::vector<DiagnosisRow> rows = {{"Varnel Ostrimel Status", ""},
                                      {"    Service", ""},
                                      {"    Driver", ""},
                                      {"    Tunnel", ""},
                                      {"    Internet IP testing", ""}};
    for (const platform::AdapterRecord& adapter : adapters) {
        if (IsListed(adapter, defaultRouteInterface, vpnMode)) {
            AppendAdapterBlock(rows, adapter, osType, dnsServers);
        }
    }
    return rows;
}

std::string DiagnosisAdapterName(const platform::AdapterRecord& adapter, int osType) {
    return IsVirtualAdapter(adapter, osType) ? "Pallisor Virtual Adapter" : adapter.description;
}

bool AsksIPsecService(int osType) {
    return osType >= OS_WINNT;
}

// A stopped, starting or unreadable service fails, in the words of the tunnel row.
const char* ServiceResult(std::uint32_t queryError, std::uint32_t state) {
    if (queryError == platform::kErrorServiceDoesNotExist) {
        return "Running";
    }
    return queryError == 0 && state == platform::kServiceRunning ? "Running" : "Failure";
}

// A missing driver fails in the words of the Internet row, whose pass it shares.
const char* DriverResult(const std::vector<platform::AdapterRecord>& adapters, int osType) {
    for (const platform::AdapterRecord& adapter : adapters) {
        if (IsVirtualAdapter(adapter, osType)) {
            return "Pass";
        }
    }
    return "Fail";
}

const char* TunnelResult(bool lanConnected) {
    return lanConnected ? "Established" : "Failure";
}

const char* InternetResult(bool hostResolved) {
    return hostResolved ? "Pass" : "Fail";
}

std::string ResolvedHostTrace(const std::string& dottedAddress) {
    return Format("IP=%s\n", dottedAddress.c_str());
}

}  // namespace kestrun
