// The connection's part of the main window's set-up: the counters, the program directory,
// the checks of the IPsec service and the network, the settings, a tunnel for a login made
// in an outside browser, and the start of the profile watch.
#include "app/sequencer.h"
#include "app/window_texts.h"
#include "netprobe/adapter_icon.h"
#include "platform/format.h"
#include "platform/ui.h"
#include "res/resource.h"
#include "tunnel/ipsec_service.h"
#include "tunnel/runner.h"
#include "tunnel/teardown.h"
#include "tunnel/tunnel_scripts.h"

namespace kestrun {
namespace {

using namespace texts;

constexpr const char* kMsgPageName = "\\msg.html";
constexpr const char* kRefreshScript = ".\\Refresh.bat";
// In OpenVPN mode the link check starts near its limit, so it gives up after 20 polls.
constexpr int kOpenVpnFirstLinkCount = 21;

}  // namespace

ConnectionSequencer::ConnectionSequencer(platform::Platform& platform, const MachineFacts& machine,
                                         Liveness& liveness, AdapterFacts& adapters,
                                         LoginHistory& history, SequencerWindow& window,
                                         int vpnMode)
    : platform_(platform),
      machine_(machine),
      liveness_(liveness),
      adapters_(adapters),
      history_(history),
      window_(window),
      m_WorkingCopy(platform.profile, kWorkingCopyPath),
      m_nVPNMode(vpnMode) {}

void ConnectionSequencer::BeginSetUp() {
    m_pEchoThread = 0;
    m_nLinkCount = 0;
    m_nSettingWait = 0;
    m_nConnectState = CS_IDLE;
    m_bDeleting = false;
    m_bConnectNotified = false;
    m_szCurrentDir = platform_.system.CurrentDirectory();
    m_szMsgPagePath = m_szCurrentDir + kMsgPageName;
    platform_.trace.Output(Format("CurrentPath=%s, StartTime=%d\n", m_szMsgPagePath.c_str(),
                                  static_cast<std::int32_t>(m_Settings.m_dwStartTime)));
    adapters_.m_pAdapterInfo.clear();
}

// Every problem found is shown, and set-up goes on after the box is closed.
void ConnectionSequencer::CheckEnvironment() {
    platform::DialogHost& host = window_.Host();
    const int osType = machine_.m_nOSType;
    SetOakleyLogging(platform_.registry, platform_.trace, 1);
    if (CheckIPsecService(platform_.clock, platform_.services, platform_.trace, osType) == 0) {
        host.MessageBox(kServiceInactiveText, kWarningCaption, platform::kMbIconExclamation);
    }
    m_WorkingCopy.ParseSetting(m_Settings, adapters_.m_nInterface, history_);
    if (InspectAdapters(platform_.net, platform_.trace, osType, adapters_.m_nInterface,
                        adapters_) == 0) {
        host.MessageBox(kNoGatewayText, kWarningCaption,
                        platform::kMbIconExclamation | platform::kMbTopmost);
    }
    SetAdapterIcon(platform_.registry, platform_.trace, osType, adapters_.m_strVPNClientAdapterName,
                   0);
    RunCommand(platform_.runner, platform_.trace, kRefreshScript);
    if (NetworkFailed(adapters_)) {
        host.MessageBox(kNetworkFailedText, kWarningCaption,
                        platform::kMbIconExclamation | platform::kMbTopmost);
    }
}

void ConnectionSequencer::FinishSetUp() {
    platform::DialogHost& host = window_.Host();
    m_WorkingCopy.ShowAppletTitle(false);
    const std::string callByIe = m_WorkingCopy.CallByIe(settings::Reader::kSetUp);
    platform_.trace.Output(Format("CallByIE=[%s]\n", callByIe.c_str()));
    if (SettingFile::IsSet(callByIe)) {
        BuildAtSetUp();
    }
    m_Settings.m_dwStartTime = m_WorkingCopy.StartTime();
    if (m_Settings.m_dwStartTime == 0) {
        m_Settings.m_dwStartTime = platform_.clock.TickCount();
    }
    // Delete VPN is offered only when the file says a tunnel was built and not removed.
    if (m_WorkingCopy.TunnelRemoved()) {
        host.EnableItem(IDC_BUTTON_DEL, false);
    }
    // Without a profile directory the copy would be looked for in the drive's root, which
    // every user can write.
    if (!machine_.m_szProfileDir.empty()) {
        host.SetTimer(IDT_CALLBYIE_WATCH, kProfileWatchPeriodMs);
    }
}

// A login made in an outside browser waits in the working copy: the tunnel of the mode it
// names is built at once.
void ConnectionSequencer::BuildAtSetUp() {
    platform::DialogHost& host = window_.Host();
    m_nVPNMode = TunnelToBuild(m_WorkingCopy.VpnMode(settings::Reader::kSetUp));
    host.EnableItem(IDC_BUTTON_CONNECT, false);
    window_.UpdateData(true);
    DelRouteTable(platform_.files, platform_.runner, platform_.trace, m_WorkingCopy);
    m_WorkingCopy.SaveSetting(m_Settings, adapters_.m_nInterface, history_);
    if (!WriteScripts()) {
        return;
    }
    if (m_nVPNMode == VPN_MODE_OPENVPN) {
        StartOpenVpn();
        TunnelBuilt(kOpenVpnFirstLinkCount);
    } else {
        RunIPsecScript();
        TunnelBuilt(0);
    }
    m_WorkingCopy.WriteMode(m_nVPNMode);
    window_.SetStatus(kLoginSuccessful);
    m_WorkingCopy.MarkHandOverTaken();
    window_.UpdateData(false);
    host.SetTimer(IDT_LINK_CHECK, kLinkCheckPeriodMs);
}

}  // namespace kestrun
