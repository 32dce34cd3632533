#include "app/main_window_look.h"

#include <cstdlib>

#include "platform/window_message.h"
#include "res/resource.h"

namespace kestrun {

int CtlColorKind(std::uint32_t message) {
    if (message < platform::kWmCtlColorMsgBox || message > platform::kWmCtlColorStatic) {
        return -1;
    }
    return static_cast<int>(message - platform::kWmCtlColorMsgBox);
}

CtlColorChoice ChooseCtlColor(int controlId, int kind, bool haveDialogFont) {
    CtlColorChoice choice;
    choice.boldFont = controlId == IDC_STATIC_STATUS && haveDialogFont;
    const bool warm = kind == kCtlColorStatic || kind == kCtlColorBtn;
    choice.transparent = warm;
    choice.backgroundBrush = warm;
    return choice;
}

int BoldFontHeight(int dialogFontHeight) {
    return std::abs(dialogFontHeight) + 4;
}

IconPlace CentredIcon(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return IconPlace{(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

}  // namespace kestrun
