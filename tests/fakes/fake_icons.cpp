#include "tests/fakes/fake_icons.h"

#include "platform/format.h"

namespace kestrun::platform::fake {

FakeIcons::FakeIcons() {
    resources[133] = 0x1330;
    files["res\\icon_link.ico"] = 0x1410;
    files["res\\icon_NoLink.ico"] = 0x1420;
}

GdiRef FakeIcons::ProgramIcon(int resourceId) {
    const std::string line = Format("ProgramIcon %d", resourceId);
    log.push_back(line);
    if (journal != nullptr) {
        journal->push_back("icons: " + line);
    }
    auto it = resources.find(resourceId);
    return it == resources.end() ? 0 : it->second;
}

GdiRef FakeIcons::IconFromFile(const std::string& path) {
    const std::string line = "IconFromFile " + path;
    log.push_back(line);
    if (journal != nullptr) {
        journal->push_back("icons: " + line);
    }
    auto it = files.find(path);
    return it == files.end() ? 0 : it->second;
}

}  // namespace kestrun::platform::fake
