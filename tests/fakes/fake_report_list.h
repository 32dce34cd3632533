// The report-view list of the tests: columns and rows kept as the control would show them.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/report_list.h"
#include "tests/fakes/journal.h"

namespace kestrun::platform::fake {

struct FakeListContent {
    int outerWidth = 390;
    std::vector<std::pair<std::string, int>> columns;
    std::vector<std::pair<std::string, std::string>> rows;
};

class FakeReportLists : public ReportLists {
  public:
    explicit FakeReportLists(Journal& journal) : journal_(journal) {}
    std::unique_ptr<ReportList> Attach(WindowRef dialog, int controlId) override;

    // What the last list attached shows.
    FakeListContent list;
    bool missing = false;

  private:
    Journal& journal_;
};

}  // namespace kestrun::platform::fake
