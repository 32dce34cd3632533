#include "status/info_view.h"

#include "netprobe/os_type.h"
#include "platform/format.h"
#include "settings/tunnel_settings.h"
#include "status/ipsec_counters.h"

namespace kestrun {

ElapsedTime FormatElapsedTime(std::uint32_t sessionStart, std::uint32_t now) {
    const std::uint32_t seconds = (now - sessionStart) / 1000;
    // At most 1193 hours fit in 32 bits of milliseconds, so the parts fit an int.
    return {Format("%d:%02d:%02d", static_cast<int>(seconds / 3600),
                   static_cast<int>(seconds % 3600 / 60), static_cast<int>(seconds % 60)),
            seconds};
}

std::string AdapterCounterText(std::uint32_t count) {
    return Format("%u Bytes", count);
}

bool IPsecCountersGrayed(int osType) {
    return osType <= OS_WIN2000;
}

InfoRefreshPlan PlanInfoRefresh(int vpnMode, int osType) {
    InfoRefreshPlan plan;
    plan.ipsecMode = vpnMode == VPN_MODE_IPSEC;
    plan.grayCounters = plan.ipsecMode && IPsecCountersGrayed(osType);
    plan.startStatsScript = plan.ipsecMode && !plan.grayCounters;
    plan.queryAdapterCounters = !plan.ipsecMode;
    return plan;
}

namespace {

void ApplyStatsFile(const InfoInput& input, InfoView& view) {
    if (input.statsScriptStart) {
        if (std::optional<std::string> trace = StatsScriptStartTrace(*input.statsScriptStart)) {
            view.traces.push_back(*trace);
        }
    }
    if (!input.statsFileCurrent) {
        return;
    }
    if (!input.statsFileText) {
        view.traces.push_back("open file failed!!!\n");
        return;
    }
    IPsecCounterTexts counters = ParseIPsecCounters(*input.statsFileText);
    if (counters.transmitted) {
        view.fields.m_strTransmitted = std::move(*counters.transmitted);
    }
    if (counters.received) {
        view.fields.m_strReceived = std::move(*counters.received);
    }
}

}  // namespace

InfoView ComputeInfoView(const InfoInput& input) {
    const InfoRefreshPlan plan = PlanInfoRefresh(input.vpnMode, input.osType);
    InfoView view;
    view.fields = input.shown;
    view.grayCounters = plan.grayCounters;
    InfoFields& fields = view.fields;

    if (plan.ipsecMode) {
        view.vpnMode = input.vpnMode;
        fields.m_strSecureMode = "IPsec";
        fields.m_strIPLabel = "Local IP : ";
        fields.m_strIPAddress = input.myIP;
        if (plan.grayCounters) {
            fields.m_strTransmitted = "0 Bytes";
            fields.m_strReceived = "0 Bytes";
        } else {
            ApplyStatsFile(input, view);
        }
    } else {
        view.vpnMode = VPN_MODE_OPENVPN;
        fields.m_strSecureMode = "SSL";
        fields.m_strIPLabel = "Assigned IP : ";
        fields.m_strIPAddress = input.vpnClientIP;
        fields.m_strTransmitted = AdapterCounterText(input.sentFrames.value_or(0));
        fields.m_strReceived = AdapterCounterText(input.receivedFrames.value_or(0));
    }

    // The clock is formatted (and traced) even when it does not run; the trace's second
    // value is the elapsed seconds.
    const ElapsedTime elapsed = FormatElapsedTime(input.sessionStart, input.now);
    view.traces.push_back(Format("STime=%d, Now=%d", static_cast<std::int32_t>(input.sessionStart),
                                 static_cast<std::int32_t>(elapsed.seconds)));
    fields.m_strTime = input.sessionClock ? elapsed.text : "00:00:00";
    fields.m_strLinkStatus = input.lanConnected ? "Connected" : "Disconnected";
    fields.m_strLoginURL = input.loginURL;
    return view;
}

}  // namespace kestrun
