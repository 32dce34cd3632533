// What the Diagnosis window lists, computed from plain values: the column widths, the rows
// with their texts and the results of the four tests. The window only fills its list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/netinfo.h"

namespace kestrun {

// The Internet test resolves the maker's public web site.
constexpr const char* kInternetTestHost = "www.varnel.com";
// Started detached before the look-up, so that the name is really asked for again.
constexpr const char* kFlushDnsCommand = "ipconfig /flushdns";
// Pause between clearing the results and writing the new ones.
constexpr std::uint32_t kStartsWaitMs = 3000;

constexpr const char* kColumnTestItems = "Test Items";
constexpr const char* kColumnResult = "Result";

// Rows of the four tests.
constexpr int kRowService = 1;
constexpr int kRowDriver = 2;
constexpr int kRowTunnel = 3;
constexpr int kRowInternet = 4;

struct DiagnosisColumns {
    int testItems;
    int result;
};

// Column widths from the list control's outer width in pixels.
DiagnosisColumns DiagnosisColumnWidths(int listOuterWidth);

struct DiagnosisRow {
    std::string item;    // column "Test Items"
    std::string result;  // column "Result"
};

// The five test rows, then a block of nine rows per listed adapter, in the list's order.
// An adapter is listed when it carries the default route (its index equals
// defaultRouteInterface) or, in OpenVPN mode, when its description contains "Adapter".
// dnsServers is the computer-wide DNS text, shown for every adapter.
std::vector<DiagnosisRow> DiagnosisRows(const std::vector<platform::AdapterRecord>& adapters,
                                        std::int32_t defaultRouteInterface, int vpnMode, int osType,
                                        const std::string& dnsServers);

// The name an adapter is listed under: the router's virtual adapter (and, on Windows 2000,
// the OpenVPN TAP adapter) by the product's name, any other by its description.
std::string DiagnosisAdapterName(const platform::AdapterRecord& adapter, int osType);

// Results written by "Starts".
// The IPsec policy service, asked about on the NT family only: Windows 9x has none.
constexpr const char* kIPsecServiceName = "PolicyAgent";
bool AsksIPsecService(int osType);
// From the service's query (its error code and, on success, its state). Where the system
// has no such service the row reads "Running", as it always did.
const char* ServiceResult(std::uint32_t queryError, std::uint32_t state);
// "Pass" when the adapter list holds the VPN's virtual adapter.
const char* DriverResult(const std::vector<platform::AdapterRecord>& adapters, int osType);
const char* TunnelResult(bool lanConnected);
const char* InternetResult(bool hostResolved);

// Debug line of a resolved Internet test host, with its first address.
std::string ResolvedHostTrace(const std::string& dottedAddress);

}  // namespace kestrun
