// Delete VPN, Disconnect & Exit, and the orderly end of the program.
#include "app/main_dialog.h"

#include <vector>

#include "app/messages.h"
#include "portal/close_window_by_title.h"
#include "portal/message_page.h"
#include "settings/setting_keys.h"
#include "settings/working_copy.h"
#include "tunnel/teardown.h"

namespace kestrun {
namespace {

using namespace settings;

constexpr const char* kSessionEndedText =
    "VPN session has ended, please close your browser for increased security.";
constexpr const char* kResultCaption = "Varnel Ostrimel";
constexpr const char* kDeletingStatus = "Deleting Connection";
constexpr const char* kDeletedStatus = "Connection Deleted";
constexpr const char* kDeletedTip = "The SSL VPN is deleted!";

constexpr std::uint32_t kBrowserSettleMs = 500;
constexpr std::uint32_t kEchoWaitStepMs = 1000;

}  // namespace

// Delete VPN; also the last step of the program's end, where it leaves the window alone.
void CKestrunDlg::OnButtonDel() {
    platform::Platform& platform = services_.platform;
    platform::Profile& profile = platform.profile;

    platform.trace.Output("OnButtonDel()\n");
    m_bDeleting = 1;
    if (m_nConnectState < CS_EXITING) {
        m_nConnectState = CS_DELETING;
    }
    const bool exiting = m_nConnectState == CS_EXITING;

    WriteValue(profile, kKeyCallByIe, kFalse);
    WriteValue(profile, kKeyRemoveIpsec, kTrue);
    Host().EnableItem(IDC_BUTTON_DEL, false);
    Host().KillTimer(IDT_LINK_CHECK);

    if (!exiting) {
        WriteMessagePage(platform, m_szMsgPagePath, "");
        UpdateData(true);
        m_strStatus = kDeletingStatus;
        UpdateData(false);
        platform.clock.Sleep(kBrowserSettleMs);
        ShowMessagePageInBrowser();
    }

    RemoveTunnel();
    m_TrayIcon.ChangeIcon(m_hIconNoLink, kDeletedTip);

    if (!exiting) {
        m_strStatus = kDeletedStatus;
        UpdateData(false);
        Host().EnableItem(IDC_BUTTON_CONNECT, true);
        m_SessionClock.m_bSessionClock = false;
    }

    WriteValue(profile, kKeyShowAppletTitle, kTrue);
    m_nConnectState = CS_IDLE;
    m_bDeleting = 0;
}

// The tunnel of the current mode: the IPsec policy and routes, or the OpenVPN program.
void CKestrunDlg::RemoveTunnel() {
    if (m_Settings.m_nVPNMode == VPN_MODE_IPSEC) {
        Clear_IPsec(services_.platform, shared_.machine.m_nOSType, m_Settings.m_strModelName);
    } else if (m_Settings.m_nVPNMode == VPN_MODE_OPENVPN) {
        CloseWindowByTitle(services_.platform, kOpenVpnWindowText);
    }
    shared_.liveness.m_bLANConnected = 0;
}

void CKestrunDlg::ShowMessagePageInBrowser() {}

void CKestrunDlg::OnMenuitemExit() {
    services_.platform.trace.Output("CKestrunDlg::OnMenuitemExit()\n");
    m_nConnectState = CS_EXITING;
    WriteValue(services_.platform.profile, kKeyCallByIe, kFalse);
    Host().MessageBox(kSessionEndedText, kResultCaption,
                      platform::kMbIconInformation | platform::kMbTopmost);
    OnDestroy();
}

MsgResult CKestrunDlg::OnKestrunExit(const Msg&) {
    OnMenuitemExit();
    return platform::Handled(0);
}

// A window destroyed by other means than Disconnect & Exit still removes the tunnel;
// after Disconnect & Exit this is the destruction it asked for and does nothing more.
MsgResult CKestrunDlg::OnWmDestroy(const Msg&) {
    m_bWindowGoing = true;
    OnDestroy();
    return platform::NotHandled();
}

void CKestrunDlg::OnDestroy() {
    if (m_bEndRun) {
        return;
    }
    m_bEndRun = true;
    platform::Platform& platform = services_.platform;

    platform.trace.Output("CKestrunDlg::OnDestroy()!!!\n");
    std::vector<platform::AdapterRecord>().swap(m_Adapters.m_pAdapterInfo);
    m_TrayIcon.RemoveIcon();
    // The echo worker writes the liveness flags; the tunnel must outlive its echo.
    while (shared_.liveness.m_bPingIdle == 0) {
        platform.clock.Sleep(kEchoWaitStepMs);
    }
    OnButtonDel();
    platform.trace.Output("Close Window!!!\n");
    // Ends the message loop; the object itself is released after the loop.
    if (!m_bWindowGoing) {
        Host().Destroy();
    }
}

}  // namespace kestrun
