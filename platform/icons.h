// Icons the main window shows: its own from the program's resources and the two tray
// icons loaded from files beside the program.
#pragma once

#include <string>

#include "platform/types.h"

namespace kestrun::platform {

class Icons {
  public:
    virtual ~Icons() = default;
    // LoadIconA of an icon resource of the program; 0 when missing. Shared, never freed.
    virtual GdiRef ProgramIcon(int resourceId) = 0;
    // LoadImageA(IMAGE_ICON, LR_DEFAULTSIZE | LR_LOADFROMFILE | LR_CREATEDIBSECTION) of a
    // file, relative to the current directory; 0 when it cannot be loaded. The icon stays
    // valid as long as this object lives.
    virtual GdiRef IconFromFile(const std::string& path) = 0;
};

}  // namespace kestrun::platform
