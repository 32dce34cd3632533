// Test program: hosts the web browser control through Win32BrowserFactory in child control
// 1001 of a window of its own, the way the main window hosts it, and reports on stdout what
// the control does.
//
//   browser_probe [-t <seconds>] [-p <plain url>] <url>
//
// Steps, each reported on its own lines:
//   "attach ok" or "attach failed" (exit 1); "second attach refused" (or "accepted") for a
//     second browser in the same child control;
//   "size <w>x<h> child <w>x<h>": the control's window against the child's client area,
//     once as attached ("layout attached") and once after the child grew ("layout grown");
//   "<state> control-enabled=<0|1> focus-inside=<0|1> clicks-inside=<n>" for the states
//     "enabled", "disabled" and "enabled again" of the child control, each after the
//     control's window was asked for the focus and clicked by SendInput at its centre
//     (clicks are the presses that reached a window inside the child), and between the
//     first two "disabled focus-kept=<0|1>": whether the focus stayed inside the child;
//   with -p, Navigate(<plain url>) without headers, then 1.5 s of messages;
//   NavigateWithHeaders(<url>, "Varnel:TRV-615 SSLVPN\r\n") and messages until the
//     seconds (default 8) are over;
//   "ambient <id>" and "event <id>" for every dispatch call that reached the container
//     (DISPID_AMBIENT_* and DWebBrowserEvents2 ids), "OnBrowserEvent <id> <url>" for each
//     event handed on, each followed by "LocationURL <address>";
//   "final LocationURL <address>"; "closed LocationURL <address>" after the child control
//     was destroyed (the control closes with it).
#include "platform/win32/windows_include.h"

#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/win32/handle_refs.h"
#include "platform/win32/win32_browser.h"

namespace {

using kestrun::platform::Browser;
using kestrun::platform::BrowserEvents;
using kestrun::platform::win32::AsRef;
using kestrun::platform::win32::Win32BrowserFactory;

constexpr int kChildId = 1001;
constexpr char kHeaders[] = "Varnel:TRV-615 SSLVPN\r\n";

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

class ProbeEvents : public BrowserEvents {
  public:
    void Bind(Browser* browser) { browser_ = browser; }
    void OnBrowserEvent(int dispId, const std::string& url) override {
        Say("OnBrowserEvent " + std::to_string(dispId) + " " + url);
        if (browser_ != nullptr) {
            Say("LocationURL " + browser_->LocationURL());
        }
    }

  private:
    Browser* browser_ = nullptr;
};

// The probe looks at the container, not at where pages may go.
bool AnyAddress(const std::string&, const std::string&, const std::string&) {
    return true;
}

bool Inside(HWND outer, HWND window) {
    return window != nullptr && (window == outer || IsChild(outer, window));
}

// Runs the thread's messages for a while; counts mouse-button presses that reached a window
// inside `watched`.
int Pump(DWORD milliseconds, HWND watched = nullptr) {
    int presses = 0;
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_LBUTTONDOWN && watched != nullptr && Inside(watched, msg.hwnd)) {
                ++presses;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) {
            return presses;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

void ClickAt(POINT point) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = point.x * 65535 / (width - 1);
        input.mi.dy = point.y * 65535 / (height - 1);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(3, inputs, sizeof(INPUT));
}

std::string Size(const RECT& rect) {
    return std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top);
}

void ReportLayout(const char* label, HWND child) {
    const HWND control = GetWindow(child, GW_CHILD);
    RECT controlRect = {};
    RECT childRect = {};
    GetWindowRect(control, &controlRect);
    GetClientRect(child, &childRect);
    char className[64] = "";
    GetClassNameA(control, className, sizeof(className));
    Say(std::string("layout ") + label + " class=" + className + " size " + Size(controlRect) +
        " child " + Size(childRect));
}

void ReportInput(const char* label, HWND window, HWND child) {
    const HWND control = GetWindow(child, GW_CHILD);
    SetForegroundWindow(window);
    // The control's window would take the focus if it could.
    SetFocus(control);
    RECT rect;
    GetWindowRect(child, &rect);
    ClickAt(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    const int clicks = Pump(500, child);
    Say(std::string(label) + " control-enabled=" + (IsWindowEnabled(control) ? "1" : "0") +
        " focus-inside=" + (Inside(child, GetFocus()) ? "1" : "0") +
        " clicks-inside=" + std::to_string(clicks));
}

LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    DWORD seconds = 8;
    std::string plain;
    std::string url;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-t") == 0 && i + 1 < argc) {
            seconds = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
        } else if (std::strcmp(argv[i], "-p") == 0 && i + 1 < argc) {
            plain = argv[++i];
        } else {
            url = argv[i];
        }
    }
    if (url.empty()) {
        std::fprintf(stderr, "usage: browser_probe [-t <seconds>] [-p <plain url>] <url>\n");
        return 2;
    }
    if (FAILED(OleInitialize(nullptr))) {
        Say("OleInitialize failed");
        return 1;
    }
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ProbeWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "KestrunBrowserProbe";
    RegisterClassA(&windowClass);
    const HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Browser Probe",
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 520, 320, nullptr,
                                        nullptr, instance, nullptr);
    // The main window's control 1001: 171 x 30 dialog units, an empty static text.
    const HWND child = CreateWindowExA(
        0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 20, 20, 342, 60, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kChildId)), instance, nullptr);

    int result = 0;
    {
        Win32BrowserFactory factory(
            [](const char* kind, long id) { Say(std::string(kind) + " " + std::to_string(id)); });
        ProbeEvents events;
        std::unique_ptr<Browser> browser =
            factory.Attach(AsRef(window), kChildId, events, AnyAddress);
        if (!browser) {
            Say("attach failed");
            result = 1;
        } else {
            Say("attach ok");
            events.Bind(browser.get());
            ProbeEvents unused;
            Say(factory.Attach(AsRef(window), kChildId, unused, AnyAddress)
                    ? "second attach accepted"
                    : "second attach refused");
            Pump(300);
            ReportLayout("attached", child);
            MoveWindow(child, 20, 20, 440, 200, TRUE);
            Pump(100);
            ReportLayout("grown", child);

            ReportInput("enabled", window, child);
            EnableWindow(child, FALSE);
            Say(std::string("disabled focus-kept=") + (Inside(child, GetFocus()) ? "1" : "0"));
            ReportInput("disabled", window, child);
            EnableWindow(child, TRUE);
            ReportInput("enabled again", window, child);

            if (!plain.empty()) {
                browser->Navigate(plain);
                Pump(1500);
            }
            browser->NavigateWithHeaders(url, kHeaders);
            Pump(seconds * 1000);
            Say("final LocationURL " + browser->LocationURL());

            DestroyWindow(child);
            Say("closed LocationURL " + browser->LocationURL());
            events.Bind(nullptr);
        }
    }
    DestroyWindow(window);
    OleUninitialize();
    return result;
}
