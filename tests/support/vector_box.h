// The address box of the login-address history as a plain list: entries in place, a
// selection, an edit field that follows it.
#pragma once

#include <string>
#include <vector>

#include "settings/address_history.h"

namespace kestrun::test {

class VectorBox : public AddressBox {
  public:
    void ResetContent() override { items.clear(), selection = -1; }
    int Count() override { return static_cast<int>(items.size()); }
    int CurSel() override { return selection; }
    std::string ItemText(int i) override { return items.at(static_cast<std::size_t>(i)); }
    // A position past the end inserts nothing, as CB_INSERTSTRING fails there.
    void InsertItem(int i, const std::string& text) override {
        if (i <= Count()) {
            items.insert(i < 0 ? items.end() : items.begin() + i, text);
        }
    }
    void DeleteItem(int i) override {
        if (i >= 0 && i < Count()) {
            items.erase(items.begin() + i);
        }
    }
    void SetCurSel(int i) override {
        selection = i >= 0 && i < Count() ? i : -1;
        if (selection >= 0) {
            edit = items[static_cast<std::size_t>(i)];
        }
    }
    std::string EditText() override { return edit; }

    std::vector<std::string> items;
    int selection = -1;
    std::string edit;
};

}  // namespace kestrun::test
