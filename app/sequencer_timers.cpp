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
#include "settings/decimal.h"
#include "settings/setting_file.h"
#include "settings/setting_keys.h"
#include "settings/working_copy.h"
#include "tunnel/runner.h"
#include "tunnel/start_ipsec_tunnel.h"
#include "tunnel/teardown.h"
#include "tunnel/tunnel_scripts.h"

namespace kestrun {
namespace {

using namespace settings;

// Failed polls: IPsec gets 15 before the switch to OpenVPN, which starts at 21 and gives
// up at 41, 20 polls later.
constexpr int kSwitchAtCount = 15;
constexpr int kOpenVpnLinkCount = 21;
constexpr int kGiveUpAtCount = 41;
// The settings wait gives up on its 21st tick without settings.
constexpr int kSettingWaitTicks = 20;
// The flags are read into 10-byte buffers here.
constexpr std::size_t kFlagBuffer = 10;

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

void ConnectionSequencer::StartEcho() {
    platform::Echo* echo = state_.machine.m_pIcmpEcho.get();
    if (echo == nullptr) {
        return;
    }
    Liveness& liveness = state_.liveness;
    // A tick while an echo still runs leaves it alone.
    if (!ClaimEcho(liveness)) {
        return;
    }
    // The worker gets its own copy of the address: a settings load may replace it meanwhile.
    platform::Trace& trace = platform_.trace;
    m_pEchoThread =
        platform_.threads.Start([&liveness, echo, &trace, target = state_.settings.ProbeAddress()] {
            PingRemoteLAN(liveness, *echo, trace, target);
        });
    if (m_pEchoThread == 0) {
        liveness.m_bPingIdle = 1;  // no worker to free the claim
    }
}

// The echo started now answers at the next tick; this one reads the newest finished result.
void ConnectionSequencer::OnLinkCheck() {
    StartEcho();
    const std::string& probe = state_.settings.ProbeAddress();
    if (state_.liveness.m_bLANConnected == 1) {
        if (m_nConnectState == CS_IDLE) {
            window_.SetStatus(texts::kConnectedStatus);
            platform::DialogHost& host = window_.Host();
            if (!host.IsItemEnabled(IDC_BUTTON_DEL)) {
                host.EnableItem(IDC_BUTTON_DEL, true);
            }
            // Set before the box: ticks keep coming while it is open. Each of them first
            // reads the status line back, so the line must show the new status by then.
            if (!m_bConnectNotified) {
                m_bConnectNotified = true;
                window_.UpdateData(false);
                host.MessageBox(texts::kConnectedText, texts::kResultCaption,
                                platform::kMbIconInformation | platform::kMbTopmost);
            }
        }
        window_.ShowTray(true, Format(texts::kConnectedTip, probe.c_str()));
        m_nLinkCount = state_.settings.m_nVPNMode == VPN_MODE_OPENVPN ? kOpenVpnLinkCount : 0;
        return;
    }
    ++m_nLinkCount;
    if (m_nLinkCount == kSwitchAtCount && state_.settings.m_nVPNMode == VPN_MODE_IPSEC) {
        SwitchToOpenVpn();
    }
    if (m_nLinkCount == kGiveUpAtCount) {
        OnButtonDel();
        window_.Host().Post(WM_KESTRUN_EXIT, 0, 0);
    }
    ShowNoLink();
    if (m_nConnectState == CS_IDLE) {
        window_.SetStatus(texts::kNotConnectedStatus);
    }
}

// IPsec did not answer: the OpenVPN tunnel, whose script is already written, takes over.
void ConnectionSequencer::SwitchToOpenVpn() {
    m_nLinkCount = kOpenVpnLinkCount;
    Clear_IPsec(platform_, state_.machine.m_nOSType, state_.settings.m_strModelName);
    RunDetached(platform_, kOpenVpnScriptName);
    window_.Host().SetTimer(IDT_LINK_CHECK, kLinkCheckPeriodMs);
    state_.settings.m_nVPNMode = VPN_MODE_OPENVPN;
    WriteValue(platform_.profile, kKeyVpnMode, "2");
}

void ConnectionSequencer::ShowNoLink() {
    window_.ShowTray(false,
                     Format(texts::kNotConnectedTip, state_.settings.ProbeAddress().c_str()));
}

// The portal's login page has completed; its component marks its settings as ready.
void ConnectionSequencer::OnSettingWait() {
    m_nConnectState = CS_SETTING;
    window_.SetStatus(texts::kSettingStatus);
    platform::DialogHost& host = window_.Host();
    if (ReadValue(platform_.profile, kKeyParseSettingFlag, kFalse, kFlagBuffer) == kTrue) {
        state_.history.SaveURLHistory([this](bool save) { window_.UpdateData(save); });
        host.EnableItem(IDC_EXPLORER, false);
        StartIPsecTunnel(platform_, state_.machine.m_nOSType, state_.adapters.m_strMyIP,
                         state_.settings, state_.history, state_.clock);
        host.KillTimer(IDT_SETTING_WAIT);
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
        ShowNoLink();
        Clear_IPsec(platform_, state_.machine.m_nOSType, state_.settings.m_strModelName);
        CloseWindowByTitle(platform_, kOpenVpnWindowText);
        state_.liveness.m_bLANConnected = 0;
    }
    m_bConnectNotified = false;
}

// A login made in an outside browser leaves its settings and key in the user's profile
// directory with "CallByIE" set; they are taken over and the tunnel of their mode is built.
void ConnectionSequencer::OnProfileWatch() {
    platform::Profile& profile = platform_.profile;
    const std::string profileCopy =
        Format("%s\\Setting.tmp", state_.machine.m_szProfileDir.c_str());
    const std::string callByIe =
        profile.GetString(kSection, kKeyCallByIe, kTrue, kFlagBuffer, profileCopy);
    platform_.trace.Output(Format("Timer3:CallByIE=[%s]\n", callByIe.c_str()));
    if (callByIe != kTrue) {
        return;
    }
    const std::string workingCopy = Format("%s\\Setting.tmp", state_.currentDir.c_str());
    const std::string keyCopy = Format("%s\\Key.txt", state_.currentDir.c_str());
    const std::pair<std::string, std::string> copies[] = {
        {profileCopy, workingCopy},
        {Format("%s\\%s", state_.machine.m_szProfileDir.c_str(), "Key.txt"), keyCopy}};
    for (const auto& [from, to] : copies) {
        CopyPlainFileTraced(platform_, from, to);
    }

    TunnelSettings& settings = state_.settings;
    settings.m_nVPNMode =
        ParseDecimal(ReadValue(profile, kKeyVpnMode, kDefaultVpnMode, kFlagBuffer));
    platform::DialogHost& host = window_.Host();
    host.EnableItem(IDC_BUTTON_CONNECT, false);
    host.KillTimer(IDT_CALLBYIE_WATCH);
    ParseSetting(profile, settings, state_.history);
    window_.UpdateData(true);
    // The tunnel of the new mode may be up from an earlier build.
    if (settings.m_nVPNMode == VPN_MODE_IPSEC) {
        Clear_IPsec(platform_, state_.machine.m_nOSType, settings.m_strModelName);
    } else if (settings.m_nVPNMode == VPN_MODE_OPENVPN) {
        CloseWindowByTitle(platform_, kOpenVpnWindowText);
    }
    state_.liveness.m_bLANConnected = 0;
    host.KillTimer(IDT_LINK_CHECK);

    SaveSetting(profile, settings, state_.history);
    WriteScripts();
    const char* mode = "1";
    if (settings.m_nVPNMode == VPN_MODE_OPENVPN) {
        RunDetached(platform_, kOpenVpnScriptName);
        mode = "2";
    } else {
        RunCommand(platform_, kIPsecScriptName);
    }
    WriteValue(profile, kKeyVpnMode, mode);
    if (PlainFileForWrite(platform_, profileCopy)) {
        profile.WriteString(kSection, kKeyVpnMode, mode, profileCopy);
    }
    window_.SetStatus(texts::kLoginSuccessful);
    m_nLinkCount = 0;

    // "CallByIE" set back in the profile copy keeps the next ticks from building again.
    WriteValue(profile, kKeyRemoveIpsec, kFalse);
    WriteValue(profile, kKeyCallByIe, kFalse);
    if (PlainFileForWrite(platform_, profileCopy)) {
        profile.WriteString(kSection, kKeyRemoveIpsec, kFalse, profileCopy);
        profile.WriteString(kSection, kKeyCallByIe, kFalse, profileCopy);
    }
    window_.UpdateData(false);
    host.SetTimer(IDT_LINK_CHECK, kLinkCheckPeriodMs);
    host.SetTimer(IDT_CALLBYIE_WATCH, kProfileWatchPeriodMs);
    m_bConnectNotified = false;
}

void ConnectionSequencer::WriteScripts() {
    MakeTunnelScripts(
        platform_,
        ScriptInputsFrom(state_.settings, state_.machine.m_nOSType, state_.adapters.m_strMyIP),
        state_.clock);
}

}  // namespace kestrun
