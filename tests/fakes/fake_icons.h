// Icons as numbers: the resources and files a test declares exist, every load logged.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/icons.h"

namespace kestrun::platform::fake {

class FakeIcons : public Icons {
  public:
    FakeIcons();
    GdiRef ProgramIcon(int resourceId) override;
    GdiRef IconFromFile(const std::string& path) override;

    // What exists: resource id -> icon, file path -> icon. By default the program's
    // icon 133 and the two tray icon files.
    std::map<int, GdiRef> resources;
    std::map<std::string, GdiRef> files;
    std::vector<std::string> log;
    // Also receives every log line when set (a test's one ordered record of calls).
    std::vector<std::string>* journal = nullptr;
};

}  // namespace kestrun::platform::fake
