#include "platform/win32/windows_include.h"

#include <ole2.h>

#include <memory>

#include "app/main_dialog.h"
#include "platform/win32/win32_startup_host.h"

namespace kestrun::platform::win32 {

Win32StartupHost::~Win32StartupHost() {
    g_pMainDlg.reset();
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
    auto host = std::make_unique<Win32DialogHost>();
    host->EndMessageLoopWhenDestroyed();
    g_pMainDlg = std::make_unique<CKestrunDlg>(
        MainDialogServices{platform_, shell_, painting_, dialogs_, icons_}, std::move(host));
    if (!g_pMainDlg->Create()) {
        g_pMainDlg.reset();
        return 0;
    }
    return g_pMainDlg->Host().Handle();
}

void Win32StartupHost::HideWindow(WindowRef window) {
    ShowWindow(reinterpret_cast<HWND>(window), SW_HIDE);
}

}  // namespace kestrun::platform::win32
