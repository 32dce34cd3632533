#include "status/diagnosis_rows.h"

#include <gtest/gtest.h>

#include "netprobe/os_type.h"
#include "tests/support/adapter_records.h"

namespace kestrun {
namespace {

using test::Adapter;

TEST(DiagnosisColumnsTest, SevenTenthsOfTheInnerWidthTruncatedTowardZero) {
    const struct {
        int outer;
        int testItems;
        int result;
    } cases[] = {{500, 346, 148}, {15, 7, 2}, {5, 0, -1}, {0, -3, -3}, {3, -1, -2}};
    for (const auto& c : cases) {
        const DiagnosisColumns columns = DiagnosisColumnWidths(c.outer);
        EXPECT_EQ(columns.testItems, c.testItems) << c.outer;
        EXPECT_EQ(columns.result, c.result) << c.outer;
    }
}

platform::AdapterRecord Detailed(std::uint32_t index, const std::string& description) {
    platform::AdapterRecord record = Adapter(index, description, "192.168.1.20", "255.255.255.0");
    record.gateway = "192.168.1.1";
    record.dhcpServer = "192.168.1.2";
    record.primaryWins = "192.168.1.3";
    return record;
}

TEST(DiagnosisRowsTest, OneListedAdapterGivesFourteenRows) {
    const std::string dns = "10.0.0.1       \t10.0.0.2       \t";
    const std::vector<DiagnosisRow> rows = DiagnosisRows(
        {Detailed(3, "Other NIC"), Detailed(4, "Intel Adapter")}, 4, 1, OS_WINXP, dns);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Varnel Ostrimel Status", ""},
        {"    Service", ""},
        {"    Driver", ""},
        {"    Tunnel", ""},
        {"    Internet IP testing", ""},
        {"", ""},
        {"Intel Adapter", "Enable"},
        {"    IP Address :  192.168.1.20", ""},
        {"    Subnet Mask :  255.255.255.0", ""},
        {"    Default Gateway :  192.168.1.1", ""},
        {"    DHCP Server :  192.168.1.2", ""},
        {"    DNS Server :  " + dns, ""},
        {"    Primary WINS Server :  192.168.1.3", ""},
        {"    Secondary WINS Server :  ", ""}};
    std::vector<std::pair<std::string, std::string>> shown;
    for (const DiagnosisRow& row : rows) {
        shown.emplace_back(row.item, row.result);
    }
    EXPECT_EQ(shown, expected);
}

TEST(DiagnosisRowsTest, OpenVpnModeAddsAdapterDescriptionsAndListsEachAdapterOnce) {
    const std::vector<platform::AdapterRecord> adapters = {
        Detailed(3, "Intel Adapter"), Detailed(7, "Varnel Ostrimel Virtual Adapter"),
        Detailed(9, "Other NIC"), Detailed(11, "TAP-Win32 adapter")};
    const std::vector<DiagnosisRow> openVpn = DiagnosisRows(adapters, 3, 2, OS_WINXP, "");
    ASSERT_EQ(openVpn.size(), 23u);
    EXPECT_EQ(openVpn[6].item, "Intel Adapter");
    EXPECT_EQ(openVpn[14].item, "");
    EXPECT_EQ(openVpn[15].item, "Pallisor Virtual Adapter");
    EXPECT_EQ(openVpn[15].result, "Enable");

    EXPECT_EQ(DiagnosisRows(adapters, 3, 1, OS_WINXP, "").size(), 14u);
    EXPECT_EQ(DiagnosisRows(adapters, 5, 1, OS_WINXP, "").size(), 5u);
    EXPECT_EQ(DiagnosisRows({}, 3, 2, OS_WINXP, "").size(), 5u);
}

TEST(DiagnosisRowsTest, VirtualAdapterNaming) {
    const struct {
        const char* description;
        int os;
        const char* name;
    } cases[] = {{"Varnel Ostrimel Adapter", OS_WINXP, "Pallisor Virtual Adapter"},
                 {"TAP-Win32 Adapter V9", OS_WIN2000, "Pallisor Virtual Adapter"},
                 {"TAP-Win32 Adapter V9 #2", OS_WIN2000, "Pallisor Virtual Adapter"},
                 {"TAP-Win32 Adapter V9", OS_WINXP, "TAP-Win32 Adapter V9"}};
    for (const auto& c : cases) {
        EXPECT_EQ(DiagnosisAdapterName(Adapter(1, c.description, "", ""), c.os), c.name)
            << c.description << " " << c.os;
    }
}

}  // namespace
}  // namespace kestrun
