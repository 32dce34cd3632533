// Start-up of the program: everything that runs once before the message loop.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/machine_facts.h"
#include "netprobe/liveness.h"
#include "platform/framework.h"
#include "platform/platform.h"

namespace kestrun {

class CKestrunDlg;

// The main window's background colour, RGB(247, 240, 222).
constexpr std::uint32_t kBackgroundColor = 247u | (240u << 8) | (222u << 16);

// The application object. It owns what lives as long as the process: the facts start-up
// learns, the flags the echo workers share, and the main window object.
class CKestrunApp {
  public:
    CKestrunApp(platform::Platform& platform, platform::Desktop& desktop, std::string commandLine);
    virtual ~CKestrunApp();
    CKestrunApp(const CKestrunApp&) = delete;
    CKestrunApp& operator=(const CKestrunApp&) = delete;

    // True when the main window exists and the message loop should run; false when the
    // process is to end at once.
    bool InitInstance();

    const MachineFacts& Machine() const { return m_Machine; }
    const Liveness& LivenessFlags() const { return m_Liveness; }
    // The main window object: made by start-up, released after the message loop; nullptr
    // when start-up ended the process.
    CKestrunDlg* MainWindow() const { return m_pMainDlg.get(); }

  protected:
    // The main window object and its window from the template, which runs its set-up, then
    // hidden. False when the window cannot be created.
    virtual bool CreateMainWindow(int vpnMode, platform::GdiRef background);

  private:
    bool EnterProgramDirectory();
    bool ProgramFolderClosedToUsers();
    bool LoadIcmpLibrary();
    void ReadProfileDirectory();

    platform::Platform& platform_;
    platform::Desktop& desktop_;
    std::string commandLine_;
    MachineFacts m_Machine;
    Liveness m_Liveness;
    std::unique_ptr<CKestrunDlg> m_pMainDlg;
};

}  // namespace kestrun
