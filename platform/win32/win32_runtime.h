// Every real service of the program, for the composition root, which sees no Windows header.
#pragma once

#include <memory>
#include <string>

#include "platform/framework.h"
#include "platform/platform.h"

namespace kestrun::platform::win32 {

class Win32Runtime {
  public:
    Win32Runtime();
    ~Win32Runtime();
    Win32Runtime(const Win32Runtime&) = delete;
    Win32Runtime& operator=(const Win32Runtime&) = delete;

    Platform& PlatformServices();
    Desktop& DesktopServices();
    // The command line without the program's name, as the runtime hands it to WinMain.
    static std::string CommandLineTail();

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace kestrun::platform::win32
