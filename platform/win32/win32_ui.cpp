#include "platform/win32/windows_include.h"

#include <new>
#include <vector>

#include "platform/win32/handle_refs.h"
#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {
namespace {

// No exception may leave through the system's frames: a list that cannot grow ends the walk.
BOOL CALLBACK CollectWindow(HWND window, LPARAM found) {
    try {
        reinterpret_cast<std::vector<WindowRef>*>(found)->push_back(AsRef(window));
        return TRUE;
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
}

}  // namespace

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

// EnumWindows rather than a GetWindow walk: a window destroyed during the walk could end it
// early or send it round in a loop.
std::vector<WindowRef> Win32Ui::TopLevelWindows() {
    std::vector<WindowRef> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
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
