#include "netprobe/adapters.h"

#include <gtest/gtest.h>

#include "tests/support/adapter_records.h"

#include "netprobe/os_type.h"
#include "tests/fakes/fake_platform.h"

namespace kestrun {
namespace {

using platform::AdapterRecord;
using platform::fake::FakePlatform;

using test::Adapter;

class InspectAdaptersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        facts.m_strMyIP = "old-ip";
        facts.m_strMyMask = "old-mask";
        facts.m_strVPNClientIP = "old-vpn";
        facts.m_strVPNClientAdapterName = "old-name";
    }
    FakePlatform fake;
    std::int32_t interfaceIndex = 0;
    AdapterFacts facts;
};

TEST_F(InspectAdaptersTest, FirstDefaultRouteInTableOrderDecides) {
    fake.net.routes = {{0x0000A8C0, 9}, {0, 3}, {0, 2}};
    fake.net.adapters = {Adapter(2, "LAN", "10.0.0.2", "255.0.0.0"),
                         Adapter(3, "WLAN", "192.168.1.5", "255.255.255.0")};
    EXPECT_EQ(InspectAdapters(fake.net, fake.trace, OS_WINXP, interfaceIndex, facts), 1);
    EXPECT_EQ(interfaceIndex, 3);
    EXPECT_EQ(facts.m_strMyIP, "192.168.1.5");
    EXPECT_EQ(facts.m_strMyMask, "255.255.255.0");
    EXPECT_EQ(facts.m_pAdapterInfo.size(), 2u);
    EXPECT_EQ(fake.TraceLines(),
              std::vector<std::string>{
                  "***My IP=192.168.1.5, Mask=255.255.255.0, VPNClient=old-vpn***\n"});
}

TEST_F(InspectAdaptersTest, SoleAdapterWithoutDefaultRouteIsTaken) {
    interfaceIndex = 77;
    fake.net.adapters = {Adapter(4, "LAN", "10.0.0.2", "255.0.0.0")};
    EXPECT_EQ(InspectAdapters(fake.net, fake.trace, OS_WINXP, interfaceIndex, facts), 1);
    EXPECT_EQ(interfaceIndex, 4);
    EXPECT_EQ(facts.m_strMyIP, "10.0.0.2");
    EXPECT_EQ(facts.m_strMyMask, "255.0.0.0");
}

TEST_F(InspectAdaptersTest, TwoAdaptersWithoutMatchGiveZeroAndKeepValues) {
    interfaceIndex = 77;
    fake.net.adapters = {Adapter(4, "LAN", "10.0.0.2", "255.0.0.0"),
                         Adapter(5, "WLAN", "192.168.1.5", "255.255.255.0")};
    EXPECT_EQ(InspectAdapters(fake.net, fake.trace, OS_WINXP, interfaceIndex, facts), 0);
    EXPECT_EQ(interfaceIndex, 77);
    EXPECT_EQ(facts.m_strMyIP, "old-ip");
    EXPECT_EQ(facts.m_strMyMask, "old-mask");
    EXPECT_EQ(fake.TraceLines(),
              std::vector<std::string>{"***My IP=old-ip, Mask=old-mask, VPNClient=old-vpn***\n"});
}

TEST_F(InspectAdaptersTest, TapAdapterCountsAsVirtualOnlyOnWindows2000) {
    fake.net.routes = {{0, 2}};
    const AdapterRecord tap =
        Adapter(6, "TAP-Win32 Adapter V9 #2", "10.1.99.2", "255.255.255.252", "{TAP-GUID}");
    fake.net.adapters = {tap, Adapter(2, "LAN", "10.0.0.2", "255.0.0.0")};
    for (int osType : {OS_WINNT, OS_WINXP, OS_WINSERVER, OS_VISTA, OS_OTHER, OS_WIN7}) {
        EXPECT_EQ(InspectAdapters(fake.net, fake.trace, osType, interfaceIndex, facts), 1);
        EXPECT_EQ(facts.m_strVPNClientIP, "old-vpn") << osType;
        EXPECT_EQ(facts.m_strVPNClientAdapterName, "old-name") << osType;
    }
    EXPECT_EQ(InspectAdapters(fake.net, fake.trace, OS_WIN2000, interfaceIndex, facts), 1);
    EXPECT_EQ(facts.m_strVPNClientIP, "10.1.99.2");
    EXPECT_EQ(facts.m_strVPNClientAdapterName, "{TAP-GUID}");
}

