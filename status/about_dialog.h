// The About window: banner, product line and the version number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/types.h"
#include "ui/dialog_base.h"
#include "ui/message_table.h"

namespace kestrun {

class CAboutDlg : public DialogBase {
  public:
    explicit CAboutDlg(platform::DialogHost& host) : DialogBase(host) {}

    // Shows the window modally from its template; returns how it was closed.
    std::intptr_t DoModal(platform::WindowRef parent);

    // What the read-only edit box 1017 shows.
    const std::string& Version() const { return m_strVersion; }

  protected:
    std::optional<MsgResult> DispatchOwn(const Msg& msg) override;
    void DoDataExchange(DataExchange& dx) override;

  private:
    bool OnInitDialog();
    static const MessageTable<CAboutDlg>& Table();

    // Bound to the version box.
    std::string m_strVersion;
};

}  // namespace kestrun
