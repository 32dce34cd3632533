// What an application framework gives a program besides the system calls: resources, the
// main window and its message loop. The entry point of each build provides it; the
// application decides what to do with it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/browser.h"
#include "platform/dialog_host.h"
#include "platform/icons.h"
#include "platform/painting.h"
#include "platform/report_list.h"
#include "platform/shell.h"
#include "platform/types.h"

namespace kestrun::platform {

class Framework {
  public:
    virtual ~Framework() = default;
    // A string resource's text.
    virtual std::string LoadResourceString(std::uint32_t id) = 0;
    // A solid brush of the colour (0x00BBGGRR) that lives as long as the framework.
    virtual GdiRef CreateBackgroundBrush(std::uint32_t colorRef) = 0;
    // A host for the application's main window: the window's destruction ends the
    // message loop.
    virtual std::unique_ptr<DialogHost> NewMainWindowHost() = 0;
    // Runs the message loop, with the dialog keyboard navigation of mainWindow, until the
    // main window's destruction ends it; returns the process's exit code.
    virtual int RunMessageLoop(WindowRef mainWindow) = 0;
};

// Everything the windowing side offers the application.
struct Desktop {
    Framework& framework;
    Shell& shell;
    Painting& painting;
    DialogFactory& dialogs;
    Icons& icons;
    BrowserFactory& browsers;
    ReportLists& lists;
};

}  // namespace kestrun::platform
