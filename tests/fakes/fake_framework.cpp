#include "tests/fakes/fake_framework.h"

namespace kestrun::platform::fake {

std::string FakeFramework::LoadResourceString(std::uint32_t id) {
    journal_.Add("framework", "string " + std::to_string(id));
    return id == 103 ? "Windows sockets initialization failed." : "";
}

GdiRef FakeFramework::CreateBackgroundBrush(std::uint32_t colorRef) {
    journal_.Add("framework", "brush " + std::to_string(colorRef));
    return brush;
}

std::unique_ptr<DialogHost> FakeFramework::NewMainWindowHost() {
    journal_.Add("framework", "main window host");
    auto host = std::make_unique<FakeDialogHost>(journal_);
    host->failCreate = mainWindowFails;
    mainHost = host.get();
    return host;
}

int FakeFramework::RunMessageLoop(WindowRef mainWindow) {
    journal_.Add("framework", "message loop " + std::to_string(mainWindow));
    return 0;
}

}  // namespace kestrun::platform::fake
