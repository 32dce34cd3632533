// The connection sequencer: the state of the main window's connection and what its three
// timers, Connect, Delete VPN and the portal's pages do to it. The main window turns its
// messages into calls here and carries out, as the SequencerWindow, what the sequencer
// decides about the window.
#pragma once

#include <cstdint>
#include <string>

#include "app/machine_facts.h"
#include "netprobe/adapters.h"
#include "netprobe/liveness.h"
#include "platform/browser.h"
#include "platform/dialog_host.h"
#include "platform/platform.h"
#include "settings/address_history.h"
#include "settings/tunnel_settings.h"
#include "tunnel/session_clock.h"

namespace kestrun {

// Connection state of the main window.
constexpr int CS_IDLE = 0;      // no user action in progress
constexpr int CS_LINKING = 1;   // the portal's login is under way
constexpr int CS_SETTING = 2;   // waiting for the portal's settings
constexpr int CS_DELETING = 3;  // the tunnel is being removed
constexpr int CS_EXITING = 4;   // the program is ending

// Main window timers.
constexpr std::uint32_t IDT_LINK_CHECK = 1;      // one echo every 3 s
constexpr std::uint32_t IDT_SETTING_WAIT = 2;    // the portal's settings, every second
constexpr std::uint32_t IDT_CALLBYIE_WATCH = 3;  // a login made in an outside browser
constexpr std::uint32_t kLinkCheckPeriodMs = 3000;
constexpr std::uint32_t kSettingWaitPeriodMs = 1000;
constexpr std::uint32_t kProfileWatchPeriodMs = 1000;

// The reachability worker last started by the link check (its thread id); only recorded,
// never waited on. 0: none.
using EchoThreadRef = std::uint32_t;

// What the sequencer does to the main window.
class SequencerWindow {
  public:
    virtual ~SequencerWindow() = default;
    // The window's data exchange: true copies the status line into the status text, false
    // shows the status text.
    virtual void UpdateData(bool saveAndValidate) = 0;
    virtual void SetStatus(const std::string& text) = 0;
    // The tray icon: the connected look or the other, with its tip.
    virtual void ShowTray(bool linked, const std::string& tip) = 0;
    // The embedded browser; nullptr when the control could not be made.
    virtual platform::Browser* Browser() = 0;
    // Timers, buttons, message boxes and messages to the window itself.
    virtual platform::DialogHost& Host() = 0;
};

// The state the sequencer works on, owned by the main window and the application.
struct SequencerState {
    const MachineFacts& machine;
    Liveness& liveness;
    TunnelSettings& settings;
    AdapterFacts& adapters;
    SessionClock& clock;
    LoginHistory& history;
    // The program directory at set-up, and the message page beside it.
    const std::string& currentDir;
    const std::string& msgPagePath;
};

class ConnectionSequencer {
  public:
    ConnectionSequencer(platform::Platform& platform, SequencerState state, SequencerWindow& window)
        : platform_(platform), state_(state), window_(window) {}

    // A tick of any of the main window's timers.
    void OnTimer(std::uint32_t timerId);
    // A login made in an outside browser, found by the window's set-up: the tunnel of the
    // mode it names is built at once.
    void BuildAtSetUp();
    // Connect: a login at the address in the address box.
    void OnButtonConnect();
    // Delete VPN; also the last step of the program's end, where it leaves the window alone.
    void OnButtonDel();
    // A document (or a frame of one) completed in the embedded browser.
    void OnDocumentComplete();

    int m_nConnectState = CS_IDLE;
    int m_nLinkCount = 0;    // failed polls counted by the link check
    int m_nSettingWait = 0;  // ticks counted by the settings wait; -1 after it gave up
    EchoThreadRef m_pEchoThread = 0;
    bool m_bDeleting = false;         // Delete VPN is running
    bool m_bConnectNotified = false;  // the success box has been shown for this connection

  private:
    void OnLinkCheck();
    void OnSettingWait();
    void OnProfileWatch();
    void StartEcho();
    void SwitchToOpenVpn();
    void RemoveTunnelOfMode();
    void WriteScripts();
    void ShowNoLink();

    platform::Platform& platform_;
    SequencerState state_;
    SequencerWindow& window_;
};

}  // namespace kestrun
