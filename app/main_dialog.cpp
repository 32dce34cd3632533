#include "app/main_dialog.h"

#include <utility>

#include "app/main_window_paint.h"
#include "app/messages.h"
#include "platform/format.h"
#include "portal/navigation_rule.h"
#include "status/about_dialog.h"
#include "status/diagnosis_dialog.h"
#include "status/info_dialog.h"

namespace kestrun {

CKestrunDlg::CKestrunDlg(MainDialogServices services, MainDialogShared shared, int vpnMode,
                         std::unique_ptr<platform::DialogHost> host)
    : OwnedDialogHost(std::move(host)),
      DialogBase(*ownedHost),
      services_(services),
      shared_(shared),
      m_TrayIcon(services.shell, [this] { return DialogBase::Host().Handle(); }),
      m_cbURL(*ownedHost, IDC_COMBO_URL),
      m_HistoryFile(services.platform.profile, kWorkingCopyPath),
      m_AddressHistory(m_HistoryFile, services.platform.trace, m_cbURL, m_nSelIndex),
      m_Sequencer(services.platform, shared.machine, shared.liveness, m_Adapters, m_AddressHistory,
                  *this, vpnMode) {
    m_hIcon = services_.icons.ProgramIcon(IDI_KESTRUN);
}

// The browser control goes before the window it lives in.
CKestrunDlg::~CKestrunDlg() {
    m_Browser.reset();
}

bool CKestrunDlg::Create() {
    return DialogBase::Host().CreateModeless(IDD_KESTRUN_DIALOG, 0, *this);
}

const MessageTable<CKestrunDlg>& CKestrunDlg::Table() {
    static const MessageTable<CKestrunDlg> table =
        MessageTable<CKestrunDlg>()
            .InitDialog(&CKestrunDlg::OnInitDialog)
            .Message(platform::kWmPaint, &CKestrunDlg::OnPaint)
            .Message(platform::kWmQueryDragIcon, &CKestrunDlg::OnQueryDragIcon)
            .MessageRange(platform::kWmCtlColorMsgBox, platform::kWmCtlColorStatic,
                          &CKestrunDlg::OnCtlColor)
            .Timer(&CKestrunDlg::OnTimer)
            .Command(ID_SHOW_MAIN, &CKestrunDlg::OnShowMain)
            .Message(platform::kWmWindowPosChanging, &CKestrunDlg::OnWindowPosChanging)
            .Command(IDC_BUTTON_CONNECT, &CKestrunDlg::OnButtonConnect)
            .Command(IDC_BUTTON_DEL, &CKestrunDlg::OnButtonDel)
            .Command(IDC_BUTTON_HIDE, &CKestrunDlg::OnButtonHide)
            .Notify(IDC_COMBO_URL, platform::kCbnSelChange, &CKestrunDlg::OnAddressChanged)
            .Notify(IDC_COMBO_URL, platform::kCbnEditChange, &CKestrunDlg::OnAddressChanged)
            .Message(WM_KESTRUN_EXIT, &CKestrunDlg::OnKestrunExit)
            .Command(ID_MENUITEM_EXIT, &CKestrunDlg::OnMenuitemExit)
            .Command(ID_MENUITEM_INFO, &CKestrunDlg::OnMenuitemInfo)
            .Command(ID_MENUITEM_ABOUT, &CKestrunDlg::OnMenuitemAbout)
            .Command(ID_MENUITEM_DIAGNOSIS, &CKestrunDlg::OnMenuitemDiagnosis)
            .Message(platform::kWmDestroy, &CKestrunDlg::OnWmDestroy)
            .Message(platform::kWmSysCommand, &CKestrunDlg::OnSysCommand)
            .Event(platform::kDispDocumentComplete, &CKestrunDlg::OnDocumentCompleteExplorer)
            .Event(platform::kDispWindowClosing, &CKestrunDlg::OnWindowClosingExplorer)
            .Event(platform::kDispDownloadComplete, &CKestrunDlg::OnDownloadCompleteExplorer);
    return table;
}

std::optional<MsgResult> CKestrunDlg::DispatchOwn(const Msg& msg) {
    return Table().Dispatch(*this, msg);
}

void CKestrunDlg::DoDataExchange(DataExchange& dx) {
    dx.Text(IDC_STATIC_STATUS, m_strStatus);
}

MsgResult CKestrunDlg::OnPaint(const Msg&) {
    PaintMainWindow(services_.painting, Host().Handle(), m_hIcon);
    return platform::Handled(0);
}

MsgResult CKestrunDlg::OnCtlColor(const Msg& msg) {
    return MainWindowCtlColor(services_.painting, Host(), msg, m_pFont, shared_.background);
}

// The message table takes handlers that may change the window, const or not.
// NOLINTNEXTLINE(readability-make-member-function-const)
MsgResult CKestrunDlg::OnQueryDragIcon(const Msg&) {
    return platform::Handled(static_cast<std::intptr_t>(m_hIcon));
}

// The show command comes only from outside the program; it opens the visibility gate for
// good. The browser is in its place before the window first appears.
void CKestrunDlg::OnShowMain() {
    m_bShowAllowed = true;
    Browser();
    Host().ShowWindow(platform::kSwShow);
}

// One attempt only, as set-up made it: a control that cannot be made stays absent.
platform::Browser* CKestrunDlg::Browser() {
    if (!m_bBrowserTried) {
        m_bBrowserTried = true;
        m_Browser = services_.browsers.Attach(Host().Handle(), IDC_EXPLORER, *this,
                                              AllowsTopLevelNavigation);
    }
    return m_Browser.get();
}

// The template asks for a visible window; until the show command has arrived once, no
// position change may make it so.
MsgResult CKestrunDlg::OnWindowPosChanging(const Msg& msg) {
    if (!m_bShowAllowed) {
        Host().SuppressShowInWindowPos(msg.lParam);
    }
    return platform::NotHandled();
}

void CKestrunDlg::OnButtonHide() {
    Host().ShowWindow(platform::kSwHide);
}

// A system close command hides the window; the program ends only by Disconnect & Exit.
MsgResult CKestrunDlg::OnSysCommand(const Msg& msg) {
    if (msg.wParam != platform::kScClose) {
        return platform::NotHandled();
    }
    services_.platform.trace.Output("SC_CLOSE");
    Host().ShowWindow(platform::kSwHide);
    return platform::Handled(0);
}

void CKestrunDlg::OnTimer(std::uint32_t timerId) {
    m_Sequencer.OnTimer(timerId);
}

void CKestrunDlg::OnButtonConnect() {
    m_Sequencer.OnConnect();
}

void CKestrunDlg::OnButtonDel() {
    m_Sequencer.OnDeleteVpn();
}

// Another address may be tried after a refused one.
void CKestrunDlg::OnAddressChanged() {
    Host().EnableItem(IDC_BUTTON_CONNECT, true);
}

void CKestrunDlg::ShowTray(bool linked, const std::string& tip) {
    m_TrayIcon.ChangeIcon(linked ? m_hIconLink : m_hIconNoLink, tip);
}

void CKestrunDlg::OnBrowserEvent(int dispId, const std::string& /*url*/) {
    Table().DispatchEvent(*this, dispId);
}

void CKestrunDlg::OnDocumentCompleteExplorer() {
    m_Sequencer.OnDocumentComplete();
}

// The portal page asked to close its window: the main window hides, the program goes on.
void CKestrunDlg::OnWindowClosingExplorer() {
    services_.platform.trace.Output("OnWindowClosingExplorer!!!");
    Host().Post(platform::kWmClose, 0, 0);
}

void CKestrunDlg::OnDownloadCompleteExplorer() {}

// Connectivity Info. and Diagnosis share one guard: only one of them is open at a time.
void CKestrunDlg::OnMenuitemInfo() {
    if (m_bStatusWndOpen) {
        return;
    }
    m_bStatusWndOpen = true;
    std::unique_ptr<platform::DialogHost> host = services_.dialogs.NewHost();
    CInfoDlg info(
        *host,
        InfoSources{services_.platform.profile, services_.platform.files, services_.platform.clock,
                    services_.platform.runner, services_.platform.net, services_.platform.trace},
        InfoState{shared_.machine.m_nOSType, shared_.liveness, m_Sequencer, m_Adapters},
        m_bStatusWndOpen);
    info.DoModal(0);
}

void CKestrunDlg::OnMenuitemDiagnosis() {
    if (m_bStatusWndOpen) {
        return;
    }
    m_bStatusWndOpen = true;
    std::unique_ptr<platform::DialogHost> host = services_.dialogs.NewHost();
    CDiagnosisDlg diagnosis(
        *host,
        DiagnosisTools{services_.platform.clock, services_.platform.ui, services_.platform.runner,
                       services_.platform.services, services_.platform.net,
                       services_.platform.trace},
        services_.lists,
        DiagnosisState{shared_.machine.m_nOSType, shared_.liveness, m_Sequencer, m_Adapters},
        m_bStatusWndOpen);
    diagnosis.DoModal(0);
}

// No open-window guard: each command opens a further About window.
void CKestrunDlg::OnMenuitemAbout() {
    std::unique_ptr<platform::DialogHost> host = services_.dialogs.NewHost();
    CAboutDlg about(*host);
    about.DoModal(Host().Handle());
}

void CKestrunDlg::OnMenuitemExit() {
    m_Sequencer.OnExitRequest();
}

MsgResult CKestrunDlg::OnKestrunExit(const Msg&) {
    m_Sequencer.OnExitRequest();
    return platform::Handled(0);
}

MsgResult CKestrunDlg::OnWmDestroy(const Msg&) {
    m_Sequencer.EndProgram(true);
    return platform::NotHandled();
}

}  // namespace kestrun
