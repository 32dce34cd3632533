// The main window on the fakes: a healthy PC (the IPsec service runs, the LAN adapter
// carries the default route, the VPN's virtual adapter is present) and helpers for the
// settings file, for the tests of the window and of its sequencer and for the tick benchmark.
#pragma once

#include <memory>
#include <string>

#include "app/main_dialog.h"
#include "app/messages.h"
#include "netprobe/os_type.h"
#include "res/resource.h"
#include "tests/fakes/fake_browser.h"
#include "tests/fakes/fake_dialog_host.h"
#include "tests/fakes/fake_icons.h"
#include "tests/fakes/fake_painting.h"
#include "tests/fakes/fake_platform.h"
#include "tests/fakes/fake_report_list.h"
#include "tests/fakes/fake_shell.h"
#include "tests/support/adapter_records.h"
#include "tests/support/scoped_work_dir.h"

namespace kestrun::test {

constexpr platform::GdiRef kDialogFont = 0x7000;
constexpr platform::GdiRef kBrush = 0x8000;
constexpr const char* kVirtualAdapter = "{A1B2C3D4-0000-1111-2222-ABCDEF012345}";

// The main window on a healthy PC, without a test framework: the unit tests and the tick
// benchmark build on it.
class MainWindowWorld {
  public:
    MainWindowWorld() {
        machine.m_nOSType = OS_WINXP;
        fake.echo.libraries["Iphlpapi.dll"] = {"IcmpCreateFile", "IcmpCloseHandle", "IcmpSendEcho"};
        platform::EchoLoad outcome;
        machine.m_pIcmpEcho = fake.echo.Load("Iphlpapi.dll", outcome);
        fake.system.currentDirectory = "C:\\Kestrun";
        fake.clock.now = 424242;
        fake.services.services["PolicyAgent"];
        fake.net.routes = {{0, 2}};
        fake.net.adapters = {
            Adapter(7, "Varnel Ostrimel Adapter", "10.1.99.6", "255.255.255.252", kVirtualAdapter),
            Adapter(2, "LAN", "192.168.1.5", "255.255.255.0", "{LAN}")};
        painting.fontHeights[kDialogFont] = -12;
        fake.journal.Clear();
    }
    MainWindowWorld(const MainWindowWorld&) = delete;
    MainWindowWorld& operator=(const MainWindowWorld&) = delete;

    // Makes the window object; its set-up runs with dlg->Create().
    void Make(int vpnMode = VPN_MODE_IPSEC) {
        auto made = std::make_unique<platform::fake::FakeDialogHost>(fake.journal);
        host = made.get();
        host->font = kDialogFont;
        dlg = std::make_unique<CKestrunDlg>(
            MainDialogServices{fake.platform, shell, painting, dialogs, icons, browsers, lists},
            MainDialogShared{machine, liveness, kBrush}, vpnMode, std::move(made));
    }

    void Set(const std::string& key, const std::string& value,
             const std::string& path = ".\\Setting.tmp") {
        fake.profile.WriteString("IPSec", key, value, path);
    }
    std::string Get(const std::string& key, const std::string& path = ".\\Setting.tmp") {
        return fake.profile.GetString("IPSec", key, "<absent>", 260, path);
    }
    bool Ran(const std::string& command) { return fake.journal.Has("runner: " + command); }
    // The connection, as its queries show it.
    const ConnectionSequencer& Connection() const { return dlg->Connection(); }

    // A user's Connect to address.
    void ConnectTo(const std::string& address = "https://router/") {
        host->texts[IDC_COMBO_URL] = address;
        host->Deliver(CommandMsg(IDC_BUTTON_CONNECT));
    }
    // A page completes in the embedded browser, with location as its top-level address.
    // The browser is made when the window is first shown.
    void PageCompletes(const std::string& location = "https://router/auth.asp") {
        if (browsers.events == nullptr) {
            host->Deliver(CommandMsg(ID_SHOW_MAIN));
        }
        browsers.location = location;
        browsers.events->OnBrowserEvent(platform::kDispDocumentComplete, "frame.html");
    }
    // Unanswered link checks until the exit request is posted; how many it took, -1 when
    // none came within limit.
    int PollsUntilExit(int limit) {
        liveness.m_bLANConnected = 0;
        for (int poll = 1; poll <= limit; ++poll) {
            host->Deliver(TimerMsg(1));
            if (!host->posted.empty() && host->posted.back().message == WM_KESTRUN_EXIT) {
                return poll;
            }
        }
        return -1;
    }

    ScopedWorkDir dir;
    platform::fake::FakePlatform fake;
    platform::fake::FakeShell shell{fake.journal};
    platform::fake::FakePainting painting{fake.journal};
    platform::fake::FakeDialogFactory dialogs{fake.journal};
    platform::fake::FakeIcons icons{fake.journal};
    platform::fake::FakeBrowserFactory browsers{fake.journal};
    platform::fake::FakeReportLists lists{fake.journal};
    platform::fake::FakeDialogHost* host = nullptr;
    // A user whose profile directory is known: the profile watch runs.
    MachineFacts machine = [] {
        MachineFacts facts;
        facts.m_szProfileDir = "profile";
        return facts;
    }();
    Liveness liveness;
    std::unique_ptr<CKestrunDlg> dlg;
};

}  // namespace kestrun::test
