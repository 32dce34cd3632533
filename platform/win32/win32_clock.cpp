#include "platform/win32/windows_include.h"

#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {

std::uint32_t Win32Clock::TickCount() {
    return GetTickCount();
}

void Win32Clock::Sleep(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

}  // namespace kestrun::platform::win32
