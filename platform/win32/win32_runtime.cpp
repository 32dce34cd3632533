#include "platform/win32/win32_runtime.h"

#include "platform/win32/windows_include.h"

#include "platform/win32/win32_browser.h"
#include "platform/win32/win32_dialog_host.h"
#include "platform/win32/win32_framework.h"
#include "platform/win32/win32_icons.h"
#include "platform/win32/win32_painting.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_report_list.h"
#include "platform/win32/win32_shell.h"

namespace kestrun::platform::win32 {

// Declared first, destroyed last: the application's objects use all of these until the
// program returns.
struct Win32Runtime::Parts {
    Win32Platform real;
    Win32Framework framework{GetModuleHandleA(nullptr)};
    Win32Shell shell;
    Win32Painting painting;
    Win32DialogFactory dialogs;
    Win32Icons icons;
    Win32BrowserFactory browsers;
    Win32ReportLists lists;
    Desktop desktop{framework, shell, painting, dialogs, icons, browsers, lists};
};

Win32Runtime::Win32Runtime() : parts_(std::make_unique<Parts>()) {
    parts_->framework.SetMessageFilter(&parts_->browsers);
}

Win32Runtime::~Win32Runtime() = default;

Platform& Win32Runtime::PlatformServices() {
    return parts_->real.platform;
}

Desktop& Win32Runtime::DesktopServices() {
    return parts_->desktop;
}

std::string Win32Runtime::CommandLineTail() {
    const char* line = GetCommandLineA();
    if (line == nullptr) {
        return {};
    }
    // The program's name ends at the first blank outside quotes; the blanks after it go too.
    bool quoted = false;
    while (*line != '\0' && (quoted || static_cast<unsigned char>(*line) > ' ')) {
        if (*line == '"') {
            quoted = !quoted;
        }
        ++line;
    }
    while (*line != '\0' && static_cast<unsigned char>(*line) <= ' ') {
        ++line;
    }
    return line;
}

}  // namespace kestrun::platform::win32
