// The composition root: the real services, handed to the application. A GUI program's
// runtime calls main as it would WinMain.
#include "app/program.h"
#include "platform/win32/win32_runtime.h"

int main() {
    kestrun::platform::win32::Win32Runtime runtime;
    return kestrun::RunProgram(runtime.PlatformServices(), runtime.DesktopServices(),
                               kestrun::platform::win32::Win32Runtime::CommandLineTail());
}
