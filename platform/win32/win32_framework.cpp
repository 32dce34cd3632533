#include "platform/win32/win32_framework.h"

#include "platform/win32/windows_include.h"

#include <vector>

#include "platform/win32/handle_refs.h"
#include "platform/win32/win32_dialog_host.h"

namespace kestrun::platform::win32 {

std::string Win32Framework::LoadResourceString(std::uint32_t id) {
    std::vector<char> buffer(512);
    const int length = LoadStringA(instance_, id, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

GdiRef Win32Framework::CreateBackgroundBrush(std::uint32_t colorRef) {
    brush_.Reset(CreateSolidBrush(static_cast<COLORREF>(colorRef)));
    return reinterpret_cast<GdiRef>(brush_.Get());
}

std::unique_ptr<DialogHost> Win32Framework::NewMainWindowHost() {
    auto host = std::make_unique<Win32DialogHost>();
    host->EndMessageLoopWhenDestroyed();
    return host;
}

int Win32Framework::RunMessageLoop(WindowRef mainWindow) {
    HWND dialog = AsWindow(mainWindow);
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) {
            break;
        }
        if (got == -1) {
            return 1;
        }
        if (filter_ != nullptr && filter_->PreTranslate(message)) {
            continue;
        }
        // The main window is a modeless dialog: its keyboard navigation needs this.
        if (IsWindow(dialog) && IsDialogMessageA(dialog, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace kestrun::platform::win32
