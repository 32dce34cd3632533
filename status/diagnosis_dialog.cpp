#include "status/diagnosis_dialog.h"

#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"
#include "status/diagnosis_rows.h"
#include "tunnel/runner.h"

namespace kestrun {
namespace {

constexpr int kFixedRows = 5;

std::vector<std::pair<std::string, std::string>> AsTexts(const std::vector<DiagnosisRow>& rows,
                                                         std::size_t first) {
    std::vector<std::pair<std::string, std::string>> texts;
    for (std::size_t i = first; i < rows.size(); ++i) {
        texts.emplace_back(rows[i].item, rows[i].result);
    }
    return texts;
}

}  // namespace

const MessageTable<CDiagnosisDlg>& CDiagnosisDlg::Table() {
    static const MessageTable<CDiagnosisDlg> table =
        MessageTable<CDiagnosisDlg>()
            .InitDialog(&CDiagnosisDlg::OnInitDialog)
            .Command(IDC_DIAG_STARTS, &CDiagnosisDlg::OnStarts);
    return table;
}

std::intptr_t CDiagnosisDlg::DoModal(platform::WindowRef parent) {
    return Host().RunModal(IDD_DIAGNOSIS_DIALOG, parent, *this);
}

std::optional<MsgResult> CDiagnosisDlg::DispatchOwn(const Msg& msg) {
    return Table().Dispatch(*this, msg);
}

// The test rows first, then the adapters as the inspection finds them now.
bool CDiagnosisDlg::OnInitDialog() {
    DialogBase::OnInitDialog();
    m_listResult = lists_.Attach(Host().Handle(), IDC_DIAG_LIST);
    if (!m_listResult) {
        return true;
    }
    const DiagnosisColumns widths = DiagnosisColumnWidths(m_listResult->OuterWidth());
    m_listResult->InsertColumns(
        {{kColumnTestItems, widths.testItems}, {kColumnResult, widths.result}});
    m_listResult->DeleteAllRows();
    const int mode = state_.connection.VpnMode();
    std::int32_t& interfaceIndex = state_.adapters.m_nInterface;
    m_listResult->AppendRows(AsTexts(DiagnosisRows({}, 0, mode, state_.osType, ""), 0));

    InspectAdapters(tools_.net, tools_.trace, state_.osType, interfaceIndex, state_.adapters);
    GetDNSServers(tools_.net, tools_.trace, state_.adapters);
    m_listResult->AppendRows(
        AsTexts(DiagnosisRows(state_.adapters.m_pAdapterInfo, interfaceIndex, mode, state_.osType,
                              state_.adapters.m_strDNSServers),
                kFixedRows));
    return true;
}

// The window does not respond while the tests run; the cleared results show at once, the
// new ones when the list repaints after the handler.
void CDiagnosisDlg::OnStarts() {
    if (!m_listResult) {
        return;
    }
    tools_.ui.ShowWaitCursor(true);
    for (const int row : {kRowService, kRowDriver, kRowTunnel, kRowInternet}) {
        m_listResult->SetResult(row, "");
    }
    m_listResult->Repaint();
    tools_.clock.Sleep(kStartsWaitMs);
    // Only asked, never restarted; the driver counts as loaded when the adapter list read at
    // opening holds the virtual adapter.
    std::uint32_t serviceState = 0;
    const std::uint32_t serviceError =
        AsksIPsecService(state_.osType)
            ? tools_.services.QueryState(kIPsecServiceName, serviceState)
            : platform::kErrorServiceDoesNotExist;
    m_listResult->SetResult(kRowService, ServiceResult(serviceError, serviceState));
    m_listResult->SetResult(kRowDriver,
                            DriverResult(state_.adapters.m_pAdapterInfo, state_.osType));
    m_listResult->SetResult(kRowTunnel, TunnelResult(state_.liveness.m_bLANConnected == 1));
    RunDetached(tools_.runner, kFlushDnsCommand);
    const std::optional<std::string> address = tools_.net.ResolveHost(kInternetTestHost);
    if (address) {
        tools_.trace.Output(ResolvedHostTrace(*address));
    }
    m_listResult->SetResult(kRowInternet, InternetResult(address.has_value()));
    tools_.ui.ShowWaitCursor(false);
}

}  // namespace kestrun
