// The connection sequencer owns the connection: its state, counters, mode, parameters and
// clock, and how far the program's end has got. The main window turns its messages into the
// intents below and carries out, as the SequencerWindow, what the sequencer decides about
// the window; everyone else reads the connection through the queries.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/machine_facts.h"
#include "netprobe/adapters.h"
#include "netprobe/echo_job.h"
#include "netprobe/liveness.h"
#include "platform/browser.h"
#include "platform/dialog_host.h"
#include "platform/platform.h"
#include "settings/address_history.h"
#include "settings/hand_over.h"
#include "settings/setting_file.h"
#include "settings/tunnel_settings.h"
#include "status/connection_view.h"
#include "tunnel/session_clock.h"

namespace kestrun {

// Connection state of the main window.
enum ConnectState : int {
    CS_IDLE = 0,      // no user action in progress
    CS_LINKING = 1,   // the portal's login is under way
    CS_SETTING = 2,   // waiting for the portal's settings
    CS_DELETING = 3,  // the tunnel is being removed
    CS_EXITING = 4,   // the program is ending
};

// How far the program's end has got; it only moves forward.
enum class ProgramEnd {
    kRunning,
    kExitAsked,  // Disconnect & Exit has begun: its box is open
    kTornDown,   // the tray icon, the echo and the tunnel are gone
};

// Main window timers.
constexpr std::uint32_t IDT_LINK_CHECK = 1;      // one echo every 3 s
constexpr std::uint32_t IDT_SETTING_WAIT = 2;    // the portal's settings, every second
constexpr std::uint32_t IDT_CALLBYIE_WATCH = 3;  // a login made in an outside browser
constexpr std::uint32_t kLinkCheckPeriodMs = 3000;
constexpr std::uint32_t kSettingWaitPeriodMs = 1000;
constexpr std::uint32_t kProfileWatchPeriodMs = 1000;

// The tunnel a hand-over's "VPN Mode" builds: OpenVPN for 2, IPsec for any other value.
constexpr int TunnelToBuild(int fileMode) {
    return fileMode == VPN_MODE_OPENVPN ? VPN_MODE_OPENVPN : VPN_MODE_IPSEC;
}

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
    // The program ends: the icon leaves the notification area.
    virtual void RemoveTray() = 0;
    // The embedded browser; nullptr when the control could not be made.
    virtual platform::Browser* Browser() = 0;
    // Timers, buttons, message boxes and messages to the window itself.
    virtual platform::DialogHost& Host() = 0;
};

class ConnectionSequencer : public ConnectionView {
  public:
    // vpnMode is the tunnel kind start-up read; adapters are the probes' findings, which the
    // status windows refresh too; history is the window's address box.
    ConnectionSequencer(platform::Platform& platform, const MachineFacts& machine,
                        Liveness& liveness, AdapterFacts& adapters, LoginHistory& history,
                        SequencerWindow& window, int vpnMode);

    // The window's set-up, in three steps around its own: the counters and the program
    // directory first, then the checks of the PC and the settings, then a login an outside
    // browser left and the start of the profile watch.
    void BeginSetUp();
    void CheckEnvironment();
    void FinishSetUp();

    // A tick of any of the main window's timers.
    void OnTimer(std::uint32_t timerId);
    // Connect: a login at the address in the address box.
    void OnConnect();
    // Delete VPN pressed by the user.
    void OnDeleteVpn();
    // A document (or a frame of one) completed in the embedded browser.
    void OnDocumentComplete();
    // Disconnect & Exit, from the tray menu, "-r" or the link check's give-up: the user is
    // told, then the program ends. Runs once.
    void OnExitRequest();
    // The program's end: tray icon, running echo, tunnel, then (unless it is already
    // going) the window. Runs once, from Disconnect & Exit or the window's destruction.
    void EndProgram(bool windowGoing);

