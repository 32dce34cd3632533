#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {

Win32Platform::Win32Platform()
    : platform{profile,  files, system, clock,    trace, echo,
               registry, ui,    runner, services, net,   threads} {}

}  // namespace kestrun::platform::win32
