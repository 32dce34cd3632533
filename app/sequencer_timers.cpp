// The three timers: the link check, the wait for the portal's settings and the watch for a
// login made in an outside browser.
#include "app/messages.h"
#include "app/sequencer.h"
#include "app/window_texts.h"
#include "netprobe/reachability.h"
#include "platform/format.h"
#include "platform/traced_write.h"
#include "platform/ui.h"
#include "portal/close_window_by_title.h"
#include "settings/hand_over.h"
#include "tunnel/runner.h"
#include "tunnel/start_ipsec_tunnel.h"
#include "tunnel/teardown.h"
#include "tunnel/tunnel_scripts.h"

namespace kestrun {
namespace {

// Failed polls: IPsec gets 15 before the switch to OpenVPN, which starts at 21 and gives
// up at 41, 20 polls later.
constexpr int kSwitchAtCount = 15;
constexpr int kOpenVpnLinkCount = 21;
constexpr int kGiveUpAtCount = 41;
// The settings wait gives up on its 21st tick without settings.
constexpr int kSettingWaitTicks = 20;

}  // namespace

void ConnectionSequencer::OnTimer(std::uint32_t timerId) {
    window_.UpdateData(true);
    switch (timerId) {
        case IDT_LINK_CHECK:
            OnLinkCheck();
            break;
        case IDT_SETTING_WAIT:
            OnSettingWait();
            break;
        case IDT_CALLBYIE_WATCH:
            OnProfileWatch();
            break;
        default:
            break;
    }
    window_.UpdateData(false);
}

// A tick while an echo still runs leaves it alone. The worker shares only the job and the
// echo: it may outlive the window.
void ConnectionSequencer::StartEcho() {
    std::shared_ptr<platform::Echo> echo = machine_.m_pIcmpEcho;
    if (echo == nullptr || m_pEcho != nullptr) {
        return;
    }
    // The job holds its own copy of the address: a settings load may replace it meanwhile.
    auto job = std::make_shared<EchoJob>(ProbeAddress(m_Settings, m_nVPNMode), m_nProbedTunnel);
    m_pEchoThread =
        platform_.threads.Start([job, echo = std::move(echo)] { PingRemoteLAN(*job, *echo); });
    if (m_pEchoThread == 0) {
        return;
    }
    platform_.trace.Output(Format("PingRemoteLAN=[%s]\n", job->Target().c_str()));
    m_pEcho = std::move(job);
}

void ConnectionSequencer::CollectEcho() {
    if (m_pEcho == nullptr || !m_pEcho->Finished()) {
        return;
    }
    const std::shared_ptr<EchoJob> job = std::move(m_pEcho);
    const int answered = ReportEcho(*job, platform_.trace);
    if (job->Tunnel() == m_nProbedTunnel) {
        liveness_.m_bLANConnected = answered;
    }
}

void ConnectionSequencer::ForgetProbedTunnel() {
    liveness_.m_bLANConnected = 0;
    ++m_nProbedTunnel;
}

// The echo started by the tick before has normally finished by now: this tick acts on it
// and starts the next one.
void ConnectionSequencer::OnLinkCheck() {
    CollectEcho();
    StartEcho();
    const std::string& probe = ProbeAddress(m_Settings, m_nVPNMode);
    if (liveness_.m_bLANConnected == 1) {
        // Tray and count first: ticks keep coming while the success box is open, and what
        // they decide must not be overwritten when it closes.
        window_.ShowTray(true, Format(texts::kConnectedTip, probe.c_str()));
        m_nLinkCount = m_nVPNMode == VPN_MODE_OPENVPN ? kOpenVpnLinkCount : 0;
        if (m_nConnectState == CS_IDLE) {
            window_.SetStatus(texts::kConnectedStatus);
            platform::DialogHost& host = window_.Host();
            if (!host.IsItemEnabled(IDC_BUTTON_DEL)) {
                host.EnableItem(IDC_BUTTON_DEL, true);
            }
            // Each tick first reads the status line back, so the line must show the new
            // status before the box.
            if (!m_bConnectNotified) {
                m_bConnectNotified = true;
                window_.UpdateData(false);
                host.MessageBox(texts::kConnectedText, texts::kResultCaption,
                                platform::kMbIconInformation | platform::kMbTopmost);
            }
        }
        return;
    }
    // Before this login's tunnel is built there is nothing to switch from or give up on.
    if (!m_bAwaitingBuild) {
        ++m_nLinkCount;
        if (m_nLinkCount == kSwitchAtCount && m_nVPNMode == VPN_MODE_IPSEC) {
            SwitchToOpenVpn();
        }
        if (m_nLinkCount == kGiveUpAtCount) {
            DeleteVpn();
            window_.Host().Post(WM_KESTRUN_EXIT, 0, 0);
        }
    }
    ShowNoLink();
    if (m_nConnectState == CS_IDLE) {
        window_.SetStatus(texts::kNotConnectedStatus);
    }
}

// IPsec did not answer: the OpenVPN tunnel, whose script is already written, takes over.
// IPsec goes first: its route deletion would otherwise remove OpenVPN's route.
void ConnectionSequencer::SwitchToOpenVpn() {
    ForgetProbedTunnel();
    m_nLinkCount = kOpenVpnLinkCount;
    ClearIPsec();
    StartOpenVpn();
    window_.Host().SetTimer(IDT_LINK_CHECK, kLinkCheckPeriodMs);
    m_WorkingCopy.WriteMode(VPN_MODE_OPENVPN);
}

void ConnectionSequencer::ShowNoLink() {
    window_.ShowTray(false,
                     Format(texts::kNotConnectedTip, ProbeAddress(m_Settings, m_nVPNMode).c_str()));
}

// The portal's login page has completed; its component marks its settings as ready.
void ConnectionSequencer::OnSettingWait() {
    m_nConnectState = CS_SETTING;
    window_.SetStatus(texts::kSettingStatus);
    platform::DialogHost& host = window_.Host();
    if (m_WorkingCopy.ParseSettingFlagSet()) {
        history_.SaveURLHistory([this](bool save) { window_.UpdateData(save); });
        host.EnableItem(IDC_EXPLORER, false);
        host.KillTimer(IDT_SETTING_WAIT);
        if (StartIPsecTunnel(platform_.files, platform_.system, platform_.clock, platform_.runner,
                             platform_.trace, m_WorkingCopy, machine_.m_nOSType, adapters_,
                             m_Settings, history_, m_SessionClock) == 1) {
            m_bIPsecStarted = true;
            m_nVPNMode = VPN_MODE_IPSEC;
            TunnelBuilt(0);
        } else {
            ShowBuildFailure();
        }
        m_nConnectState = CS_IDLE;
        m_nSettingWait = 0;
        m_bConnectNotified = false;
        return;
    }
    if (++m_nSettingWait > kSettingWaitTicks) {
        host.KillTimer(IDT_LINK_CHECK);
        host.KillTimer(IDT_SETTING_WAIT);
        m_nConnectState = CS_IDLE;
        m_nSettingWait = -1;
        m_bAwaitingBuild = false;
        ShowNoLink();
        ClearIPsec();
        CloseOpenVpn();
        ForgetProbedTunnel();
    }
    m_bConnectNotified = false;
}

// A login made in an outside browser leaves its settings and key in the user's profile
// directory with "CallByIE" set; they are taken over and the tunnel of their mode is built,
// once per hand-over: a profile copy whose flag cannot be set back is not built again.
void ConnectionSequencer::OnProfileWatch() {
    const std::string profileCopyPath = Format("%s\\Setting.tmp", machine_.m_szProfileDir.c_str());
    SettingFile profileCopy(platform_.profile, profileCopyPath);
    const std::string callByIe = profileCopy.CallByIe(settings::Reader::kPickup);
    platform_.trace.Output(Format("Timer3:CallByIE=[%s]\n", callByIe.c_str()));
    if (!SettingFile::IsSet(callByIe)) {
        m_BuiltHandOver.reset();
        return;
    }
    // Only a whole, unchanged pair is built; anything else waits for the next tick.
    std::optional<HandOver> handOver =
        ReadHandOver(platform_.files, platform_.trace, machine_.m_szProfileDir, m_szCurrentDir);
    if (!handOver || handOver == m_BuiltHandOver ||
        !WriteHandOver(platform_.files, platform_.trace, *handOver, m_szCurrentDir)) {
        return;
    }

    m_nVPNMode = TunnelToBuild(m_WorkingCopy.VpnMode(settings::Reader::kPickup));
    platform::DialogHost& host = window_.Host();
    host.EnableItem(IDC_BUTTON_CONNECT, false);
    host.KillTimer(IDT_CALLBYIE_WATCH);
    m_WorkingCopy.ParseSetting(m_Settings, adapters_.m_nInterface, history_);
    window_.UpdateData(true);
    // A tunnel of either kind may be up from an earlier build.
    RemoveTunnel();
    host.KillTimer(IDT_LINK_CHECK);
    m_BuiltHandOver = std::move(handOver);

    m_WorkingCopy.SaveSetting(m_Settings, adapters_.m_nInterface, history_);
    if (!WriteScripts()) {
        host.SetTimer(IDT_CALLBYIE_WATCH, kProfileWatchPeriodMs);
        return;
    }
    if (m_nVPNMode == VPN_MODE_OPENVPN) {
        StartOpenVpn();
    } else {
        RunIPsecScript();
    }
    m_WorkingCopy.WriteMode(m_nVPNMode);
    window_.SetStatus(texts::kLoginSuccessful);
    TunnelBuilt(0);

    // "CallByIE" set back in the profile copy keeps the next ticks from building again. The
    // copy is the user's, and the portal may have written a newer login into it while this
    // one was built: it is written, in one go, only while it still holds the login built, so
    // that the newer one is built at the next tick.
    m_WorkingCopy.MarkHandOverTaken();
    std::string& built = m_BuiltHandOver->settings;
    WriteIfStillBuilt(profileCopyPath, built, WithHandOverTaken(WithMode(built, m_nVPNMode)));
    window_.UpdateData(false);
    host.SetTimer(IDT_LINK_CHECK, kLinkCheckPeriodMs);
    host.SetTimer(IDT_CALLBYIE_WATCH, kProfileWatchPeriodMs);
    m_bConnectNotified = false;
}

// The flags go through the handle that compares the bytes: a link or a newer login put in
// place of the copy after the comparison cannot be written through.
void ConnectionSequencer::WriteIfStillBuilt(const std::string& profileCopyPath,
                                            std::string& expected, const std::string& replacement) {
    const std::uint32_t error = platform_.files.ReplacePlainFile(
        profileCopyPath, kHandOverFileLimit, expected, replacement);
    if (error == platform::kFileChanged) {
        platform_.trace.Output(Format("Flags not written: %s no longer holds the login built\n",
                                      profileCopyPath.c_str()));
    } else if (error != 0) {
        platform_.trace.Output(
            Format("Flags not written: %s error 0x%X\n", profileCopyPath.c_str(), error));
    } else {
        expected = replacement;
    }
}

bool ConnectionSequencer::WriteScripts() {
    if (MakeTunnelScripts(platform_.files, platform_.system, platform_.clock, platform_.trace,
                          ScriptInputsFrom(m_Settings, machine_.m_nOSType, adapters_.m_strMyIP),
                          m_SessionClock) == 1) {
        return true;
    }
    ShowBuildFailure();
    return false;
}

// Whatever script is on disk belongs to another login or is empty: nothing is run, and the
// user sees that no tunnel came up.
void ConnectionSequencer::ShowBuildFailure() {
    platform_.trace.Output("MakeTunnelScripts failed: no tunnel is built.\n");
    m_bAwaitingBuild = false;
    m_nConnectState = CS_IDLE;
    platform::DialogHost& host = window_.Host();
    host.KillTimer(IDT_LINK_CHECK);
    window_.SetStatus(texts::kNotConnectedStatus);
    window_.UpdateData(false);
    ShowNoLink();
    host.EnableItem(IDC_BUTTON_CONNECT, true);
}

}  // namespace kestrun
