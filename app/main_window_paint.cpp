#include "app/main_window_paint.h"

#include "app/main_window_look.h"
#include "res/resource.h"

namespace kestrun {

void PaintMainWindow(platform::Painting& painting, platform::WindowRef window,
                     platform::GdiRef icon) {
    auto session = painting.BeginPaint(window);
    session->DrawBitmap(IDB_BACKGROUND, 0, 0, kBackgroundWidth, kBackgroundHeight);
    if (painting.IsIconic(window)) {
        session->EraseIconBackground();
        int clientWidth = 0;
        int clientHeight = 0;
        painting.ClientSize(window, clientWidth, clientHeight);
        int iconWidth = 0;
        int iconHeight = 0;
        painting.IconMetrics(iconWidth, iconHeight);
        const IconPlace place = CentredIcon(clientWidth, clientHeight, iconWidth, iconHeight);
        session->DrawIcon(place.x, place.y, icon);
    }
    // Otherwise the default paint has nothing left to do: this paint validated the window.
}

MsgResult MainWindowCtlColor(platform::Painting& painting, platform::DialogHost& host,
                             const Msg& msg, platform::GdiRef dialogFont,
                             platform::GdiRef backgroundBrush) {
    const int kind = CtlColorKind(msg.message);
    if (kind < 0) {
        return platform::NotHandled();
    }
    const auto dc = static_cast<platform::DcRef>(msg.wParam);
    const int controlId = host.ItemId(static_cast<platform::WindowRef>(msg.lParam));
    const CtlColorChoice choice = ChooseCtlColor(controlId, kind, dialogFont != 0);
    if (choice.backgroundBrush && backgroundBrush != 0) {
        // The system's colours first (text colour of the user's scheme); the brush and the
        // transparent mode below replace only the background.
        host.DefaultProcessing(msg);
    }
    if (choice.boldFont) {
        const platform::GdiRef bold =
            painting.BoldFont(dialogFont, BoldFontHeight(painting.FontHeight(dialogFont)));
        if (bold != 0) {
            painting.SelectFont(dc, bold);
        }
    }
    if (choice.transparent) {
        painting.SetTransparentBackground(dc);
    }
    if (choice.backgroundBrush && backgroundBrush != 0) {
        return platform::Handled(static_cast<std::intptr_t>(backgroundBrush));
    }
    return platform::NotHandled();
}

}  // namespace kestrun
