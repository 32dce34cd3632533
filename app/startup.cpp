#include "app/startup.h"

#include "app/command_line.h"
#include "app/elevation.h"
#include "app/main_dialog.h"
#include "app/messages.h"
#include "app/program_directory.h"
#include "app/window_texts.h"
#include "netprobe/os_type.h"
#include "netprobe/trusted_site.h"
#include "platform/format.h"
#include "platform/ui.h"
#include "res/resource.h"
#include "settings/setting_file.h"

namespace kestrun {
namespace {

constexpr std::size_t kModulePathBuffer = 256;
constexpr std::size_t kProfileDirBuffer = 255;
constexpr std::uint32_t kRemoveWaitMs = 1000;
constexpr const char* kErrorCaption = "Error:";
// The framework titles its own error boxes with the program's name.
constexpr const char* kSocketsCaption = "Kestrun";

}  // namespace

CKestrunApp::CKestrunApp(platform::Platform& platform, platform::Desktop& desktop,
                         std::string commandLine)
    : platform_(platform), desktop_(desktop), commandLine_(std::move(commandLine)) {}

// The main window object goes first: its end still uses the facts and the flags.
CKestrunApp::~CKestrunApp() {
    m_pMainDlg.reset();
}

bool CKestrunApp::InitInstance() {
    platform::Ui& ui = platform_.ui;
    if (!platform_.system.InitSockets()) {
        ui.MessageBox(0, desktop_.framework.LoadResourceString(IDS_SOCKETS_INIT_FAILED),
                      kSocketsCaption, platform::kMbOk | platform::kMbIconExclamation);
        return false;
    }
    const bool inProgramFolder = EnterProgramDirectory();

    const platform::WindowRef running = ui.FindWindowByTitle(kMainWindowTitle);
    m_Machine.m_nOSType = GetOSType(platform_.system, platform_.trace);

    if (IsRemoveRequest(commandLine_)) {
        ui.Post(running, WM_KESTRUN_EXIT, 0, 0);
        platform_.clock.Sleep(kRemoveWaitMs);
        platform_.trace.Output("Remove!!!");
        return false;
    }
    if (running != 0) {
        platform_.trace.Output("Close!!!");
        return false;
    }
    if (!inProgramFolder || !ProgramFolderClosedToUsers()) {
        return false;
    }
    if (!GoOnWithAdministratorRights(platform_.system, platform_.trace, commandLine_)) {
        return false;
    }
    // Every script runs with these rights and calls its tools by bare name.
    if (!platform_.system.UseSystemSearchPath()) {
        platform_.trace.Output("System search path cannot be read: the inherited one is kept\n");
    }
    if (IsPortalAddress(commandLine_) && CheckTrustedSite(platform_.registry, platform_.trace,
                                                          m_Machine.m_nOSType, commandLine_) == 0) {
        ui.MessageBox(0,
                      "Please add the URL into trusted sites of browser (internet options > "
                      "Security : Trusted Sites) for running Ostrimel.",
                      texts::kWarningCaption, platform::kMbIconExclamation | platform::kMbTopmost);
        return false;
    }
    if (!LoadIcmpLibrary()) {
        return false;
    }

    m_Liveness.m_bLANConnected = 0;
    const int vpnMode =
        SettingFile(platform_.profile, kWorkingCopyPath).VpnMode(settings::Reader::kStartUp);
    const platform::GdiRef background = desktop_.framework.CreateBackgroundBrush(kBackgroundColor);
    ReadProfileDirectory();
    return CreateMainWindow(vpnMode, background);
}

bool CKestrunApp::CreateMainWindow(int vpnMode, platform::GdiRef background) {
    m_pMainDlg = std::make_unique<CKestrunDlg>(
        MainDialogServices{platform_, desktop_.shell, desktop_.painting, desktop_.dialogs,
                           desktop_.icons, desktop_.browsers, desktop_.lists},
        MainDialogShared{m_Machine, m_Liveness, background}, vpnMode,
        desktop_.framework.NewMainWindowHost());
    if (!m_pMainDlg->Create()) {
        m_pMainDlg.reset();
        return false;
    }
    AllowExitAndShowFromUnelevated(platform_.system, platform_.ui, platform_.trace,
                                   m_pMainDlg->Host().Handle());
    m_pMainDlg->Host().ShowWindow(platform::kSwHide);
    return true;
}

// Every file the program uses is addressed relative to its own directory; anywhere else,
// the launcher's current directory would supply the scripts.
bool CKestrunApp::EnterProgramDirectory() {
    const auto modulePath = platform_.system.ModuleFileName(kModulePathBuffer);
    const auto directory = modulePath ? ProgramDirectoryOf(*modulePath) : std::nullopt;
    if (directory) {
        platform_.trace.Output(*directory);
    }
    if (!directory || !platform_.system.SetCurrentDirectory(*directory)) {
        platform_.ui.MessageBox(0, "The program's folder cannot be found or entered.",
                                kErrorCaption, platform::kMbOk);
        return false;
    }
    return true;
}

// What cmd and the loader find in the program folder runs with administrator rights.
bool CKestrunApp::ProgramFolderClosedToUsers() {
    const std::string folder = platform_.system.CurrentDirectory();
    const std::optional<std::string> why = platform_.system.OthersCanChangeFolder(folder);
    if (!why) {
        return true;
    }
    platform_.trace.Output(
        Format("Program folder %s is open to users: %s\n", folder.c_str(), why->c_str()));
    platform_.ui.MessageBox(0,
                            Format("Users other than administrators can change the folder %s.\n"
                                   "Please install Ostrimel again, or let only administrators "
                                   "change that folder.",
                                   folder.c_str()),
                            texts::kWarningCaption,
                            platform::kMbIconExclamation | platform::kMbTopmost);
    return false;
}

bool CKestrunApp::LoadIcmpLibrary() {
    const bool fromIcmpDll = m_Machine.m_nOSType == OS_WIN2000;
    platform::EchoLoad outcome = platform::EchoLoad::Loaded;
    m_Machine.m_pIcmpEcho = platform_.echo.Load(fromIcmpDll ? "ICMP.DLL" : "Iphlpapi.dll", outcome);
    if (outcome == platform::EchoLoad::NoLibrary) {
        platform_.ui.MessageBox(
            0, fromIcmpDll ? "Could not load ICMP.DLL" : "Could not load IPHlpAPI.DLL",
            kErrorCaption, platform::kMbOk);
        return false;
    }
    if (outcome == platform::EchoLoad::MissingEntry || !m_Machine.m_pIcmpEcho) {
        platform_.ui.MessageBox(0, "Error loading DLL", kErrorCaption, platform::kMbOk);
        return false;
    }
    return true;
}

void CKestrunApp::ReadProfileDirectory() {
    // A failure leaves the directory empty.
    m_Machine.m_szProfileDir =
        platform_.system.UserProfileDirectory(kProfileDirBuffer).value_or("");
    platform_.trace.Output(
        Format("GetUserProfileDirectory=[%s]\n", m_Machine.m_szProfileDir.c_str()));
}

}  // namespace kestrun
