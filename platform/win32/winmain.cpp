// Program entry: start-up, then the message loop until the main window is destroyed.
#include "platform/win32/windows_include.h"

#include "app/main_dialog.h"
#include "app/startup.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_startup_host.h"

namespace {

HWND MainWindow() {
    if (!kestrun::g_pMainDlg) {
        return nullptr;
    }
    return reinterpret_cast<HWND>(kestrun::g_pMainDlg->Host().Handle());
}

// Ends with WM_QUIT, which the main window posts when it is destroyed.
int RunMessageLoop() {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            break;
        }
        if (got == -1) {
            return 1;
        }
        // The main window is a modeless dialog: its keyboard navigation needs this.
        HWND mainWindow = MainWindow();
        if (mainWindow != nullptr && IsDialogMessageA(mainWindow, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    // Destroyed in reverse order after the loop: the host (main window object, brush, OLE),
    // then the platform (sockets).
    kestrun::platform::win32::Win32Platform real;
    kestrun::platform::win32::Win32StartupHost host(instance, real.platform);
    kestrun::CKestrunApp app(real.platform, host, commandLine != nullptr ? commandLine : "");
    if (!app.InitInstance()) {
        return 0;
    }
    return RunMessageLoop();
}
