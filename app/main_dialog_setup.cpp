// The main window's set-up: icons and tray icon, the checks of the IPsec service and the
// network, the settings, a tunnel for a login made in an outside browser, and the start
// of the profile watch.
#include "app/main_dialog.h"

#include "app/main_window_look.h"
#include "app/messages.h"
#include "app/window_texts.h"
#include "netprobe/adapter_icon.h"
#include "platform/format.h"
#include "platform/ui.h"
#include "portal/navigation_rule.h"
#include "settings/decimal.h"
#include "settings/setting_file.h"
#include "settings/setting_keys.h"
#include "settings/working_copy.h"
#include "tunnel/ipsec_service.h"
#include "tunnel/runner.h"
#include "tunnel/teardown.h"
#include "tunnel/tunnel_scripts.h"

namespace kestrun {
namespace {

using namespace settings;

constexpr const char* kLinkIconFile = "res\\icon_link.ico";
constexpr const char* kNoLinkIconFile = "res\\icon_NoLink.ico";
constexpr const char* kMsgPageName = "\\msg.html";
constexpr const char* kRefreshScript = ".\\Refresh.bat";
using namespace texts;

// Set-up reads its flags into 260-byte buffers.
constexpr std::size_t kFlagBuffer = 260;

}  // namespace

bool CKestrunDlg::OnInitDialog() {
    platform::Platform& platform = services_.platform;
    platform::Profile& profile = platform.profile;

    // The framework's set-up binds the browser control to its place before anything else.
    m_Browser =
        services_.browsers.Attach(Host().Handle(), IDC_EXPLORER, *this, AllowsTopLevelNavigation);
    DialogBase::OnInitDialog();
    Host().SetIcon(m_hIcon, true);
    Host().SetIcon(m_hIcon, false);

    m_Sequencer.m_pEchoThread = 0;
    m_nSelIndex = 0;
    m_Sequencer.m_nLinkCount = 0;
    m_Sequencer.m_nSettingWait = 0;
    m_Sequencer.m_nConnectState = CS_IDLE;
    m_Sequencer.m_bDeleting = false;
    m_Sequencer.m_bConnectNotified = false;

    m_szCurrentDir = platform.system.CurrentDirectory();
    m_szMsgPagePath = m_szCurrentDir + kMsgPageName;
    platform.trace.Output(Format("CurrentPath=%s, StartTime=%d\n", m_szMsgPagePath.c_str(),
                                 static_cast<std::int32_t>(m_Settings.m_dwStartTime)));

    m_pFont = Host().Font();
    if (m_pFont != 0) {
        // The status control selects its own font after asking for its colours on some
        // systems, so it is given the bold font too, besides the one the colour step selects.
        const platform::GdiRef bold = services_.painting.BoldFont(
            m_pFont, BoldFontHeight(services_.painting.FontHeight(m_pFont)));
        if (bold != 0) {
            Host().SetItemFont(IDC_STATIC_STATUS, bold);
        }
    }
    m_Adapters.m_pAdapterInfo.clear();

    if (!AddTrayIcon()) {
        return false;
    }
    CheckEnvironment();

    WriteValue(profile, kKeyShowAppletTitle, kFalse);
    const std::string callByIe = ReadValue(profile, kKeyCallByIe, kTrue, kFlagBuffer);
    platform.trace.Output(Format("CallByIE=[%s]\n", callByIe.c_str()));
    if (callByIe == kTrue) {
        m_Sequencer.BuildAtSetUp();
    }

    m_Settings.m_dwStartTime = ReadNumber(profile, kKeyStartTime, 0);
    if (m_Settings.m_dwStartTime == 0) {
        m_Settings.m_dwStartTime = platform.clock.TickCount();
    }
    // Delete VPN is offered only when the file says a tunnel was built and not removed.
    if (ReadValue(profile, kKeyRemoveIpsec, kTrue, kFlagBuffer) == kTrue) {
        Host().EnableItem(IDC_BUTTON_DEL, false);
    }
    // Without a profile directory the copy would be looked for in the drive's root, which
    // every user can write.
    if (!shared_.machine.m_szProfileDir.empty()) {
        Host().SetTimer(IDT_CALLBYIE_WATCH, kProfileWatchPeriodMs);
    }
    return true;
}

// Loads the two tray icons and puts the icon into the notification area. Without it the
// window, which stays hidden, could never be reached, so set-up stops there.
bool CKestrunDlg::AddTrayIcon() {
    m_hIconLink = services_.icons.IconFromFile(kLinkIconFile);
    m_hIconNoLink = services_.icons.IconFromFile(kNoLinkIconFile);
    if (!m_TrayIcon.AddIcon(WM_TRAYICON_NOTIFY, kTrayTip, m_hIconNoLink, IDR_TRAY_MENU)) {
        return false;
    }
    m_TrayIcon.ChangeIcon(m_hIconNoLink, kTrayTip);
    return true;
}

// The IPsec service, the settings, the adapters and the supplied refresh script; every
// problem found is shown, and set-up goes on after the box is closed.
void CKestrunDlg::CheckEnvironment() {
    platform::Platform& platform = services_.platform;
    const int osType = shared_.machine.m_nOSType;
    SetOakleyLogging(platform, 1);
    if (CheckIPsecService(platform, osType) == 0) {
        Host().MessageBox(kServiceInactiveText, kWarningCaption, platform::kMbIconExclamation);
    }
    ParseSetting(platform.profile, m_Settings, m_AddressHistory);
    if (InspectAdapters(platform, osType, m_Settings.m_nInterface, m_Adapters) == 0) {
        Host().MessageBox(kNoGatewayText, kWarningCaption,
                          platform::kMbIconExclamation | platform::kMbTopmost);
    }
    SetAdapterIcon(platform, osType, m_Adapters.m_strVPNClientAdapterName, 0);
    RunCommand(platform, kRefreshScript);
    if (NetworkFailed(m_Adapters)) {
        Host().MessageBox(kNetworkFailedText, kWarningCaption,
                          platform::kMbIconExclamation | platform::kMbTopmost);
    }
}

}  // namespace kestrun
