// The framework and the windowing side of the tests: the main window's host is a fake
// dialog host that the test can reach, and the message loop returns at once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/framework.h"
#include "tests/fakes/fake_browser.h"
#include "tests/fakes/fake_dialog_host.h"
#include "tests/fakes/fake_icons.h"
#include "tests/fakes/fake_painting.h"
#include "tests/fakes/fake_report_list.h"
#include "tests/fakes/fake_shell.h"

namespace kestrun::platform::fake {

class FakeFramework : public Framework {
  public:
    void EnableControlHosting() override { calls.push_back("hosting"); }
    std::string LoadResourceString(std::uint32_t id) override;
    GdiRef CreateBackgroundBrush(std::uint32_t colorRef) override;
    std::unique_ptr<DialogHost> NewMainWindowHost() override;
    int RunMessageLoop(WindowRef mainWindow) override;

    std::vector<std::string> calls;
    GdiRef brush = 0xB0;
    bool mainWindowFails = false;
    // The last main window host made; it lives as long as the window object that owns it.
    FakeDialogHost* mainHost = nullptr;
};

// The whole windowing side, as the application receives it.
struct FakeDesktop {
    FakeFramework framework;
    FakeShell shell;
    FakePainting painting;
    FakeDialogFactory dialogs;
    FakeIcons icons;
    Journal journal;
    FakeBrowserFactory browsers{journal};
    FakeReportLists lists{journal};
    Desktop desktop{framework, shell, painting, dialogs, icons, browsers, lists};
};

}  // namespace kestrun::platform::fake
