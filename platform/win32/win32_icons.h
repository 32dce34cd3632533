// Icons of the program's resources and icon files, the loaded files owned until the
// object goes away.
#pragma once

#include <vector>

#include "platform/icons.h"
#include "platform/win32/unique_handle.h"

namespace kestrun::platform::win32 {

class Win32Icons : public Icons {
  public:
    Win32Icons() = default;
    Win32Icons(const Win32Icons&) = delete;
    Win32Icons& operator=(const Win32Icons&) = delete;

    GdiRef ProgramIcon(int resourceId) override;
    GdiRef IconFromFile(const std::string& path) override;

  private:
    std::vector<UniqueIcon> loaded_;
};

}  // namespace kestrun::platform::win32
