// Window messages and command identifiers the program's windows exchange. Kept free of
// Windows headers so decision code can use them.
#pragma once

#include <cstdint>

#include "platform/window_message.h"
#include "res/resource.h"

namespace kestrun {

// Disconnect-and-exit request, posted by a second instance started with "-r".
constexpr std::uint32_t WM_KESTRUN_EXIT = platform::kWmUser + 0x99;
// The tray icon's callback, WM_TRAYICON_NOTIFY, is the tray's own (status/system_tray.h).

// Main window title: also the single-instance key.
constexpr const char* kMainWindowTitle = "Pallisor Client";

// WM_COMMAND identifiers (ID_SHOW_MAIN 32772, the tray menu's 32773 to 32776) are the
// resource script's, in res/resource.h.

}  // namespace kestrun
