// The behaviour every dialog class shares: the exchange of field values with controls
// (UpdateData), the default set-up, and OK/Cancel ending the dialog. A derived class
// routes its own messages through its MessageTable; what the table does not handle
// falls back to these defaults and then to the window's default processing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/dialog_host.h"
#include "ui/message_table.h"

namespace kestrun {

// One direction of a data exchange between fields and controls.
class DataExchange {
  public:
    DataExchange(platform::DialogHost& host, bool saveAndValidate)
        : host_(host), save_(saveAndValidate) {}
    bool saving() const { return save_; }
    // Control text <-> value: saving copies the control's text into value, otherwise
    // value is shown in the control.
    void Text(int controlId, std::string& value);

  private:
    platform::DialogHost& host_;
    bool save_;
};

// Holds a window host so that a dialog class can make it before, and outlive with it, the
// dialog base that refers to it.
struct OwnedDialogHost {
    explicit OwnedDialogHost(std::unique_ptr<platform::DialogHost> host)
        : ownedHost(std::move(host)) {}
    // Plain data in a base-from-member holder: the deriving dialog's base list hands it on
    // to DialogBase before any member of its own exists.
    // NOLINTNEXTLINE(misc-non-private-member-variables-in-classes)
    std::unique_ptr<platform::DialogHost> ownedHost;
};

class DialogBase : public platform::MessageSink {
  public:
    explicit DialogBase(platform::DialogHost& host) : host_(host) {}
    ~DialogBase() override = default;
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;

    MsgResult OnMessage(const Msg& msg) final;

    // true: controls -> fields; false: fields -> controls. Returns true.
    bool UpdateData(bool saveAndValidate = true);

    platform::DialogHost& Host() { return host_; }

  protected:
    // The derived class's own table.
    virtual std::optional<MsgResult> DispatchOwn(const Msg& msg) = 0;
    virtual void DoDataExchange(DataExchange& dx) { (void)dx; }

    // Default set-up: shows the fields in the controls; TRUE gives the default focus.
    bool OnInitDialog();
    // OK button / Enter: fields from the controls, then end with IDOK.
    virtual void OnOK();
    // Cancel button / Escape / close box: end with IDCANCEL.
    virtual void OnCancel();

  private:
    platform::DialogHost& host_;
};

}  // namespace kestrun
