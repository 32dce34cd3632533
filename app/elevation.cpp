#include "app/elevation.h"

#include "app/messages.h"
#include "platform/format.h"
#include "platform/window_message.h"

namespace kestrun {
namespace {

constexpr std::size_t kProgramPathBuffer = 32768;

bool FromVistaOn(platform::System& system) {
    platform::OsVersion version;
    return system.GetVersion(version, false) && version.platformId == platform::kPlatformNt &&
           version.major >= 6;
}

}  // namespace

bool GoOnWithAdministratorRights(platform::Platform& platform, const std::string& commandLine) {
    if (!FromVistaOn(platform.system) ||
        platform.system.ProcessElevation() != platform::Elevation::kFiltered) {
        return true;
    }
    const auto program = platform.system.ModuleFileName(kProgramPathBuffer);
    const std::uint32_t error =
        program ? platform.system.StartElevated(*program, commandLine,
                                                platform.system.CurrentDirectory())
                : platform::kErrorFileNotFound;  // the program cannot be named
    if (error == 0) {
        platform.trace.Output("Restart elevated!!!\n");
    } else if (error == platform::kErrorCancelled) {
        platform.trace.Output("Elevation declined!!!\n");
    } else {
        platform.trace.Output(Format("Elevation failed (%u).\n", error));
    }
    return false;
}

void AllowExitAndShowFromUnelevated(platform::Platform& platform, platform::WindowRef mainWindow) {
    if (!FromVistaOn(platform.system)) {
        return;
    }
    for (const std::uint32_t message : {WM_KESTRUN_EXIT, platform::kWmCommand}) {
        if (!platform.ui.AllowFromLowerIntegrity(mainWindow, message)) {
            platform.trace.Output(Format("Message filter 0x%x failed.\n", message));
        }
    }
}

}  // namespace kestrun
