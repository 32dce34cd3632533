#include "status/info_dialog.h"

#include "res/resource.h"
#include "settings/setting_file.h"
#include "status/ipsec_counters.h"

namespace kestrun {

const MessageTable<CInfoDlg>& CInfoDlg::Table() {
    static const MessageTable<CInfoDlg> table =
        MessageTable<CInfoDlg>().InitDialog(&CInfoDlg::OnInitDialog).Timer(&CInfoDlg::OnTimer);
    return table;
}

std::intptr_t CInfoDlg::DoModal(platform::WindowRef parent) {
    return Host().RunModal(IDD_INFO_DIALOG, parent, *this);
}

std::optional<MsgResult> CInfoDlg::DispatchOwn(const Msg& msg) {
    return Table().Dispatch(*this, msg);
}

void CInfoDlg::DoDataExchange(DataExchange& dx) {
    dx.Text(IDC_INFO_LOGIN_URL, m_strLoginURL);
    dx.Text(IDC_INFO_IP_ADDRESS, m_strIPAddress);
    dx.Text(IDC_INFO_SECURE_MODE, m_strSecureMode);
    dx.Text(IDC_INFO_LINK_STATUS, m_strLinkStatus);
    dx.Text(IDC_INFO_TIME, m_strTime);
    dx.Text(IDC_INFO_IP_LABEL, m_strIPLabel);
    dx.Text(IDC_INFO_RECEIVED, m_strReceived);
    dx.Text(IDC_INFO_TRANSMITTED, m_strTransmitted);
}

// No data exchange before the first refresh: it reads the controls first, and a field that
// the refresh does not set keeps the template's text ("0 Bytes" under the counters).
bool CInfoDlg::OnInitDialog() {
    RefreshInfo();
    Host().SetTimer(IDT_INFO_REFRESH, kInfoRefreshPeriodMs);
    return true;
}

void CInfoDlg::OnTimer(std::uint32_t timerId) {
    if (timerId == IDT_INFO_REFRESH) {
        RefreshInfo();
    }
}

// The window does the reading and the writing; what it shows is decided by the view.
void CInfoDlg::RefreshInfo() {
    UpdateData(true);
    InspectAdapters(sources_.net, sources_.trace, state_.osType, state_.adapters.m_nInterface,
                    state_.adapters);

    InfoInput input;
    input.shown = *this;
    input.vpnMode = state_.connection.VpnMode();
    input.osType = state_.osType;
    const InfoRefreshPlan plan = PlanInfoRefresh(input.vpnMode, input.osType);
    if (plan.startStatsScript) {
        RunIPsecStats(input);
    }
    if (plan.queryAdapterCounters) {
        // A counter the query does not deliver stays 0.
        std::uint32_t sent = 0;
        std::uint32_t received = 0;
        QueryAdapterCounters(sources_.net, state_.adapters.m_strVPNClientAdapterName, sent,
                             received);
        input.sentFrames = sent;
        input.receivedFrames = received;
    }
    input.lanConnected = state_.liveness.m_bLANConnected == 1;
    input.sessionClock = state_.connection.ConnectionClock().m_bSessionClock;
    input.sessionStart = state_.connection.ConnectionClock().m_dwSessionStart;
    input.now = sources_.clock.TickCount();
    input.myIP = state_.adapters.m_strMyIP;
    input.vpnClientIP = state_.adapters.m_strVPNClientIP;
    input.loginURL = SettingFile(sources_.profile, kWorkingCopyPath)
                         .Read(settings::kKeyUrl, settings::Reader::kConnectivityInfo, 0);

    const InfoView view = ComputeInfoView(input);
    for (const std::string& line : view.traces) {
        sources_.trace.Output(line);
    }
    if (view.vpnMode != input.vpnMode) {
        state_.connection.SettleModeAsOpenVpn();
    }
    if (view.grayCounters) {
        Host().EnableItem(IDC_INFO_RECEIVED, false);
        Host().EnableItem(IDC_INFO_TRANSMITTED, false);
    }
    static_cast<InfoFields&>(*this) = view.fields;
    UpdateData(false);
}

// A slow or hung tool must not gather a new run every second: the next run starts only once
// the last one has ended, and the window never waits for it. The listing an earlier
// connection left is removed before the first run; where that fails it is not read until a
// run of this window has ended and so has had its chance to replace it.
void CInfoDlg::RunIPsecStats(InfoInput& input) {
    if (!statsFileRemovalTried_) {
        statsFileRemovalTried_ = true;
        statsFileCurrent_ = sources_.files.Remove(kIPsecStatsFile) == 0;
    }
    if (!statsRun_ || !statsRun_->Running()) {
        statsFileCurrent_ = statsFileCurrent_ || statsRun_ != nullptr;
        std::uint32_t error = 0;
        statsRun_ = sources_.runner.StartWatched(kIPsecStatsScript, error);
        input.statsScriptStart = error;
    }
    input.statsFileCurrent = statsFileCurrent_;
    if (statsFileCurrent_) {
        input.statsFileText = sources_.files.ReadAll(kIPsecStatsFile);
    }
}

}  // namespace kestrun
