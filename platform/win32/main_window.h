// The main window as the rest of the win32 side sees it: created modeless from dialog
// template 102 with no parent, hidden until the show command arrives; its destruction
// ends the message loop.
#pragma once

#include "platform/win32/windows_include.h"

namespace kestrun::platform::win32 {

// nullptr when the window cannot be created.
HWND CreateMainWindow(HINSTANCE instance);

}  // namespace kestrun::platform::win32
