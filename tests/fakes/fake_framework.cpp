#include "tests/fakes/fake_framework.h"

namespace kestrun::platform::fake {

std::string FakeFramework::LoadResourceString(std::uint32_t id) {
    calls.push_back("string " + std::to_string(id));
    return id == 103 ? "Windows sockets initialization failed." : "";
}

GdiRef FakeFramework::CreateBackgroundBrush(std::uint32_t colorRef) {
    calls.push_back("brush " + std::to_string(colorRef));
    return brush;
}

std::unique_ptr<DialogHost> FakeFramework::NewMainWindowHost() {
    calls.push_back("main window host");
    auto host = std::make_unique<FakeDialogHost>();
    host->failCreate = mainWindowFails;
    mainHost = host.get();
    return host;
}

int FakeFramework::RunMessageLoop(WindowRef mainWindow) {
    calls.push_back("message loop " + std::to_string(mainWindow));
    return 0;
}

}  // namespace kestrun::platform::fake
