#include "platform/win32/windows_include.h"

#include <ole2.h>

#include "platform/win32/main_window.h"
#include "platform/win32/win32_startup_host.h"

namespace kestrun::platform::win32 {

Win32StartupHost::~Win32StartupHost() {
    if (oleStarted_) {
        OleUninitialize();
    }
}

void Win32StartupHost::EnableControlHosting() {
    // The embedded browser is an ActiveX control; hosting it needs OLE on this thread.
    oleStarted_ = SUCCEEDED(OleInitialize(nullptr));
}

std::string Win32StartupHost::LoadResourceString(std::uint32_t id) {
    char buffer[512];
    const int length = LoadStringA(instance_, id, buffer, static_cast<int>(sizeof(buffer)));
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

GdiRef Win32StartupHost::CreateBackgroundBrush(std::uint32_t colorRef) {
    brush_.Reset(CreateSolidBrush(static_cast<COLORREF>(colorRef)));
    return reinterpret_cast<GdiRef>(brush_.Get());
}

WindowRef Win32StartupHost::CreateMainWindow() {
    return reinterpret_cast<WindowRef>(win32::CreateMainWindow(instance_));
}

void Win32StartupHost::HideWindow(WindowRef window) {
    ShowWindow(reinterpret_cast<HWND>(window), SW_HIDE);
}

}  // namespace kestrun::platform::win32
