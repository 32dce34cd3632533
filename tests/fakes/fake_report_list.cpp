#include "tests/fakes/fake_report_list.h"

namespace kestrun::platform::fake {
namespace {

class FakeReportList : public ReportList {
  public:
    FakeReportList(Journal& journal, FakeListContent& content)
        : journal_(journal), content_(content) {}
    int OuterWidth() override { return content_.outerWidth; }
    void InsertColumns(const std::vector<std::pair<std::string, int>>& columns) override {
        content_.columns.insert(content_.columns.end(), columns.begin(), columns.end());
    }
    void DeleteAllRows() override { content_.rows.clear(); }
    void AppendRows(const std::vector<std::pair<std::string, std::string>>& rows) override {
        content_.rows.insert(content_.rows.end(), rows.begin(), rows.end());
    }
    void SetResult(int row, const std::string& text) override {
        if (row >= 0 && static_cast<std::size_t>(row) < content_.rows.size()) {
            content_.rows[static_cast<std::size_t>(row)].second = text;
        }
    }
    void Repaint() override {
        std::string results;
        for (const auto& row : content_.rows) {
            results += "|" + row.second;
        }
        journal_.Add("list", "repaint" + results);
    }

  private:
    Journal& journal_;
    FakeListContent& content_;
};

}  // namespace

std::unique_ptr<ReportList> FakeReportLists::Attach(WindowRef /*dialog*/, int controlId) {
    journal_.Add("list", "attach " + std::to_string(controlId));
    if (missing) {
        return nullptr;
    }
    list = FakeListContent{list.outerWidth, {}, {}};
    return std::make_unique<FakeReportList>(journal_, list);
}

}  // namespace kestrun::platform::fake
