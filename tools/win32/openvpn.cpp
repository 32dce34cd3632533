// Stand-in for the OpenVPN program: records how it was called, then shows a window titled
// "OpenVPN stub" and runs until that window is closed (the client ends the real program
// by posting WM_CLOSE to the window whose title contains "OpenVPN").
#include "platform/win32/windows_include.h"

#include "stub_log.h"

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        kestrun::stub::AppendLine(kestrun::stub::LogPath(), "openvpn closed");
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    kestrun::stub::LogCall("openvpn");
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "KestrunOpenVpnStub";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    if (RegisterClassA(&windowClass) == 0) {
        return 1;
    }
    HWND window =
        CreateWindowA("KestrunOpenVpnStub", "OpenVPN stub", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                      CW_USEDEFAULT, 320, 120, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    // Shown even when started hidden: the real program's window is a visible top-level one.
    ShowWindow(window, SW_SHOWNOACTIVATE);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
