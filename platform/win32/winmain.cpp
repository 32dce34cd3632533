// Program entry: the real services, handed to the application.
#include "platform/win32/windows_include.h"

#include "platform/program.h"
#include "platform/win32/win32_browser.h"
#include "platform/win32/win32_dialog_host.h"
#include "platform/win32/win32_framework.h"
#include "platform/win32/win32_icons.h"
#include "platform/win32/win32_painting.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_report_list.h"
#include "platform/win32/win32_shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    // Declared first, destroyed last: the application's objects use all of these until the
    // program returns.
    kestrun::platform::win32::Win32Platform real;
    kestrun::platform::win32::Win32Framework framework(instance);
    kestrun::platform::win32::Win32Shell shell;
    kestrun::platform::win32::Win32Painting painting;
    kestrun::platform::win32::Win32DialogFactory dialogs;
    kestrun::platform::win32::Win32Icons icons;
    kestrun::platform::win32::Win32BrowserFactory browsers;
    framework.SetMessageFilter(&browsers);
    kestrun::platform::win32::Win32ReportLists lists;
    kestrun::platform::Desktop desktop{framework, shell, painting, dialogs, icons, browsers, lists};
    return kestrun::RunProgram(real.platform, desktop, commandLine != nullptr ? commandLine : "");
}
