// Disconnect & Exit and the orderly end of the program.
#include "app/sequencer.h"
#include "app/window_texts.h"
#include "platform/ui.h"

namespace kestrun {
namespace {

constexpr std::uint32_t kEchoWaitStepMs = 1000;
// An echo gives up after its own second; one still running after five has hung in the system.
constexpr int kEchoWaitSteps = 5;

}  // namespace

// The user is told first; the end follows when the box is closed. Ticks and further exit
// requests that arrive while the box is open do not start a second end.
void ConnectionSequencer::OnExitRequest() {
    if (m_End != ProgramEnd::kRunning) {
        return;
    }
    m_End = ProgramEnd::kExitAsked;
    platform_.trace.Output("CKestrunDlg::OnMenuitemExit()\n");
    m_nConnectState = CS_EXITING;
    m_WorkingCopy.DeclineHandOver();
    window_.Host().MessageBox(texts::kSessionEndedText, texts::kResultCaption,
                              platform::kMbIconInformation | platform::kMbTopmost);
    EndProgram(false);
}

// The tunnel should outlive its echo, but an echo hung in the system must not keep the
// program from ending; the worker left behind touches only what it shares with the job.
void ConnectionSequencer::WaitForEcho() {
    for (int step = 0; step < kEchoWaitSteps && m_pEcho != nullptr && !m_pEcho->Finished();
         ++step) {
        platform_.clock.Sleep(kEchoWaitStepMs);
    }
    if (m_pEcho != nullptr && m_pEcho->Abandon()) {
        m_pEcho = nullptr;
        platform_.trace.Output("Echo still running: abandoned.\n");
    }
    CollectEcho();
}

// A window destroyed by other means than Disconnect & Exit still removes the tunnel; after
// Disconnect & Exit its destruction is what the end asked for and does nothing more.
void ConnectionSequencer::EndProgram(bool windowGoing) {
    if (m_End == ProgramEnd::kTornDown) {
        return;
    }
    m_End = ProgramEnd::kTornDown;
    platform_.trace.Output("CKestrunDlg::OnDestroy()!!!\n");
    std::vector<platform::AdapterRecord>().swap(adapters_.m_pAdapterInfo);
    window_.RemoveTray();
    WaitForEcho();
    // In the exiting state Delete VPN removes the tunnel and leaves the window alone.
    m_nConnectState = CS_EXITING;
    DeleteVpn();
    platform_.trace.Output("Close Window!!!\n");
    // Ends the message loop; the window object itself is released after the loop.
    if (!windowGoing) {
        window_.Host().Destroy();
    }
}

}  // namespace kestrun
