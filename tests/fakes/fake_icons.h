// Icons as numbers: the resources and files a test declares exist, every load recorded.
#pragma once

#include <map>
#include <string>

#include "platform/icons.h"
#include "tests/fakes/journal.h"

namespace kestrun::platform::fake {

class FakeIcons : public Icons {
  public:
    explicit FakeIcons(Journal& journal);
    GdiRef ProgramIcon(int resourceId) override;
    GdiRef IconFromFile(const std::string& path) override;

    // What exists: resource id -> icon, file path -> icon. By default the program's
    // icon 133 and the two tray icon files.
    std::map<int, GdiRef> resources;
    std::map<std::string, GdiRef> files;

  private:
    Journal& journal_;
};

}  // namespace kestrun::platform::fake