    // Queries.
    ConnectState State() const { return m_nConnectState; }
    ProgramEnd End() const { return m_End; }
    const TunnelSettings& Settings() const { return m_Settings; }
    // The program directory at set-up, and the message page beside it.
    const std::string& CurrentDir() const { return m_szCurrentDir; }
    const std::string& MsgPagePath() const { return m_szMsgPagePath; }

    // ConnectionView.
    int VpnMode() const override { return m_nVPNMode; }
    void SettleModeAsOpenVpn() override { m_nVPNMode = VPN_MODE_OPENVPN; }
    const SessionClock& ConnectionClock() const override { return m_SessionClock; }

  private:
    void BuildAtSetUp();
    void OnLinkCheck();
    void OnSettingWait();
    void OnProfileWatch();
    // Replaces the profile copy by replacement only while it holds expected, the bytes of the
    // login built, which then become replacement: the same login written again later is a
    // new one. Traced when a newer login has replaced it or the file cannot be written.
    void WriteIfStillBuilt(const std::string& profileCopyPath, std::string& expected,
                           const std::string& replacement);
    void StartEcho();
    // Takes in the echo that has finished, if any: its result counts only for the tunnel it
    // was sent to.
    void CollectEcho();
    // The end waits a few seconds for a running echo, then leaves it behind.
    void WaitForEcho();
    // The tunnel probed so far is gone or replaced: nothing known about it counts any more.
    void ForgetProbedTunnel();
    void SwitchToOpenVpn();
    // Removes the tunnel of the mode and whatever else this run started, of either kind.
    void RemoveTunnel();
    void ClearIPsec();
    void CloseOpenVpn();
    void RunIPsecScript();
    void StartOpenVpn();
    // A tunnel of this login is up (or being brought up): the link check counts from here.
    void TunnelBuilt(int linkCount);
    // Writes both scripts; false when they could not be written, and then the failure is
    // shown and the tunnel stays down.
    bool WriteScripts();
    void ShowBuildFailure();
    void ShowNoLink();
    // Delete VPN; in the exiting state it removes the tunnel and leaves the window alone.
    void DeleteVpn();

    platform::Platform& platform_;
    const MachineFacts& machine_;
    Liveness& liveness_;
    AdapterFacts& adapters_;
    LoginHistory& history_;
    SequencerWindow& window_;
    SettingFile m_WorkingCopy;

    ConnectState m_nConnectState = CS_IDLE;
    int m_nLinkCount = 0;    // failed polls counted by the link check
    int m_nSettingWait = 0;  // ticks counted by the settings wait; -1 after it gave up
    // The reachability worker last started by the link check (its thread id); only recorded,
    // never waited on. 0: none.
    std::uint32_t m_pEchoThread = 0;
    // The echo sent and not yet taken in; at most one runs.
    std::shared_ptr<EchoJob> m_pEcho;
    // Counts the tunnels probed: an echo's result counts only while its number is current.
    std::uint32_t m_nProbedTunnel = 0;
    bool m_bDeleting = false;         // Delete VPN is running
    bool m_bConnectNotified = false;  // the success box has been shown for this connection
    // Connect started a login whose tunnel is not built yet: unanswered polls neither switch
    // nor give up before it is.
    bool m_bAwaitingBuild = false;
    // A login page may still start the settings wait; the user's Delete VPN closes it until
    // the next Connect.
    bool m_bLoginOpen = true;
    bool m_bIPsecStarted = false;    // this run ran the IPsec script since its last removal
    bool m_bOpenVpnStarted = false;  // this run started OpenVPN since it was last closed
    int m_nVPNMode;                  // tunnel kind, mirrored in "VPN Mode"
    // The outside login the profile watch built last, until its flag reads set back or a
    // tunnel is removed: a copy whose flag cannot be written is not built again.
    std::optional<HandOver> m_BuiltHandOver;
    TunnelSettings m_Settings;
    SessionClock m_SessionClock;
    std::string m_szCurrentDir;
    std::string m_szMsgPagePath;
    ProgramEnd m_End = ProgramEnd::kRunning;
};

}  // namespace kestrun
