// A bare main window: it exists, can be found by its title, stays hidden until the show
// command, and closes on the exit request. The full dialog replaces this file.
#include "platform/win32/windows_include.h"

#include "app/messages.h"
#include "platform/win32/main_window.h"
#include "res/resource.h"

namespace kestrun::platform::win32 {
namespace {

// One main window per process.
bool g_showAllowed = false;

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_WINDOWPOSCHANGING:
            // The template asks to be visible; only the show command may make it so.
            if (!g_showAllowed) {
                reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
            }
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case ID_SHOW_MAIN:
                    g_showAllowed = true;
                    ShowWindow(window, SW_SHOW);
                    return TRUE;
                case IDCANCEL:
                case IDC_BUTTON_HIDE:
                    ShowWindow(window, SW_HIDE);
                    return TRUE;
                default:
                    return FALSE;
            }
        case WM_DESTROY:
            PostQuitMessage(0);
            return TRUE;
        default:
            if (message == kestrun::WM_KESTRUN_EXIT) {
                DestroyWindow(window);
                return TRUE;
            }
            return FALSE;
    }
}

}  // namespace

HWND CreateMainWindow(HINSTANCE instance) {
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_KESTRUN_DIALOG), nullptr,
                              MainWindowProc, 0);
}

}  // namespace kestrun::platform::win32
