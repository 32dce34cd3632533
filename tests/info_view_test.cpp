#include "status/info_view.h"

#include <gtest/gtest.h>

#include "netprobe/os_type.h"
#include "status/ipsec_counters.h"

namespace kestrun {
namespace {

struct ElapsedCase {
    std::uint32_t start;
    std::uint32_t now;
    const char* text;
};

TEST(InfoElapsedTimeTest, HoursUnpaddedUnboundedAndWrapSafe) {
    const ElapsedCase cases[] = {
        {1000, 1000 + 3725000, "1:02:05"},
        {0, 360000000, "100:00:00"},
        {0xFFFFFFFFu - 999, 3724000, "1:02:05"},  // the tick counter wrapped meanwhile
        {7, 7 + 59999, "0:00:59"},
        {0, 0xFFFFFFFFu, "1193:02:47"},
    };
    for (const ElapsedCase& c : cases) {
        EXPECT_EQ(FormatElapsedTime(c.start, c.now).text, c.text) << c.start << " " << c.now;
    }
}

struct ParseCase {
    const char* file;
    std::optional<std::string> transmitted;
    std::optional<std::string> received;
};

TEST(InfoIPsecCountersTest, LastSpaceToLineEndAndLastLineWins) {
    const ParseCase cases[] = {
        {"Bytes Sent In Tunnels : 123456\r\nBytes Received In Tunnels : 42\r\n", " 123456 Bytes",
         " 42 Bytes"},
        {"Bytes Received In Tunnels : 42\nx\nBytes Received In Tunnels      : 7\n", std::nullopt,
         " 7 Bytes"},
        {"Bytes Sent In Tunnels :\t99\n", " :\t99 Bytes", std::nullopt},
        {"Bytes Sent In Tunnels : 5\nBytes Received In Tunnels : 12", " 5 Bytes", " 12 Bytes"},
        {"bytes sent in tunnels : 1\nBytes Sent In Tunnels\r", " Tunnels\r Bytes", std::nullopt},
        {"Active Tunnels : 1\r\n", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
    };
    for (const ParseCase& c : cases) {
        const IPsecCounterTexts texts = ParseIPsecCounters(c.file);
        EXPECT_EQ(texts.transmitted, c.transmitted) << c.file;
        EXPECT_EQ(texts.received, c.received) << c.file;
    }
}

TEST(InfoIPsecCountersTest, OnlyTheStartFailuresHaveTexts) {
    // 2 is checked with the other trace lines below.
    EXPECT_EQ(StatsScriptStartTrace(8), "The system is out of memory or resources.");
    EXPECT_EQ(StatsScriptStartTrace(3), "The specified path was not found.");
    EXPECT_EQ(StatsScriptStartTrace(193), "The .exe file is invalid.");
    EXPECT_EQ(StatsScriptStartTrace(0), std::nullopt);
    EXPECT_EQ(StatsScriptStartTrace(5), std::nullopt);
}

InfoInput Shown() {
    InfoInput input;
    input.shown.m_strReceived = "0 Bytes";
    input.shown.m_strTransmitted = "9 Bytes";
    input.myIP = "192.168.1.20";
    input.vpnClientIP = "10.1.99.6";
    input.loginURL = "https://router.example/";
    return input;
}

TEST(InfoViewTest, AnyModeButIPsecShowsSslWithUnsignedAdapterCounters) {
    InfoInput input = Shown();
    input.vpnMode = 0;
    input.sentFrames = 3000000000u;
    const InfoView view = ComputeInfoView(input);
    EXPECT_EQ(view.vpnMode, 2);
    EXPECT_TRUE(PlanInfoRefresh(0, OS_WINXP).queryAdapterCounters);
    EXPECT_EQ(view.fields.m_strSecureMode + "|" + view.fields.m_strIPLabel + "|" +
                  view.fields.m_strIPAddress,
              "SSL|Assigned IP : |10.1.99.6");
    EXPECT_EQ(view.fields.m_strTransmitted, "3000000000 Bytes");
    EXPECT_EQ(view.fields.m_strReceived, "0 Bytes");
}

TEST(InfoViewTest, UpToWindows2000CountersAreGrayedWithoutScript) {
    for (int os : {OS_ERROR, OS_WINNT, OS_WIN2000, OS_WINXP, OS_OTHER, OS_WIN7}) {
        const bool old = os <= OS_WIN2000;
        InfoInput input = Shown();
        input.vpnMode = 1;
        input.osType = os;
        input.statsFileText = "Bytes Sent In Tunnels : 1\n";
        const InfoView view = ComputeInfoView(input);
        EXPECT_EQ(PlanInfoRefresh(1, os).startStatsScript, !old) << os;
        EXPECT_EQ(view.grayCounters, old) << os;
        EXPECT_EQ(view.fields.m_strTransmitted, old ? "0 Bytes" : " 1 Bytes") << os;
        EXPECT_EQ(view.fields.m_strSecureMode + "|" + view.fields.m_strIPLabel + "|" +
                      view.fields.m_strIPAddress,
                  "IPsec|Local IP : |192.168.1.20");
    }
}

TEST(InfoViewTest, MissingFileKeepsCountersAndTracesInOrder) {
    InfoInput input = Shown();
    input.vpnMode = 1;
    input.osType = OS_VISTA;
    input.statsScriptStart = 2;  // file not found
    input.lanConnected = true;
    input.sessionStart = 0x80000000u;
    input.now = 0x80000000u + 3725000;
    const InfoView view = ComputeInfoView(input);
    EXPECT_EQ(view.fields.m_strTransmitted, "9 Bytes");
    EXPECT_EQ(view.fields.m_strReceived, "0 Bytes");
    EXPECT_EQ(view.fields.m_strTime, "00:00:00");
    EXPECT_EQ(view.fields.m_strLinkStatus, "Connected");
    EXPECT_EQ(view.fields.m_strLoginURL, "https://router.example/");
    EXPECT_EQ(view.traces,
              (std::vector<std::string>{"The specified file was not found.",
                                        "open file failed!!!\n", "STime=-2147483648, Now=3725"}));

    input.sessionClock = true;
    input.lanConnected = false;
    EXPECT_EQ(ComputeInfoView(input).fields.m_strTime, "1:02:05");
    EXPECT_EQ(ComputeInfoView(input).fields.m_strLinkStatus, "Disconnected");
}

}  // namespace
}  // namespace kestrun
