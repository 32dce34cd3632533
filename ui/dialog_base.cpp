#include "ui/dialog_base.h"

namespace kestrun {

void DataExchange::Text(int controlId, std::string& value) {
    if (save_) {
        value = host_.GetItemText(controlId);
    } else {
        host_.SetItemText(controlId, value);
    }
}

MsgResult DialogBase::OnMessage(const Msg& msg) {
    if (std::optional<MsgResult> own = DispatchOwn(msg)) {
        return *own;
    }
    if (msg.message == platform::kWmInitDialog) {
        return platform::Handled(OnInitDialog() ? 1 : 0);
    }
    if (msg.message == platform::kWmCommand &&
        platform::HighWord(msg.wParam) == platform::kBnClicked) {
        switch (platform::LowWord(msg.wParam)) {
            case platform::kIdOk:
                OnOK();
                return platform::Handled(0);
            case platform::kIdCancel:
                OnCancel();
                return platform::Handled(0);
            default:
                break;
        }
    }
    return platform::NotHandled();
}

bool DialogBase::UpdateData(bool saveAndValidate) {
    DataExchange dx(host_, saveAndValidate);
    DoDataExchange(dx);
    return true;
}

bool DialogBase::OnInitDialog() {
    UpdateData(false);
    return true;
}

void DialogBase::OnOK() {
    UpdateData(true);
    host_.EndDialog(platform::kIdOk);
}

void DialogBase::OnCancel() {
    host_.EndDialog(platform::kIdCancel);
}

}  // namespace kestrun
