// The main window's login-address box (combo box 1000) as the address history sees it.
#pragma once

#include <string>

#include "platform/dialog_host.h"
#include "settings/address_history.h"

namespace kestrun {

class ComboAddressBox : public AddressBox {
  public:
    ComboAddressBox(platform::DialogHost& host, int controlId) : host_(host), id_(controlId) {}
    void ResetContent() override { host_.ComboResetContent(id_); }
    int Count() override { return host_.ComboGetCount(id_); }
    int CurSel() override { return host_.ComboGetCurSel(id_); }
    std::string ItemText(int index) override { return host_.ComboGetItemText(id_, index); }
    void InsertItem(int index, const std::string& text) override {
        host_.ComboInsertString(id_, index, text);
    }
    void DeleteItem(int index) override { host_.ComboDeleteString(id_, index); }
    void SetCurSel(int index) override { host_.ComboSetCurSel(id_, index); }
    // The edit field's text is the combo box's window text.
    std::string EditText() override { return host_.GetItemText(id_); }

  private:
    platform::DialogHost& host_;
    int id_;
};

}  // namespace kestrun
