#include "platform/win32/win32_shell.h"

#include "platform/win32/handle_refs.h"
#include "platform/win32/windows_include.h"
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include <cstring>

namespace kestrun::platform::win32 {
namespace {

constexpr const char* kHiddenWindowClass = "KestrunHiddenWindow";

static_assert(sizeof(NOTIFYICONDATAA) >= kNotifyIconRecordSize,
              "the version-2 record must fit in the system's record");
static_assert(sizeof(NOTIFYICONDATAA::szTip) == sizeof(NotifyIconRecord::szTip),
              "the tip field must be the version-2 one");

LRESULT CALLBACK HiddenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* sink = reinterpret_cast<MessageSink*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    }
    if (sink != nullptr) {
        const MsgResult result = sink->OnMessage(Msg{message, wParam, lParam});
        if (result.handled) {
            return result.value;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A window class with default attributes: no cursor, background brush or icon.
bool RegisterHiddenWindowClass() {
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &HiddenWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kHiddenWindowClass;
        return RegisterClassA(&windowClass) != 0;
    }();
    return registered;
}

}  // namespace

WindowRef Win32Shell::CreateHiddenWindow(const std::string& title, MessageSink& sink) {
    if (!RegisterHiddenWindowClass()) {
        return 0;
    }
    HWND window = CreateWindowExA(0, kHiddenWindowClass, title.c_str(), WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), &sink);
    return reinterpret_cast<WindowRef>(window);
}

void Win32Shell::DestroyWindow(WindowRef window) {
    ::DestroyWindow(AsWindow(window));
}

bool Win32Shell::NotifyIcon(std::uint32_t action, const NotifyIconRecord& record) {
    NOTIFYICONDATAA data{};
    data.cbSize = record.cbSize;
    data.hWnd = AsWindow(record.hWnd);
    data.uID = record.uID;
    data.uFlags = record.uFlags;
    data.uCallbackMessage = record.uCallbackMessage;
    data.hIcon = reinterpret_cast<HICON>(record.hIcon);
    std::memcpy(data.szTip, record.szTip.data(), sizeof(data.szTip));
    data.szTip[sizeof(data.szTip) - 1] = '\0';
    return Shell_NotifyIconA(action, &data) != FALSE;
}

std::uint32_t Win32Shell::RegisterMessageName(const std::string& name) {
    return RegisterWindowMessageA(name.c_str());
}

MenuRef Win32Shell::LoadMenuResource(int resourceId) {
    return reinterpret_cast<MenuRef>(
        LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId)));
}

MenuRef Win32Shell::GetSubMenu(MenuRef menu, int position) {
    return reinterpret_cast<MenuRef>(::GetSubMenu(AsMenu(menu), position));
}

bool Win32Shell::ModifyMenuByPosition(MenuRef menu, int position, std::uint32_t commandId,
                                      const std::string& text) {
    return ModifyMenuA(AsMenu(menu), static_cast<UINT>(position), MF_BYPOSITION | MF_STRING,
                       commandId, text.c_str()) != FALSE;
}

bool Win32Shell::TrackPopupMenu(MenuRef menu, std::uint32_t flags, int x, int y, WindowRef owner) {
    return ::TrackPopupMenu(AsMenu(menu), flags, x, y, 0, AsWindow(owner), nullptr) != FALSE;
}

void Win32Shell::DestroyMenu(MenuRef menu) {
    ::DestroyMenu(AsMenu(menu));
}

bool Win32Shell::GetCursorPos(int& x, int& y) {
    POINT point{};
    if (!::GetCursorPos(&point)) {
        return false;
    }
    x = point.x;
    y = point.y;
    return true;
}

bool Win32Shell::SetForegroundWindow(WindowRef window) {
    return ::SetForegroundWindow(AsWindow(window)) != FALSE;
}

}  // namespace kestrun::platform::win32
