#include "platform/win32/windows_include.h"

#include <vector>

#include "platform/win32/handle_refs.h"
#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {
WindowRef Win32Ui::FindWindowByTitle(const std::string& title) {
    return AsRef(FindWindowA(nullptr, title.c_str()));
}

bool Win32Ui::Post(WindowRef window, std::uint32_t message, std::uintptr_t wParam,
                   std::intptr_t lParam) {
    return PostMessageA(AsWindow(window), message, static_cast<WPARAM>(wParam),
                        static_cast<LPARAM>(lParam)) != FALSE;
}

int Win32Ui::MessageBox(WindowRef owner, const std::string& text, const std::string& caption,
                        std::uint32_t style) {
    return MessageBoxA(AsWindow(owner), text.c_str(), caption.c_str(), style);
}

std::vector<WindowRef> Win32Ui::TopLevelWindows() {
    std::vector<WindowRef> windows;
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); IsWindow(window);
         window = GetWindow(window, GW_HWNDNEXT)) {
        windows.push_back(AsRef(window));
    }
    return windows;
}

std::string Win32Ui::WindowText(WindowRef window, std::size_t bufferSize) {
    if (bufferSize == 0) {
        return std::string();
    }
    std::vector<char> buffer(bufferSize, '\0');
    const int length =
        GetWindowTextA(AsWindow(window), buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

void Win32Ui::ShowWaitCursor(bool wait) {
    SetCursor(LoadCursorA(nullptr, wait ? IDC_WAIT : IDC_ARROW));
}

}  // namespace kestrun::platform::win32
