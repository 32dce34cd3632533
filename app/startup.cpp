#include "app/startup.h"

#include "app/command_line.h"
#include "app/messages.h"
#include "app/program_directory.h"
#include "netprobe/icmp_library.h"
#include "netprobe/liveness.h"
#include "netprobe/os_type.h"
#include "netprobe/trusted_site.h"
#include "platform/format.h"
#include "platform/ui.h"
#include "res/resource.h"
#include "settings/decimal.h"
#include "settings/setting_keys.h"
#include "settings/tunnel_settings.h"
#include "settings/working_copy.h"

namespace kestrun {

platform::GdiRef g_brBackground = 0;
std::string g_szProfileDir;

namespace {

constexpr std::size_t kModulePathBuffer = 256;
constexpr std::size_t kProfileDirBuffer = 255;
constexpr std::uint32_t kRemoveWaitMs = 1000;
constexpr const char* kErrorCaption = "Error:";
constexpr const char* kWarningCaption = "Warnning";
// The framework titles its own error boxes with the program's name.
constexpr const char* kSocketsCaption = "Kestrun";

}  // namespace

bool CKestrunApp::InitInstance() {
    platform::Ui& ui = platform_.ui;
    if (!platform_.system.InitSockets()) {
        ui.MessageBox(0, host_.LoadResourceString(IDS_SOCKETS_INIT_FAILED), kSocketsCaption,
                      platform::kMbOk | platform::kMbIconExclamation);
        return false;
    }
    host_.EnableControlHosting();
    EnterProgramDirectory();

    const platform::WindowRef running = ui.FindWindowByTitle(kMainWindowTitle);
    g_nOSType = GetOSType(platform_);

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
    if (IsPortalAddress(commandLine_) && CheckTrustedSite(platform_, commandLine_) == 0) {
        ui.MessageBox(0,
                      "Please add the URL into trusted sites of browser (internet options > "
                      "Security : Trusted Sites) for running Ostrimel.",
                      kWarningCaption, platform::kMbIconExclamation | platform::kMbTopmost);
        return false;
    }
    if (!LoadIcmpLibrary()) {
        return false;
    }

    g_bLANConnected = 0;
    g_nVPNMode =
        ParseDecimal(settings::ReadValue(platform_.profile, settings::kKeyVpnMode,
                                         settings::kDefaultVpnMode, settings::kStartupModeBuffer));
    g_brBackground = host_.CreateBackgroundBrush(kBackgroundColor);
    ReadProfileDirectory();

    const platform::WindowRef mainWindow = host_.CreateMainWindow();
    if (mainWindow == 0) {
        return false;
    }
    host_.HideWindow(mainWindow);
    return true;
}

// Every file the program uses is addressed relative to its own directory.
void CKestrunApp::EnterProgramDirectory() {
    const auto modulePath = platform_.system.ModuleFileName(kModulePathBuffer);
    if (!modulePath) {
        return;
    }
    const auto directory = ProgramDirectoryOf(*modulePath);
    if (!directory) {
        return;
    }
    platform_.trace.Output(*directory);
    platform_.system.SetCurrentDirectory(*directory);
}

bool CKestrunApp::LoadIcmpLibrary() {
    const bool fromIcmpDll = g_nOSType == OS_WIN2000;
    const std::string name = fromIcmpDll ? "ICMP.DLL" : "Iphlpapi.dll";
    auto library = platform_.modules.Load(name);
    if (!library) {
        platform_.ui.MessageBox(
            0, fromIcmpDll ? "Could not load ICMP.DLL" : "Could not load IPHlpAPI.DLL",
            kErrorCaption, platform::kMbOk);
        return false;
    }
    void* createFile = library->Entry("IcmpCreateFile");
    void* closeHandle = library->Entry("IcmpCloseHandle");
    void* sendEcho = library->Entry("IcmpSendEcho");
    if (createFile == nullptr || closeHandle == nullptr || sendEcho == nullptr) {
        platform_.ui.MessageBox(0, "Error loading DLL", kErrorCaption, platform::kMbOk);
        return false;  // destroying the module frees the library
    }
    library->Keep();
    g_hIcmpDll = std::move(library);
    g_pfnIcmpCreateFile = createFile;
    g_pfnIcmpCloseHandle = closeHandle;
    g_pfnIcmpSendEcho = sendEcho;
    return true;
}

void CKestrunApp::ReadProfileDirectory() {
    // A failure leaves the directory empty.
    g_szProfileDir = platform_.system.UserProfileDirectory(kProfileDirBuffer).value_or("");
    platform_.trace.Output(Format("GetUserProfileDirectory=[%s]\n", g_szProfileDir.c_str()));
}

}  // namespace kestrun
