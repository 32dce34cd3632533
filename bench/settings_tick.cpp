// Stands in for the settings wait's timer, which under Wine never starts (the browser control
// raises no DocumentComplete there), and for the portal's component that marks its settings
// as ready:
//
//   settings_tick <settings file> <window title> <offset ms>
//
// posts one WM_TIMER 2 to the window (a tick that finds no settings yet), after <offset ms>
// writes "ParseSettingFlag" = "TRUE" into the settings file, and 1000 ms after the first tick
// posts the next one, as a timer of that period would. Prints "write=<ms> tick=<ms>", the
// moments of the write and of the second tick in milliseconds since 1970, on the same clock as
// the stub tools' call times.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/win32/stub_log.h"

namespace {

constexpr UINT_PTR kSettingWaitTimer = 2;
constexpr DWORD kPeriodMs = 1000;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: settings_tick <settings file> <window title> <offset ms>\n");
        return 2;
    }
    const DWORD offset = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
    HWND window = FindWindowA(nullptr, argv[2]);
    if (window == nullptr || offset >= kPeriodMs) {
        return 1;
    }
    const DWORD first = GetTickCount();
    if (!PostMessageA(window, WM_TIMER, kSettingWaitTimer, 0)) {
        return 1;
    }
    Sleep(offset);
    if (!WritePrivateProfileStringA("IPSec", "ParseSettingFlag", "TRUE", argv[1])) {
        return 1;
    }
    const std::uint64_t written = kestrun::stub::UnixMillis();
    const DWORD elapsed = GetTickCount() - first;
    if (elapsed < kPeriodMs) {
        Sleep(kPeriodMs - elapsed);
    }
    if (!PostMessageA(window, WM_TIMER, kSettingWaitTimer, 0)) {
        return 1;
    }
    const std::uint64_t ticked = kestrun::stub::UnixMillis();
    const std::string report =
        "write=" + std::to_string(written) + " tick=" + std::to_string(ticked) + "\n";
    std::fputs(report.c_str(), stdout);
    return 0;
}
