// The login-address history: the portal addresses the user logged in with, kept in the
// settings file under "URL0" (the oldest) to "URL9" and shown in the address box. Loading
// the settings fills the box from the file, saving them stores the box back, and a login
// in the embedded browser merges the address just used.
#pragma once

#include <functional>
#include <string>

#include "platform/system.h"

namespace kestrun {

class SettingFile;

class AddressHistory {
  public:
    virtual ~AddressHistory() = default;
    // Refills the address box from the file and selects the entry naming the gateway.
    virtual void FillFromFile(const std::string& gateway) = 0;
    // Writes the address box's entries to the file and selects the chosen entry again.
    virtual void StoreToFile() = 0;
};

// Stands in where no address box exists: it reads and writes nothing.
class NoAddressHistory : public AddressHistory {
  public:
    void FillFromFile(const std::string& /*gateway*/) override {}
    void StoreToFile() override {}
};

// The address box as the history sees it: an editable drop-down list.
class AddressBox {
  public:
    virtual ~AddressBox() = default;
    virtual void ResetContent() = 0;
    virtual int Count() = 0;
    // The selected entry; -1 when none.
    virtual int CurSel() = 0;
    virtual std::string ItemText(int index) = 0;
    // At index, or at the end for -1; the box's sort order does not move it.
    virtual void InsertItem(int index, const std::string& text) = 0;
    virtual void DeleteItem(int index) = 0;
    // A missing index selects nothing.
    virtual void SetCurSel(int index) = 0;
    virtual std::string EditText() = 0;
};

class LoginHistory : public AddressHistory {
  public:
    // selIndex is the window's m_nSelIndex: the entry to select.
    // file is the working copy the history is kept in.
    LoginHistory(SettingFile& file, platform::Trace& trace, AddressBox& box, int& selIndex)
        : file_(file), trace_(trace), box_(box), selIndex_(selIndex) {}

    void FillFromFile(const std::string& gateway) override;
    void StoreToFile() override;

    // Merges the address in the box's edit field into the history after a login: an address
    // already listed (letter case aside, and as far as a cut stored copy reaches) is selected
    // and its stored copy gets the address as typed; a new one is appended and stored.
    // updateData moves the window's data between its fields and controls.
    void SaveURLHistory(const std::function<void(bool saveAndValidate)>& updateData);

  private:
    // The newest ten entries under consecutive keys from "URL0"; no key after them keeps
    // an address.
    void WriteKeys();
    void Write(int key, const std::string& text);

    SettingFile& file_;
    platform::Trace& trace_;
    AddressBox& box_;
    int& selIndex_;
};

}  // namespace kestrun
