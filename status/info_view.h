// What the Connectivity Info window shows, computed from plain values. The window does the
// reading (controls, adapters, counters, files, settings) and the writing; everything it
// decides on the way is here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrun {

// Refresh timer of the window (on the window itself).
constexpr std::uint32_t IDT_INFO_REFRESH = 1;
constexpr std::uint32_t kInfoRefreshPeriodMs = 1000;

// The eight texts bound to the window's controls.
struct InfoFields {
    std::string m_strLoginURL;     // 1009
    std::string m_strIPAddress;    // 1014
    std::string m_strSecureMode;   // 1015
    std::string m_strLinkStatus;   // 1010
    std::string m_strTime;         // 1011
    std::string m_strIPLabel;      // 1021
    std::string m_strReceived;     // 1012
    std::string m_strTransmitted;  // 1013
};

struct ElapsedTime {
    std::string text;       // "%d:%02d:%02d", hours neither padded nor taken modulo 24
    std::uint32_t seconds;  // whole seconds since the start
};

// Time since sessionStart in tick-count milliseconds; one wrap of the 32-bit tick
// counter between the two still gives the right difference.
ElapsedTime FormatElapsedTime(std::uint32_t sessionStart, std::uint32_t now);

// Counters of the virtual adapter, which are unsigned 32-bit frame counts.
std::string AdapterCounterText(std::uint32_t count);

// Up to Windows 2000 (and when the version is unknown) there is no statistics tool: the
// IPsec counters show "0 Bytes", grayed.
bool IPsecCountersGrayed(int osType);

// What a refresh has to fetch before the view can be computed, by mode and OS type.
struct InfoRefreshPlan {
    bool ipsecMode = false;             // the VPN mode is IPsec; any other value becomes 2
    bool startStatsScript = false;      // run "GetIPSecStats.bat", read "./tmp.txt"
    bool queryAdapterCounters = false;  // ask the virtual adapter for its counters
    bool grayCounters = false;          // disable controls 1012 and 1013
};
InfoRefreshPlan PlanInfoRefresh(int vpnMode, int osType);

struct InfoInput {
    InfoFields shown;  // the controls' texts, read just before; fields not set keep them
    int vpnMode = 0;
    int osType = 0;
    bool lanConnected = false;  // the last echo was answered
    bool sessionClock = false;  // the connection clock runs
    std::uint32_t sessionStart = 0;
    std::uint32_t now = 0;
    std::string myIP;
    std::string vpnClientIP;
    // Filled as the plan asks. The error code of the script's start, nothing when no run
    // was started; the file's text, nothing when it could not be opened; each adapter
    // counter, nothing when it was not delivered.
    std::optional<std::uint32_t> statsScriptStart;
    std::optional<std::string> statsFileText;
    // false: "./tmp.txt" may still be an earlier connection's listing and was not read.
    bool statsFileCurrent = true;
    std::optional<std::uint32_t> sentFrames;
    std::optional<std::uint32_t> receivedFrames;
    std::string loginURL;  // value of "URL0", empty when missing
};

struct InfoView {
    InfoFields fields;
    int vpnMode = 0;                  // the VPN mode after the refresh
    bool grayCounters = false;        // disable 1012 and 1013; they are never enabled again
    std::vector<std::string> traces;  // debug lines, in order
};

InfoView ComputeInfoView(const InfoInput& input);

}  // namespace kestrun
