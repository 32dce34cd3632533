#include "tests/fakes/fake_icons.h"

#include "platform/format.h"

namespace kestrun::platform::fake {

FakeIcons::FakeIcons(Journal& journal) : journal_(journal) {
    resources[133] = 0x1330;
    files["res\\icon_link.ico"] = 0x1410;
    files["res\\icon_NoLink.ico"] = 0x1420;
}

GdiRef FakeIcons::ProgramIcon(int resourceId) {
    journal_.Add("icons", Format("ProgramIcon %d", resourceId));
    auto it = resources.find(resourceId);
    return it == resources.end() ? 0 : it->second;
}

GdiRef FakeIcons::IconFromFile(const std::string& path) {
    journal_.Add("icons", "IconFromFile " + path);
    auto it = files.find(path);
    return it == files.end() ? 0 : it->second;
}

}  // namespace kestrun::platform::fake
