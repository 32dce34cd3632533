// The main window's set-up: its icons and bold status font and the tray icon around the
// connection's own set-up steps.
#include "app/main_dialog.h"

#include "app/main_window_look.h"
#include "app/messages.h"
#include "app/window_texts.h"

namespace kestrun {
namespace {

constexpr const char* kLinkIconFile = "res\\icon_link.ico";
constexpr const char* kNoLinkIconFile = "res\\icon_NoLink.ico";

}  // namespace

bool CKestrunDlg::OnInitDialog() {
    // The browser control is made when first needed (Browser()), not here.
    DialogBase::OnInitDialog();
    Host().SetIcon(m_hIcon, true);
    Host().SetIcon(m_hIcon, false);
    m_nSelIndex = 0;
    m_Sequencer.BeginSetUp();
    UseBoldStatusFont();
    if (!AddTrayIcon()) {
        return false;
    }
    m_Sequencer.CheckEnvironment();
    m_Sequencer.FinishSetUp();
    return true;
}

void CKestrunDlg::UseBoldStatusFont() {
    m_pFont = Host().Font();
    if (m_pFont == 0) {
        return;
    }
    // The status control selects its own font after asking for its colours on some systems,
    // so it is given the bold font too, besides the one the colour step selects.
    const platform::GdiRef bold = services_.painting.BoldFont(
        m_pFont, BoldFontHeight(services_.painting.FontHeight(m_pFont)));
    if (bold != 0) {
        Host().SetItemFont(IDC_STATIC_STATUS, bold);
    }
}

// Loads the two tray icons and puts the icon into the notification area. Without it the
// window, which stays hidden, could never be reached, so set-up stops there.
bool CKestrunDlg::AddTrayIcon() {
    m_hIconLink = services_.icons.IconFromFile(kLinkIconFile);
    m_hIconNoLink = services_.icons.IconFromFile(kNoLinkIconFile);
    if (!m_TrayIcon.AddIcon(WM_TRAYICON_NOTIFY, texts::kTrayTip, m_hIconNoLink, IDR_TRAY_MENU)) {
        return false;
    }
    m_TrayIcon.ChangeIcon(m_hIconNoLink, texts::kTrayTip);
    return true;
}

}  // namespace kestrun
