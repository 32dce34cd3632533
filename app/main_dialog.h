// The main window: the login-address box, the embedded browser, the Connect, Delete VPN and
// Hide buttons and the status line. It owns the tray icon and all per-connection state,
// stays invisible until an outside program sends the show command, and at its set-up
// checks the PC's network and applies a login made in an outside browser.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/machine_facts.h"
#include "netprobe/adapters.h"
#include "netprobe/liveness.h"
#include "platform/dialog_host.h"
#include "platform/icons.h"
#include "platform/painting.h"
#include "platform/platform.h"
#include "platform/shell.h"
#include "settings/address_history.h"
#include "settings/tunnel_settings.h"
#include "status/system_tray.h"
#include "tunnel/session_clock.h"
#include "ui/dialog_base.h"
#include "ui/message_table.h"

namespace kestrun {

// Connection state of the main window.
constexpr int CS_IDLE = 0;      // no user action in progress
constexpr int CS_LINKING = 1;   // the portal's login is under way
constexpr int CS_SETTING = 2;   // waiting for the portal's settings
constexpr int CS_DELETING = 3;  // the tunnel is being removed
constexpr int CS_EXITING = 4;   // the program is ending

// The platform pieces the main window works with besides the Platform bundle.
struct MainDialogServices {
    platform::Platform& platform;
    platform::Shell& shell;
    platform::Painting& painting;
    platform::DialogFactory& dialogs;
    platform::Icons& icons;
};

// What the main window shares with the rest of the process.
struct MainDialogShared {
    const MachineFacts& machine;
    // Written by the echo workers, which may outlive a tick.
    Liveness& liveness;
    // The warm brush behind static texts and buttons; lives as long as the process.
    platform::GdiRef background;
};

// The reachability worker last started by the link check; only recorded, never waited on.
// 0: none.
using EchoThreadRef = std::uintptr_t;

class CKestrunDlg : private OwnedDialogHost, public DialogBase {
  public:
    // Loads the window icon; vpnMode is the tunnel kind start-up read. The window itself is
    // made by Create.
    CKestrunDlg(MainDialogServices services, MainDialogShared shared, int vpnMode,
                std::unique_ptr<platform::DialogHost> host);
    ~CKestrunDlg() override = default;

    // Creates the window, modeless, from template 102 with no parent; its set-up has run
    // when this returns. False when the window cannot be created.
    bool Create();

    int m_nConnectState = CS_IDLE;
    int m_nLinkCount = 0;    // failed polls counted by the link check
    int m_nSettingWait = 0;  // ticks counted by the settings wait; -1 after it gave up
    EchoThreadRef m_pEchoThread = 0;
    platform::GdiRef m_hIconLink = 0;    // tray icon while the tunnel answers
    platform::GdiRef m_hIconNoLink = 0;  // tray icon otherwise
    CSystemTray m_TrayIcon;
    // The tunnel parameters and mode, and m_dwStartTime: the tick at which the connection
    // began.
    TunnelSettings m_Settings;
    // What the last adapter inspection found.
    AdapterFacts m_Adapters;
    // The clock of the Connectivity Info window.
    SessionClock m_SessionClock;
    int m_nSelIndex = 0;      // login address to select in the address box
    std::string m_strStatus;  // the status line, control 1004
    platform::GdiRef m_hIcon = 0;
    platform::GdiRef m_pFont = 0;  // the dialog's font, basis of the bold status font
    std::string m_szMsgPagePath;   // the program directory followed by "\\msg.html"
    std::string m_szCurrentDir;    // the program directory at set-up
    int m_bDeleting = 0;
    int m_bConnectNotified = 0;
    std::uint8_t m_bShowAllowed = 0;  // the window may become visible

  protected:
    std::optional<MsgResult> DispatchOwn(const Msg& msg) override;
    void DoDataExchange(DataExchange& dx) override;

  private:
    // Set-up, in main_dialog_setup.cpp.
    bool OnInitDialog();
    bool AddTrayIcon();
    void CheckEnvironment();
    void ApplyOutsideLogin();

    // Presentation.
    MsgResult OnPaint(const Msg& msg);
    MsgResult OnCtlColor(const Msg& msg);
    MsgResult OnQueryDragIcon(const Msg& msg);

    // Visibility.
    void OnShowMain();
    MsgResult OnWindowPosChanging(const Msg& msg);
    void OnButtonHide();
    MsgResult OnSysCommand(const Msg& msg);

    // Tray menu.
    void OnMenuitemAbout();

    // Delete VPN, Disconnect & Exit and the end of the program, in main_dialog_exit.cpp.
    void OnButtonDel();
    void OnMenuitemExit();
    MsgResult OnKestrunExit(const Msg& msg);
    MsgResult OnWmDestroy(const Msg& msg);
    // The program's end: tray icon, running echo, tunnel, then the window. Runs once, from
    // Disconnect & Exit or from the window's destruction, whichever comes first.
    void OnDestroy();
    void RemoveTunnel();
    void ShowMessagePageInBrowser();

    static const MessageTable<CKestrunDlg>& Table();

    MainDialogServices services_;
    MainDialogShared shared_;
    // The address box is filled from the file once it exists; until then the history is
    // left as the file holds it.
    AddressHistoryNotYetBuilt m_AddressHistory;
    bool m_bEndRun = false;       // OnDestroy has run
    bool m_bWindowGoing = false;  // the window's destruction is under way
};

}  // namespace kestrun
