#include "platform/win32/windows_include.h"

#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {

void Win32Trace::Output(const std::string& text) {
    OutputDebugStringA(text.c_str());
}

}  // namespace kestrun::platform::win32
