// The main window: the login-address box, the embedded browser, the Connect, Delete VPN and
// Hide buttons and the status line. It owns the tray icon and the connection sequencer,
// which owns the connection; it stays invisible until an outside program sends the show
// command.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/address_box.h"
#include "app/machine_facts.h"
#include "app/sequencer.h"
#include "netprobe/adapters.h"
#include "netprobe/liveness.h"
#include "platform/browser.h"
#include "platform/dialog_host.h"
#include "platform/icons.h"
#include "platform/painting.h"
#include "platform/platform.h"
#include "platform/report_list.h"
#include "platform/shell.h"
#include "settings/address_history.h"
#include "settings/setting_file.h"
#include "status/system_tray.h"
#include "ui/dialog_base.h"
#include "ui/message_table.h"

namespace kestrun {

// The platform pieces the main window works with besides the Platform bundle.
struct MainDialogServices {
    platform::Platform& platform;
    platform::Shell& shell;
    platform::Painting& painting;
    platform::DialogFactory& dialogs;
    platform::Icons& icons;
    platform::BrowserFactory& browsers;
    platform::ReportLists& lists;
};

// What the main window shares with the rest of the process.
struct MainDialogShared {
    const MachineFacts& machine;
    // Written by the echo workers, which may outlive a tick.
    Liveness& liveness;
    // The warm brush behind static texts and buttons; lives as long as the process.
    platform::GdiRef background;
};

class CKestrunDlg : private OwnedDialogHost,
                    public DialogBase,
                    private SequencerWindow,
                    private platform::BrowserEvents {
  public:
    // Loads the window icon; vpnMode is the tunnel kind start-up read. The window itself is
    // made by Create.
    CKestrunDlg(MainDialogServices services, MainDialogShared shared, int vpnMode,
                std::unique_ptr<platform::DialogHost> host);
    ~CKestrunDlg() override;

    // Creates the window, modeless, from template 102 with no parent; its set-up has run
    // when this returns. False when the window cannot be created.
    bool Create();
    // The data exchange of DialogBase, which the sequencer asks for too.
    void UpdateData(bool saveAndValidate) override { DialogBase::UpdateData(saveAndValidate); }
    // The window's host (the sequencer reaches it too).
    platform::DialogHost& Host() override { return DialogBase::Host(); }

    // The connection, for those who read it.
    const ConnectionSequencer& Connection() const { return m_Sequencer; }

  protected:
    std::optional<MsgResult> DispatchOwn(const Msg& msg) override;
    void DoDataExchange(DataExchange& dx) override;

  private:
    // Set-up, in main_dialog_setup.cpp.
    bool OnInitDialog();
    bool AddTrayIcon();
    void UseBoldStatusFont();

    // Presentation.
    MsgResult OnPaint(const Msg& msg);
    MsgResult OnCtlColor(const Msg& msg);
    MsgResult OnQueryDragIcon(const Msg& msg);

    // Visibility.
    void OnShowMain();
    MsgResult OnWindowPosChanging(const Msg& msg);
    void OnButtonHide();
    MsgResult OnSysCommand(const Msg& msg);

    // The connection, handed to the sequencer.
    void OnTimer(std::uint32_t timerId);
    void OnButtonConnect();
    void OnButtonDel();
    void OnAddressChanged();

    // The embedded browser's events.
    void OnBrowserEvent(int dispId, const std::string& url) override;
    void OnDocumentCompleteExplorer();
    void OnWindowClosingExplorer();
    void OnDownloadCompleteExplorer();

    // Tray menu.
    void OnMenuitemInfo();
    void OnMenuitemDiagnosis();
    void OnMenuitemAbout();

    // Disconnect & Exit and the end of the program.
    void OnMenuitemExit();
    MsgResult OnKestrunExit(const Msg& msg);
    MsgResult OnWmDestroy(const Msg& msg);

    // What the sequencer does to this window.
    void SetStatus(const std::string& text) override { m_strStatus = text; }
    void ShowTray(bool linked, const std::string& tip) override;
    void RemoveTray() override { m_TrayIcon.RemoveIcon(); }
    // The browser, made when first needed: a client that stays hidden loads no browser engine.
    platform::Browser* Browser() override;

    static const MessageTable<CKestrunDlg>& Table();

    MainDialogServices services_;
    MainDialogShared shared_;
    platform::GdiRef m_hIconLink = 0;    // tray icon while the tunnel answers
    platform::GdiRef m_hIconNoLink = 0;  // tray icon otherwise
    CSystemTray m_TrayIcon;
    int m_nSelIndex = 0;      // login address to select in the address box
    std::string m_strStatus;  // the status line, control 1004
    platform::GdiRef m_hIcon = 0;
    platform::GdiRef m_pFont = 0;  // the dialog's font, basis of the bold status font
    bool m_bShowAllowed = false;   // the window may become visible
    // Connectivity Info. or Diagnosis is open; only one of the two at a time.
    bool m_bStatusWndOpen = false;
    // What the last adapter inspection found; the status windows refresh it too.
    AdapterFacts m_Adapters;
    // The login-address box, control 1000, and the history it shows.
    ComboAddressBox m_cbURL;
    SettingFile m_HistoryFile;
    LoginHistory m_AddressHistory;
    // The embedded browser, control 1001; empty until first needed, or when the control
    // could not be made.
    std::unique_ptr<platform::Browser> m_Browser;
    bool m_bBrowserTried = false;  // the browser control has been made, or failed to be
    ConnectionSequencer m_Sequencer;
};

}  // namespace kestrun
