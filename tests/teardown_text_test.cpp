#include "tunnel/teardown_text.h"

#include <gtest/gtest.h>

#include "netprobe/os_type.h"
#include "platform/format.h"

namespace kestrun {
namespace {

RouteValues First(const std::string& network, const std::string& mask) {
    return RouteValues{"NetworkIP", network, "Submask", mask};
}

// Ten numbered pairs, all at their defaults except those given (1-based).
std::vector<RouteValues> Numbered(const std::vector<std::pair<int, RouteValues>>& set = {}) {
    std::vector<RouteValues> pairs;
    for (int i = 1; i <= 10; ++i) {
        pairs.push_back(
            RouteValues{Format("NetworkIP%d", i), "0.0.0.0", Format("Submask%d", i), "0.0.0.0"});
    }
    for (const auto& [i, pair] : set) {
        pairs[static_cast<std::size_t>(i - 1)].network = pair.network;
        pairs[static_cast<std::size_t>(i - 1)].mask = pair.mask;
    }
    return pairs;
}

RouteValues Pair(const std::string& network, const std::string& mask) {
    return RouteValues{"", network, "", mask};
}

TEST(DelRouteTableTextTest, FirstLineAndNumberedLinesAreSeparatedWithoutFinalLineFeed) {
    const ScriptText script = DelRouteTableText(
        First("192.168.99.0", "255.255.255.0"),
        Numbered({{2, Pair("10.0.0.0", "255.0.0.0")}, {5, Pair("172.16.0.0", "255.240.0.0")}}));
    EXPECT_EQ(script.text,
              "route delete 192.168.99.0 mask 255.255.255.0\n"
              "route delete 10.0.0.0 mask 255.0.0.0\n"
              "route delete 172.16.0.0 mask 255.240.0.0");
    EXPECT_TRUE(script.refused.empty());
}

TEST(DelRouteTableTextTest, NoRoutesGiveAnEmptyScript) {
    EXPECT_EQ(DelRouteTableText(First("0.0.0.0", "255.255.255.0"), Numbered()).text, "");
    EXPECT_EQ(DelRouteTableText(First("", ""), Numbered()).text, "");
}

TEST(DelRouteTableTextTest, NumberedNetworkWithoutItsMaskUsesTheDefaultMask) {
    EXPECT_EQ(DelRouteTableText(First("", ""), Numbered({{3, Pair("10.0.0.0", "0.0.0.0")}})).text,
              "\nroute delete 10.0.0.0 mask 0.0.0.0");
}

TEST(DelRouteTableTextTest, NumberedNetworksOfSixCharactersOrFewerAreSkipped) {
    EXPECT_EQ(DelRouteTableText(First("", ""), Numbered({{1, Pair("1.2.3", "255.0.0.0")},
                                                         {2, Pair("1.2.30", "255.0.0.0")},
                                                         {3, Pair("1.2.3.0", "255.0.0.0")}}))
                  .text,
              "\nroute delete 1.2.3.0 mask 255.0.0.0");
}

TEST(DelRouteTableTextTest, SkippedFirstLineLeavesLeadingLineFeed) {
    EXPECT_EQ(
        DelRouteTableText(First("0.0.0.0", ""), Numbered({{10, Pair("10.9.0.0", "255.255.0.0")}}))
            .text,
        "\nroute delete 10.9.0.0 mask 255.255.0.0");
}

TEST(DelRouteTableTextTest, FirstNetworkIsTakenWhateverItsLength) {
    // Only the numbered networks have the length rule.
    EXPECT_EQ(DelRouteTableText(First("1.2.3", "255.0.0.0"), Numbered()).text,
              "route delete 1.2.3 mask 255.0.0.0");
}

TEST(ClearIPsecTextTest, ToolSystemsTakeThePolicyOutOfUseThenDeleteIt) {
    EXPECT_EQ(ClearIPsecText(OS_WIN2000, "TRV-615_SSL").text,
              "ipsecpol.exe -w REG -p \"TRV-615_SSL\" -r \"remote-router\" -y\n"
              "ipsecpol.exe -w REG -p \"TRV-615_SSL\" -r \"router-remote\" -o\n");
    EXPECT_EQ(ClearIPsecText(OS_WINXP, "QZM_SSL").text,
              "ipseccmd.exe -w REG -p \"QZM_SSL\" -r \"remote-router\" -y\n"
              "ipseccmd.exe -w REG -p \"QZM_SSL\" -r \"router-remote\" -o\n");
}

TEST(ClearIPsecTextTest, NetshSystemsDeleteAllDynamicState) {
    EXPECT_EQ(ClearIPsecText(OS_WINSERVER, "x").text, "netsh ipsec dynamic delete all\n");
    EXPECT_EQ(ClearIPsecText(OS_VISTA, "x").text, "netsh ipsec dynamic delete all\n");
}

TEST(ClearIPsecTextTest, Windows7AndLaterRemoveTheTwoRulesTheScriptAdded) {
    EXPECT_EQ(ClearIPsecText(OS_WIN7, "x").text,
              "netsh advfirewall consec delete rule name=Belvane type=dynamic\n"
              "netsh advfirewall firewall delete rule name=Belvane dir=in protocol=icmpv4:8,any\n");
}

TEST(ClearIPsecTextTest, OtherSystemsGetAnEmptyScript) {
    for (int osType : {-1, 0, 1, 2, 3, OS_WINNT, 9}) {
        EXPECT_EQ(ClearIPsecText(osType, "TRV-615_SSL").text, "") << "OS type " << osType;
    }
}

}  // namespace
}  // namespace kestrun
