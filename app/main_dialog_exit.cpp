// Disconnect & Exit and the orderly end of the program.
#include "app/main_dialog.h"
#include "app/window_texts.h"
#include "platform/ui.h"
#include "settings/setting_keys.h"
#include "settings/working_copy.h"

namespace kestrun {
namespace {

constexpr std::uint32_t kEchoWaitStepMs = 1000;

}  // namespace

// The user is told first; the end follows when the box is closed. Ticks and further exit
// requests that arrive while the box is open do not start a second end.
void CKestrunDlg::OnMenuitemExit() {
    if (m_bExitRequested) {
        return;
    }
    m_bExitRequested = true;
    services_.platform.trace.Output("CKestrunDlg::OnMenuitemExit()\n");
    m_Sequencer.m_nConnectState = CS_EXITING;
    settings::WriteValue(services_.platform.profile, settings::kKeyCallByIe, settings::kFalse);
    Host().MessageBox(texts::kSessionEndedText, texts::kResultCaption,
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
    // In the exiting state it removes the tunnel and leaves the window alone.
    m_Sequencer.m_nConnectState = CS_EXITING;
    m_Sequencer.OnButtonDel();
    platform.trace.Output("Close Window!!!\n");
    // Ends the message loop; the object itself is released after the loop.
    if (!m_bWindowGoing) {
        Host().Destroy();
    }
}

}  // namespace kestrun