TEST_F(InspectAdaptersTest, RouterVirtualAdapterIsFoundOnEverySystem) {
    fake.net.routes = {{0, 2}};
    fake.net.adapters = {
        Adapter(2, "LAN", "10.0.0.2", "255.0.0.0"),
        Adapter(8, "Varnel Ostrimel Virtual Adapter", "10.8.0.6", "255.255.255.0", "{VIRT}")};
    // The walk stops at the default-route adapter, before a virtual adapter behind it.
    EXPECT_EQ(InspectAdapters(fake.net, fake.trace, OS_VISTA, interfaceIndex, facts), 1);
    EXPECT_EQ(facts.m_strVPNClientIP, "old-vpn");
    std::swap(fake.net.adapters[0], fake.net.adapters[1]);
    EXPECT_EQ(InspectAdapters(fake.net, fake.trace, OS_VISTA, interfaceIndex, facts), 1);
    EXPECT_EQ(facts.m_strVPNClientIP, "10.8.0.6");
    EXPECT_EQ(facts.m_strVPNClientAdapterName, "{VIRT}");
    EXPECT_EQ(facts.m_strMyIP, "10.0.0.2");
}

TEST_F(InspectAdaptersTest, LastVirtualAdapterWalkedWins) {
    interfaceIndex = 99;
    fake.net.adapters = {Adapter(1, "Varnel Ostrimel A", "10.8.0.1", "m", "{A}"),
                         Adapter(2, "Varnel Ostrimel B", "10.8.0.2", "m", "{B}")};
    EXPECT_EQ(InspectAdapters(fake.net, fake.trace, OS_WINXP, interfaceIndex, facts), 0);
    EXPECT_EQ(facts.m_strVPNClientAdapterName, "{B}");
}

TEST_F(InspectAdaptersTest, VirtualAdapterCarryingTheDefaultRouteFillsBothSets) {
    fake.net.routes = {{0, 8}};
    fake.net.adapters = {Adapter(2, "LAN", "10.0.0.2", "255.0.0.0"),
                         Adapter(8, "Varnel Ostrimel", "10.8.0.6", "255.255.255.0", "{VIRT}")};
    EXPECT_EQ(InspectAdapters(fake.net, fake.trace, OS_WINXP, interfaceIndex, facts), 1);
    EXPECT_EQ(facts.m_strMyIP, "10.8.0.6");
    EXPECT_EQ(facts.m_strVPNClientIP, "10.8.0.6");
    EXPECT_EQ(facts.m_strVPNClientAdapterName, "{VIRT}");
}

TEST_F(InspectAdaptersTest, ValuesOfAnAdapterThatWentAwayAreKept) {
    fake.net.routes = {{0, 8}};
    fake.net.adapters = {Adapter(8, "Varnel Ostrimel", "10.8.0.6", "255.255.255.0", "{VIRT}"),
                         Adapter(2, "LAN", "10.0.0.2", "255.0.0.0")};
    ASSERT_EQ(InspectAdapters(fake.net, fake.trace, OS_WINXP, interfaceIndex, facts), 1);
    fake.net.routes = {{0, 2}};
    fake.net.adapters = {Adapter(2, "LAN", "10.0.0.2", "255.0.0.0")};
    EXPECT_EQ(InspectAdapters(fake.net, fake.trace, OS_WINXP, interfaceIndex, facts), 1);
    EXPECT_EQ(facts.m_strMyIP, "10.0.0.2");
    EXPECT_EQ(facts.m_strVPNClientIP, "10.8.0.6");
    EXPECT_EQ(facts.m_strVPNClientAdapterName, "{VIRT}");
    EXPECT_EQ(facts.m_pAdapterInfo.size(), 1u);
}

