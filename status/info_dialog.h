// The Connectivity Info. window: the first stored login address, whether the tunnel
// answers, how long it has been up, the traffic counters, the address and the mode,
// refreshed once a second.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "netprobe/adapters.h"
#include "netprobe/liveness.h"
#include "platform/platform.h"
#include "status/connection_view.h"
#include "status/info_view.h"
#include "ui/dialog_base.h"
#include "ui/message_table.h"

namespace kestrun {

// What the window reads; it refreshes the adapter facts and, outside IPsec mode, sets the
// mode to OpenVPN.
struct InfoState {
    int osType;
    const Liveness& liveness;
    ConnectionView& connection;
    AdapterFacts& adapters;
};

// Where what the window shows comes from: the adapters and their counters, the statistics
// script and its listing, the working copy's login address, the time for the session clock.
struct InfoSources {
    platform::Profile& profile;
    platform::Files& files;
    platform::Clock& clock;
    platform::Runner& runner;
    platform::NetInfo& net;
    platform::Trace& trace;
};

class CInfoDlg : public DialogBase, public InfoFields {
  public:
    // statusWndOpen is the guard its opener set; the window clears it when it goes.
    CInfoDlg(platform::DialogHost& host, InfoSources sources, InfoState state, bool& statusWndOpen)
        : DialogBase(host), sources_(sources), state_(state), statusWndOpen_(statusWndOpen) {}
    ~CInfoDlg() override { statusWndOpen_ = false; }

    // Shows the window modally from its template; returns how it was closed.
    std::intptr_t DoModal(platform::WindowRef parent);

  protected:
    std::optional<MsgResult> DispatchOwn(const Msg& msg) override;
    void DoDataExchange(DataExchange& dx) override;

  private:
    bool OnInitDialog();
    void OnTimer(std::uint32_t timerId);
    void RefreshInfo();
    void RunIPsecStats(InfoInput& input);
    static const MessageTable<CInfoDlg>& Table();

    InfoSources sources_;
    InfoState state_;
    bool& statusWndOpen_;
    // The statistics script's last run, which may still be going.
    std::unique_ptr<platform::StartedProgram> statsRun_;
    // "./tmp.txt" is this window's: what an earlier connection left was removed, or a run
    // started here has ended since.
    bool statsFileCurrent_ = false;
    bool statsFileRemovalTried_ = false;
};

}  // namespace kestrun
