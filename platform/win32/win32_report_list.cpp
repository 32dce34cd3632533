#include "platform/win32/win32_report_list.h"

#include "platform/win32/windows_include.h"

#include <commctrl.h>

#include <vector>

#include "platform/win32/handle_refs.h"

namespace kestrun::platform::win32 {
namespace {

class Win32ReportList : public ReportList {
  public:
    explicit Win32ReportList(HWND list) : list_(list) {}

    int OuterWidth() override {
        RECT rect{};
        GetWindowRect(list_, &rect);
        return static_cast<int>(rect.right - rect.left);
    }

    void InsertColumns(const std::vector<std::pair<std::string, int>>& columns) override {
        int index = 0;
        for (const auto& [title, width] : columns) {
            std::vector<char> text(title.begin(), title.end());
            text.push_back('\0');
            LVCOLUMNA column{};
            column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            column.fmt = LVCFMT_LEFT;
            column.cx = width;
            column.pszText = text.data();
            column.iSubItem = index;
            SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(&column));
            ++index;
        }
    }

    void DeleteAllRows() override { SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0); }

    void AppendRows(const std::vector<std::pair<std::string, std::string>>& rows) override {
        for (const auto& [item, result] : rows) {
            const int row = static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
            std::vector<char> text(item.begin(), item.end());
            text.push_back('\0');
            LVITEMA entry{};
            entry.mask = LVIF_TEXT;
            entry.iItem = row;
            entry.pszText = text.data();
            const LRESULT inserted =
                SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&entry));
            if (inserted >= 0) {
                SetResult(static_cast<int>(inserted), result);
            }
        }
    }

    void SetResult(int row, const std::string& text) override {
        std::vector<char> copy(text.begin(), text.end());
        copy.push_back('\0');
        LVITEMA entry{};
        entry.iSubItem = 1;
        entry.pszText = copy.data();
        SendMessageA(list_, LVM_SETITEMTEXTA, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&entry));
    }

    void Repaint() override { UpdateWindow(list_); }

  private:
    HWND list_;
};

}  // namespace

std::unique_ptr<ReportList> Win32ReportLists::Attach(WindowRef dialog, int controlId) {
    HWND list = GetDlgItem(AsWindow(dialog), controlId);
    if (list == nullptr) {
        return nullptr;
    }
    return std::make_unique<Win32ReportList>(list);
}

}  // namespace kestrun::platform::win32