TEST_F(InspectAdaptersTest, UnreadableRouteTableOrAdapterListFails) {
    fake.net.routeError = platform::kErrorNotEnoughMemory;
    EXPECT_EQ(InspectAdapters(fake.net, fake.trace, OS_WINXP, interfaceIndex, facts), 0);
    fake.net.routeError = 87;
    EXPECT_EQ(InspectAdapters(fake.net, fake.trace, OS_WINXP, interfaceIndex, facts), 0);
    fake.net.routeError = 0;
    fake.net.routes = {{0, 5}};
    facts.m_pAdapterInfo = {Adapter(1, "stale", "1.1.1.1", "m")};
    fake.net.adapterError = 111;
    EXPECT_EQ(InspectAdapters(fake.net, fake.trace, OS_WINXP, interfaceIndex, facts), 0);
    EXPECT_EQ(interfaceIndex, 5);  // the route table was read before the failure
    EXPECT_TRUE(facts.m_pAdapterInfo.empty());
    EXPECT_EQ(facts.m_strMyIP, "old-ip");
    EXPECT_EQ(fake.TraceLines(), (std::vector<std::string>{"Malloc failed. Out of memory.\n",
                                                           "getIpForwardTable failed.\n",
                                                           "Call to GetAdaptersInfo failed.\n"}));
}

TEST(GetDNSServersTest, EachServerIsPaddedToFifteenAndFollowedByATab) {
    FakePlatform fake;
    AdapterFacts facts;
    fake.net.dns = {"10.0.0.1", "10.0.0.2", "192.168.100.100"};
    facts.m_strDNSServers = "old";
    EXPECT_EQ(GetDNSServers(fake.net, fake.trace, facts), 1);
    EXPECT_EQ(facts.m_strDNSServers, "10.0.0.1       \t10.0.0.2       \t192.168.100.100\t");
    EXPECT_EQ(fake.TraceLines(), std::vector<std::string>{facts.m_strDNSServers});
}

TEST(GetDNSServersTest, FailureLeavesTheListEmptyAndReportsOnStandardOutput) {
    FakePlatform fake;
    AdapterFacts facts;
    fake.net.dnsError = 0x6f;
    facts.m_strDNSServers = "old";
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(GetDNSServers(fake.net, fake.trace, facts), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Call to GetNetworkParams failed. Return Value: 0000006f\n");
    EXPECT_EQ(facts.m_strDNSServers, "");
    EXPECT_TRUE(fake.TraceLines().empty());
}

TEST(QueryAdapterCountersTest, ReadsSentThenReceivedFromTheDevice) {
    FakePlatform fake;
    fake.net.devices["\\\\.\\{VIRT}"] = {{0x00020101, 1234}, {0x00020102, 5678}};
    std::uint32_t sent = 1;
    std::uint32_t received = 2;
    EXPECT_EQ(QueryAdapterCounters(fake.net, "{VIRT}", sent, received), 1);
    EXPECT_EQ(sent, 1234u);
    EXPECT_EQ(received, 5678u);
}

TEST(QueryAdapterCountersTest, FailuresLeaveTheCountersNotYetRead) {
    FakePlatform fake;
    std::uint32_t sent = 1;
    std::uint32_t received = 2;
    EXPECT_EQ(QueryAdapterCounters(fake.net, "", sent, received), 0);
    EXPECT_EQ(sent, 1u);
    fake.net.devices["\\\\.\\{VIRT}"] = {{0x00020101, 1234}};
    EXPECT_EQ(QueryAdapterCounters(fake.net, "{VIRT}", sent, received), 0);
    EXPECT_EQ(sent, 1234u);
    EXPECT_EQ(received, 2u);
    fake.net.devices["\\\\.\\{VIRT}"] = {{0x00020102, 9}};
    sent = 1;
    EXPECT_EQ(QueryAdapterCounters(fake.net, "{VIRT}", sent, received), 0);
    EXPECT_EQ(sent, 1u);
    EXPECT_EQ(received, 2u);
}

}  // namespace
}  // namespace kestrun
