// Window messages and command identifiers the program's windows exchange. Kept free of
// Windows headers so decision code can use them.
#pragma once

#include <cstdint>

namespace kestrun {

constexpr std::uint32_t WM_USER_BASE = 0x0400;
// Disconnect-and-exit request, posted by a second instance started with "-r".
constexpr std::uint32_t WM_KESTRUN_EXIT = WM_USER_BASE + 0x99;
// Tray icon callback.
constexpr std::uint32_t WM_TRAYICON_NOTIFY = WM_USER_BASE + 0x6F;

// Main window title: also the single-instance key.
constexpr const char* kMainWindowTitle = "Pallisor Client";

// WM_COMMAND identifiers.
constexpr std::uint32_t ID_SHOW_MAIN = 32772;
constexpr std::uint32_t ID_MENUITEM_EXIT = 32773;
constexpr std::uint32_t ID_MENUITEM_INFO = 32774;
constexpr std::uint32_t ID_MENUITEM_ABOUT = 32775;
constexpr std::uint32_t ID_MENUITEM_DIAGNOSIS = 32776;

// Main window timers.
constexpr std::uint32_t IDT_LINK_CHECK = 1;
constexpr std::uint32_t IDT_SETTING_WAIT = 2;
constexpr std::uint32_t IDT_CALLBYIE_WATCH = 3;

}  // namespace kestrun
