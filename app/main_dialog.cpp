#include "app/main_dialog.h"

#include <utility>

#include "app/main_window_paint.h"
#include "app/messages.h"
#include "settings/setting_keys.h"
#include "status/about_dialog.h"

namespace kestrun {

CKestrunDlg::CKestrunDlg(MainDialogServices services, MainDialogShared shared, int vpnMode,
                         std::unique_ptr<platform::DialogHost> host)
    : OwnedDialogHost(std::move(host)),
      DialogBase(*ownedHost),
      m_TrayIcon(services.shell, [this] { return Host().Handle(); }),
      services_(services),
      shared_(shared) {
    m_Settings.m_nVPNMode = vpnMode;
    m_hIcon = services_.icons.ProgramIcon(IDI_KESTRUN);
}

bool CKestrunDlg::Create() {
    return Host().CreateModeless(IDD_KESTRUN_DIALOG, 0, *this);
}

const MessageTable<CKestrunDlg>& CKestrunDlg::Table() {
    static const MessageTable<CKestrunDlg> table =
        MessageTable<CKestrunDlg>()
            .InitDialog(&CKestrunDlg::OnInitDialog)
            .Message(platform::kWmPaint, &CKestrunDlg::OnPaint)
            .Message(platform::kWmQueryDragIcon, &CKestrunDlg::OnQueryDragIcon)
            .MessageRange(platform::kWmCtlColorMsgBox, platform::kWmCtlColorStatic,
                          &CKestrunDlg::OnCtlColor)
            .Command(ID_SHOW_MAIN, &CKestrunDlg::OnShowMain)
            .Message(platform::kWmWindowPosChanging, &CKestrunDlg::OnWindowPosChanging)
            .Command(IDC_BUTTON_HIDE, &CKestrunDlg::OnButtonHide)
            .Command(IDC_BUTTON_DEL, &CKestrunDlg::OnButtonDel)
            .Message(WM_KESTRUN_EXIT, &CKestrunDlg::OnKestrunExit)
            .Command(ID_MENUITEM_EXIT, &CKestrunDlg::OnMenuitemExit)
            .Message(platform::kWmDestroy, &CKestrunDlg::OnWmDestroy)
            .Command(ID_MENUITEM_ABOUT, &CKestrunDlg::OnMenuitemAbout)
            .Message(platform::kWmSysCommand, &CKestrunDlg::OnSysCommand);
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

MsgResult CKestrunDlg::OnQueryDragIcon(const Msg&) {
    return platform::Handled(static_cast<std::intptr_t>(m_hIcon));
}

// The show command comes only from outside the program; it opens the visibility gate for
// good.
void CKestrunDlg::OnShowMain() {
    m_bShowAllowed = 1;
    Host().ShowWindow(platform::kSwShow);
}

// The template asks for a visible window; until the show command has arrived once, no
// position change may make it so.
MsgResult CKestrunDlg::OnWindowPosChanging(const Msg& msg) {
    if (m_bShowAllowed == 0) {
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

// No open-window guard: each command opens a further About window.
void CKestrunDlg::OnMenuitemAbout() {
    std::unique_ptr<platform::DialogHost> host = services_.dialogs.NewHost();
    CAboutDlg about(*host);
    about.DoModal(Host().Handle());
}

}  // namespace kestrun
