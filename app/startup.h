// Start-up of the program: everything that runs once before the main window exists.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/types.h"

namespace kestrun {

// What start-up needs that only the windowing side can do.
class StartupHost {
  public:
    virtual ~StartupHost() = default;
    // Lets the main window host ActiveX controls (the embedded browser).
    virtual void EnableControlHosting() = 0;
    // A string resource's text.
    virtual std::string LoadResourceString(std::uint32_t id) = 0;
    // A solid brush of the colour (0x00BBGGRR) that lives until the process ends.
    virtual platform::GdiRef CreateBackgroundBrush(std::uint32_t colorRef) = 0;
    // Creates the main window, modeless, from its dialog template with no parent, which
    // runs its set-up. 0 when creation fails.
    virtual platform::WindowRef CreateMainWindow() = 0;
    // ShowWindow(SW_HIDE).
    virtual void HideWindow(platform::WindowRef window) = 0;
};

// The main window's background colour, RGB(247, 240, 222).
constexpr std::uint32_t kBackgroundColor = 247u | (240u << 8) | (222u << 16);

// Process-wide values that start-up sets.
extern platform::GdiRef g_brBackground;
extern std::string g_szProfileDir;

class CKestrunApp {
  public:
    CKestrunApp(platform::Platform& platform, StartupHost& host, std::string commandLine)
        : platform_(platform), host_(host), commandLine_(std::move(commandLine)) {}

    // True when the main window exists and the message loop should run; false when the
    // process is to end at once.
    bool InitInstance();

  private:
    void EnterProgramDirectory();
    bool LoadIcmpLibrary();
    void ReadProfileDirectory();

    platform::Platform& platform_;
    StartupHost& host_;
    std::string commandLine_;
};

}  // namespace kestrun
