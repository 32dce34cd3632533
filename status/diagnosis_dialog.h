// The Diagnosis window: the four tests and the network details of the default-route
// adapter (and, in OpenVPN mode, of every adapter), with "Starts" running the tests.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "netprobe/adapters.h"
#include "netprobe/liveness.h"
#include "platform/platform.h"
#include "platform/report_list.h"
#include "status/connection_view.h"
#include "ui/dialog_base.h"
#include "ui/message_table.h"

namespace kestrun {

// What the window reads; it refreshes the adapter facts once, when it opens.
struct DiagnosisState {
    int osType;
    const Liveness& liveness;
    const ConnectionView& connection;
    AdapterFacts& adapters;
};

// What the window's rows and tests use: the adapters and the name lookup, the IPsec
// service's state, the DNS flush, the pause before the tests and the wait cursor over them.
struct DiagnosisTools {
    platform::Clock& clock;
    platform::Ui& ui;
    platform::Runner& runner;
    platform::Services& services;
    platform::NetInfo& net;
    platform::Trace& trace;
};

class CDiagnosisDlg : public DialogBase {
  public:
    // statusWndOpen is the guard its opener set; the window clears it when it goes.
    CDiagnosisDlg(platform::DialogHost& host, DiagnosisTools tools, platform::ReportLists& lists,
                  DiagnosisState state, bool& statusWndOpen)
        : DialogBase(host),
          tools_(tools),
          lists_(lists),
          state_(state),
          statusWndOpen_(statusWndOpen) {}
    ~CDiagnosisDlg() override { statusWndOpen_ = false; }

    // Shows the window modally from its template; returns how it was closed.
    std::intptr_t DoModal(platform::WindowRef parent);

  protected:
    std::optional<MsgResult> DispatchOwn(const Msg& msg) override;

  private:
    bool OnInitDialog();
    void OnStarts();
    static const MessageTable<CDiagnosisDlg>& Table();

    DiagnosisTools tools_;
    platform::ReportLists& lists_;
    DiagnosisState state_;
    bool& statusWndOpen_;
    // The list control 1016, attached when the window opens.
    std::unique_ptr<platform::ReportList> m_listResult;
};

}  // namespace kestrun
