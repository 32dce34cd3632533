// What the user's commands and the portal's pages do to the connection: the build at
// set-up, Connect, Delete VPN and a completed login page.
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
#include "settings/decimal.h"
#include "settings/setting_file.h"
#include "settings/setting_keys.h"
#include "settings/working_copy.h"
#include "tunnel/runner.h"
#include "tunnel/teardown.h"
#include "tunnel/tunnel_scripts.h"

namespace kestrun {
namespace {

using namespace settings;

// Set-up reads its flags and the mode into 260-byte buffers.
constexpr std::size_t kSetUpFlagBuffer = 260;
constexpr int kOpenVpnFirstLinkCount = 21;
constexpr std::uint32_t kBrowserSettleMs = 500;
constexpr std::uint32_t kMessagePageMs = 1000;
constexpr const char* kLoginPageName = "auth.asp";

}  // namespace

// In OpenVPN mode the link check starts near its limit, so it gives up after 20 polls.
void ConnectionSequencer::BuildAtSetUp() {
    platform::Profile& profile = platform_.profile;
    TunnelSettings& settings = state_.settings;
    platform::DialogHost& host = window_.Host();

    settings.m_nVPNMode =
        ParseDecimal(ReadValue(profile, kKeyVpnMode, kDefaultVpnMode, kSetUpFlagBuffer));
    host.EnableItem(IDC_BUTTON_CONNECT, false);
    window_.UpdateData(true);
    DelRouteTable(platform_);
    SaveSetting(profile, settings, state_.history);
    WriteScripts();
    if (settings.m_nVPNMode == VPN_MODE_OPENVPN) {
        RunDetached(platform_, kOpenVpnScriptName);
        m_nLinkCount = kOpenVpnFirstLinkCount;
        WriteValue(profile, kKeyVpnMode, "2");
    } else {
        RunCommand(platform_, kIPsecScriptName);
        WriteValue(profile, kKeyVpnMode, "1");
    }
    window_.SetStatus(texts::kLoginSuccessful);
    WriteValue(profile, kKeyRemoveIpsec, kFalse);
    WriteValue(profile, kKeyCallByIe, kFalse);
    window_.UpdateData(false);
    host.SetTimer(IDT_LINK_CHECK, kLinkCheckPeriodMs);
}

// The tunnel of the current mode: the IPsec policy and routes, or the OpenVPN program.
void ConnectionSequencer::RemoveTunnelOfMode() {
    if (state_.settings.m_nVPNMode == VPN_MODE_IPSEC) {
        Clear_IPsec(platform_, state_.machine.m_nOSType, state_.settings.m_strModelName);
    } else if (state_.settings.m_nVPNMode == VPN_MODE_OPENVPN) {
        CloseWindowByTitle(platform_, kOpenVpnWindowText);
    }
    state_.liveness.m_bLANConnected = 0;
}

void ConnectionSequencer::OnButtonConnect() {
    platform::Profile& profile = platform_.profile;
    platform::DialogHost& host = window_.Host();
    platform::Browser* browser = window_.Browser();

    WriteValue(profile, kKeyCallByIe, kFalse);
    host.EnableItem(IDC_BUTTON_CONNECT, false);
    m_nConnectState = CS_LINKING;
    RemoveTunnelOfMode();
    host.KillTimer(IDT_LINK_CHECK);
    window_.ShowTray(false,
                     Format(texts::kNotConnectedTip, state_.settings.m_strNetworkIP.c_str()));

    // The blank page clears the portal from view before the new login.
    window_.UpdateData(true);
    host.EnableItem(IDC_EXPLORER, true);
    platform_.clock.Sleep(kMessagePageMs);
    if (browser != nullptr) {
        browser->Navigate(state_.msgPagePath);
    }
    host.ShowItem(IDC_EXPLORER, platform::kSwShow);

    const std::string address = host.GetItemText(IDC_COMBO_URL);
    if (IsRefusedPortalAddress(address)) {
        host.MessageBox(texts::kInvalidUrlText, texts::kWarningCaption, platform::kMbIconHand);
        host.EnableItem(IDC_BUTTON_CONNECT, true);
        return;
    }
    WriteValue(profile, kKeyShowAppletTitle, kFalse);
    platform_.trace.Output(address);
    if (InspectAdapters(platform_, state_.machine.m_nOSType, state_.settings.m_nInterface,
                        state_.adapters) == 0) {
        host.MessageBox(texts::kConnectNoGatewayText, texts::kWarningCaption,
                        platform::kMbIconExclamation | platform::kMbTopmost);
        host.EnableItem(IDC_BUTTON_CONNECT, true);
        return;
    }
    if (NetworkFailed(state_.adapters)) {
        host.MessageBox(texts::kConnectNetworkFailedText, texts::kWarningCaption,
                        platform::kMbIconExclamation | platform::kMbTopmost);
        host.EnableItem(IDC_BUTTON_CONNECT, true);
        return;
    }

    state_.liveness.m_bLANConnected = 0;
    m_nLinkCount = 0;
    m_nSettingWait = 0;
    state_.settings.m_nVPNMode = VPN_MODE_IPSEC;
    WriteValue(profile, kKeyVpnMode, "1");
    WriteValue(profile, kKeyRemoveIpsec, kFalse);
    if (browser != nullptr) {
        browser->NavigateWithHeaders(address, kPortalRequestHeader);
    }
    window_.SetStatus(texts::kLinkingStatus);
    window_.UpdateData(false);
    state_.settings.m_dwStartTime = platform_.clock.TickCount();
    WriteValue(
        profile, kKeyStartTime,
        Format("%ld", static_cast<long>(static_cast<std::int32_t>(state_.settings.m_dwStartTime))));
    if (host.IsItemEnabled(IDC_BUTTON_DEL)) {
        host.EnableItem(IDC_BUTTON_DEL, false);
    }
    host.SetTimer(IDT_LINK_CHECK, kLinkCheckPeriodMs);
}

void ConnectionSequencer::OnButtonDel() {
    platform::Profile& profile = platform_.profile;
    platform::DialogHost& host = window_.Host();

    platform_.trace.Output("OnButtonDel()\n");
    m_bDeleting = true;
    if (m_nConnectState < CS_EXITING) {
        m_nConnectState = CS_DELETING;
    }
    const bool exiting = m_nConnectState == CS_EXITING;

    WriteValue(profile, kKeyCallByIe, kFalse);
    WriteValue(profile, kKeyRemoveIpsec, kTrue);
    host.EnableItem(IDC_BUTTON_DEL, false);
    host.KillTimer(IDT_LINK_CHECK);

    if (!exiting) {
        WriteMessagePage(platform_, state_.msgPagePath, "");
        window_.UpdateData(true);
        window_.SetStatus(texts::kDeletingStatus);
        window_.UpdateData(false);
        host.EnableItem(IDC_EXPLORER, true);
        platform_.clock.Sleep(kBrowserSettleMs);
        if (platform::Browser* browser = window_.Browser()) {
            browser->Navigate(state_.msgPagePath);
        }
    }

    RemoveTunnelOfMode();
    window_.ShowTray(false, texts::kDeletedTip);

    if (!exiting) {
        window_.SetStatus(texts::kDeletedStatus);
        window_.UpdateData(false);
        host.EnableItem(IDC_BUTTON_CONNECT, true);
        state_.clock.m_bSessionClock = false;
    }

    WriteValue(profile, kKeyShowAppletTitle, kTrue);
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
    if (m_nConnectState == CS_SETTING || m_bDeleting) {
        return;
    }
    window_.Host().SetTimer(IDT_SETTING_WAIT, kSettingWaitPeriodMs);
    m_nSettingWait = 0;
}

}  // namespace kestrun
