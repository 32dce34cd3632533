// Painting of the main window: the background picture under the controls, the window
// icon when minimised, and the colours and font of its controls.
#pragma once

#include "platform/dialog_host.h"
#include "platform/painting.h"
#include "ui/message_table.h"

namespace kestrun {

// WM_PAINT.
void PaintMainWindow(platform::Painting& painting, platform::WindowRef window,
                     platform::GdiRef icon);

// WM_CTLCOLOR*: wParam is the control's drawing context, lParam the control. Static texts
// and buttons get backgroundBrush; the status line also gets the bold font made from
// dialogFont. Everything else is left to the default processing.
MsgResult MainWindowCtlColor(platform::Painting& painting, platform::DialogHost& host,
                             const Msg& msg, platform::GdiRef dialogFont,
                             platform::GdiRef backgroundBrush);

}  // namespace kestrun
