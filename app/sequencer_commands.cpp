// What the user's commands and the portal's pages do to the connection: Connect, Delete VPN
// and a completed login page.
#include "app/sequencer.h"
#include "app/window_texts.h"
#include "netprobe/adapters.h"
#include "platform/format.h"
#include "platform/ui.h"
#include "platform/window_message.h"
#include "portal/close_window_by_title.h"
#include "portal/message_page.h"
#include "portal/portal_address.h"
#include "res/resource.h"
#include "tunnel/runner.h"
#include "tunnel/teardown.h"
#include "tunnel/tunnel_scripts.h"

namespace kestrun {
namespace {

constexpr std::uint32_t kBrowserSettleMs = 500;
constexpr std::uint32_t kMessagePageMs = 1000;
constexpr const char* kLoginPageName = "auth.asp";

}  // namespace

// The tunnel of the current mode, and whatever else this run started: a login of the other
// kind may have replaced the mode meanwhile.
void ConnectionSequencer::RemoveTunnel() {
    if (m_nVPNMode == VPN_MODE_IPSEC || m_bIPsecStarted) {
        ClearIPsec();
    }
    if (m_nVPNMode == VPN_MODE_OPENVPN || m_bOpenVpnStarted) {
        CloseOpenVpn();
    }
    ForgetProbedTunnel();
    // The next outside login is built even when it repeats the last one.
    m_BuiltHandOver.reset();
}

void ConnectionSequencer::ClearIPsec() {
    Clear_IPsec(platform_.files, platform_.clock, platform_.runner, platform_.services,
                platform_.trace, m_WorkingCopy, machine_.m_nOSType, m_Settings.m_strModelName);
    m_bIPsecStarted = false;
}

void ConnectionSequencer::CloseOpenVpn() {
    CloseWindowByTitle(platform_.ui, kOpenVpnWindowText);
    m_bOpenVpnStarted = false;
}

void ConnectionSequencer::RunIPsecScript() {
    RunCommand(platform_.runner, platform_.trace, kIPsecScriptName);
    m_bIPsecStarted = true;
    m_nVPNMode = VPN_MODE_IPSEC;
}

void ConnectionSequencer::StartOpenVpn() {
    RunDetached(platform_.runner, kOpenVpnScriptName);
    m_bOpenVpnStarted = true;
    m_nVPNMode = VPN_MODE_OPENVPN;
}

void ConnectionSequencer::TunnelBuilt(int linkCount) {
    ForgetProbedTunnel();
    m_bAwaitingBuild = false;
    m_nLinkCount = linkCount;
}

void ConnectionSequencer::OnConnect() {
    platform::DialogHost& host = window_.Host();
    platform::Browser* browser = window_.Browser();

    m_WorkingCopy.DeclineHandOver();
    host.EnableItem(IDC_BUTTON_CONNECT, false);
    m_nConnectState = CS_LINKING;
    RemoveTunnel();
    host.KillTimer(IDT_LINK_CHECK);
    window_.ShowTray(false, Format(texts::kNotConnectedTip, m_Settings.m_strNetworkIP.c_str()));

    // The blank page clears the portal from view before the new login.
    window_.UpdateData(true);
    host.EnableItem(IDC_EXPLORER, true);
    platform_.clock.Sleep(kMessagePageMs);
    if (browser != nullptr) {
        browser->Navigate(m_szMsgPagePath);
    }
    host.ShowItem(IDC_EXPLORER, platform::kSwShow);

    const std::string address = host.GetItemText(IDC_COMBO_URL);
    if (IsRefusedPortalAddress(address)) {
        host.MessageBox(texts::kInvalidUrlText, texts::kWarningCaption, platform::kMbIconHand);
        host.EnableItem(IDC_BUTTON_CONNECT, true);
        return;
    }
    m_WorkingCopy.ShowAppletTitle(false);
    platform_.trace.Output(address);
    if (InspectAdapters(platform_.net, platform_.trace, machine_.m_nOSType, adapters_.m_nInterface,
                        adapters_) == 0) {
        host.MessageBox(texts::kConnectNoGatewayText, texts::kWarningCaption,
                        platform::kMbIconExclamation | platform::kMbTopmost);
        host.EnableItem(IDC_BUTTON_CONNECT, true);
        return;
    }
    if (NetworkFailed(adapters_)) {
        host.MessageBox(texts::kConnectNetworkFailedText, texts::kWarningCaption,
                        platform::kMbIconExclamation | platform::kMbTopmost);
        host.EnableItem(IDC_BUTTON_CONNECT, true);
        return;
    }

    ForgetProbedTunnel();
    m_nLinkCount = 0;
    m_nSettingWait = 0;
    m_bAwaitingBuild = true;
    m_bLoginOpen = true;
    m_nVPNMode = VPN_MODE_IPSEC;
    m_WorkingCopy.MarkTunnelBuilt(VPN_MODE_IPSEC);
    if (browser != nullptr) {
        browser->NavigateWithHeaders(address, kPortalRequestHeader);
    }
    window_.SetStatus(texts::kLinkingStatus);
    window_.UpdateData(false);
    m_Settings.m_dwStartTime = platform_.clock.TickCount();
    m_WorkingCopy.WriteStartTime(m_Settings.m_dwStartTime);
    if (host.IsItemEnabled(IDC_BUTTON_DEL)) {
        host.EnableItem(IDC_BUTTON_DEL, false);
    }
    host.SetTimer(IDT_LINK_CHECK, kLinkCheckPeriodMs);
}

// The user's Delete VPN also ends a login still under way: no tunnel may follow it.
void ConnectionSequencer::OnDeleteVpn() {
    window_.Host().KillTimer(IDT_SETTING_WAIT);
    m_bLoginOpen = false;
    DeleteVpn();
}

void ConnectionSequencer::DeleteVpn() {
    platform::DialogHost& host = window_.Host();

    platform_.trace.Output("OnButtonDel()\n");
    m_bDeleting = true;
    if (m_nConnectState < CS_EXITING) {
        m_nConnectState = CS_DELETING;
    }
    const bool exiting = m_nConnectState == CS_EXITING;

    m_WorkingCopy.MarkTunnelRemoved();
    host.EnableItem(IDC_BUTTON_DEL, false);
    host.KillTimer(IDT_LINK_CHECK);

    if (!exiting) {
        WriteMessagePage(platform_.files, platform_.trace, m_szMsgPagePath, "");
        window_.UpdateData(true);
        window_.SetStatus(texts::kDeletingStatus);
        window_.UpdateData(false);
        host.EnableItem(IDC_EXPLORER, true);
        platform_.clock.Sleep(kBrowserSettleMs);
        if (platform::Browser* browser = window_.Browser()) {
            browser->Navigate(m_szMsgPagePath);
        }
    }

    RemoveTunnel();
    m_bAwaitingBuild = false;
    window_.ShowTray(false, texts::kDeletedTip);

    if (!exiting) {
        window_.SetStatus(texts::kDeletedStatus);
        window_.UpdateData(false);
        host.EnableItem(IDC_BUTTON_CONNECT, true);
        m_SessionClock.m_bSessionClock = false;
    }

    m_WorkingCopy.ShowAppletTitle(true);
    m_nConnectState = CS_IDLE;
    m_bDeleting = false;
}

// A frame's completion counts by the top-level address, which the event's own argument is
// not.
void ConnectionSequencer::OnDocumentComplete() {
    platform::Browser* browser = window_.Browser();
    const std::string location = browser != nullptr ? browser->LocationURL() : std::string();
    platform_.trace.Output(Format("***OnDocumentCompleteExplorer*** %s\n", location.c_str()));
    if (location.find(kLoginPageName) == std::string::npos) {
        return;
    }
    if (m_nConnectState == CS_SETTING || m_bDeleting || !m_bLoginOpen) {
        return;
    }
    window_.Host().SetTimer(IDT_SETTING_WAIT, kSettingWaitPeriodMs);
    m_nSettingWait = 0;
}

}  // namespace kestrun
