// The report-view list control of a dialog, through its messages.
#pragma once

#include "platform/report_list.h"

namespace kestrun::platform::win32 {

class Win32ReportLists : public ReportLists {
  public:
    std::unique_ptr<ReportList> Attach(WindowRef dialog, int controlId) override;
};

}  // namespace kestrun::platform::win32
