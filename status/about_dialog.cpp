#include "status/about_dialog.h"

#include "res/resource.h"

namespace kestrun {

const MessageTable<CAboutDlg>& CAboutDlg::Table() {
    static const MessageTable<CAboutDlg> table =
        MessageTable<CAboutDlg>().InitDialog(&CAboutDlg::OnInitDialog);
    return table;
}

std::intptr_t CAboutDlg::DoModal(platform::WindowRef parent) {
    return Host().RunModal(IDD_ABOUTBOX, parent, *this);
}

std::optional<MsgResult> CAboutDlg::DispatchOwn(const Msg& msg) {
    return Table().Dispatch(*this, msg);
}

void CAboutDlg::DoDataExchange(DataExchange& dx) {
    dx.Text(IDC_ABOUT_VERSION, m_strVersion);
}

bool CAboutDlg::OnInitDialog() {
    DialogBase::OnInitDialog();
    UpdateData(true);
    m_strVersion = "1.00";
    UpdateData(false);
    return true;
}

}  // namespace kestrun
