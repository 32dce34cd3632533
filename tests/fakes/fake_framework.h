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
#include "tests/fakes/journal.h"

namespace kestrun::platform::fake {

class FakeFramework : public Framework {
  public:
    explicit FakeFramework(Journal& journal) : journal_(journal) {}
    std::string LoadResourceString(std::uint32_t id) override;
    GdiRef CreateBackgroundBrush(std::uint32_t colorRef) override;
    std::unique_ptr<DialogHost> NewMainWindowHost() override;
    int RunMessageLoop(WindowRef mainWindow) override;

    GdiRef brush = 0xB0;
    bool mainWindowFails = false;
    // The last main window host made; it lives as long as the window object that owns it.
    FakeDialogHost* mainHost = nullptr;

  private:
    Journal& journal_;
};

// The whole windowing side, as the application receives it; its fakes record into the
// journal given, usually the platform's.
struct FakeDesktop {
    explicit FakeDesktop(Journal& journal)
        : framework(journal),
          shell(journal),
          painting(journal),
          dialogs(journal),
          icons(journal),
          browsers(journal),
          lists(journal) {}
    FakeFramework framework;
    FakeShell shell;
    FakePainting painting;
    FakeDialogFactory dialogs;
    FakeIcons icons;
    FakeBrowserFactory browsers;
    FakeReportLists lists;
    Desktop desktop{framework, shell, painting, dialogs, icons, browsers, lists};
};

}  // namespace kestrun::platform::fake
