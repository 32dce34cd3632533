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

bool GoOnWithAdministratorRights(platform::System& system, platform::Trace& trace,
                                 const std::string& commandLine) {
    if (!FromVistaOn(system) || system.ProcessElevation() != platform::Elevation::kFiltered) {
        return true;
    }
    const auto program = system.ModuleFileName(kProgramPathBuffer);
    const std::uint32_t error = program
                                    ? system.StartElevated(*program, commandLine,
                                                           system.CurrentDirectory())
                                    : platform::kErrorFileNotFound;  // the program cannot be named
    if (error == 0) {
        trace.Output("Restart elevated!!!\n");
    } else if (error == platform::kErrorCancelled) {
        trace.Output("Elevation declined!!!\n");
    } else {
        trace.Output(Format("Elevation failed (%u).\n", error));
    }
    return false;
}

void AllowExitAndShowFromUnelevated(platform::System& system, platform::Ui& ui,
                                    platform::Trace& trace, platform::WindowRef mainWindow) {
    if (!FromVistaOn(system)) {
        return;
    }
    for (const std::uint32_t message : {WM_KESTRUN_EXIT, platform::kWmCommand}) {
        if (!ui.AllowFromLowerIntegrity(mainWindow, message)) {
            trace.Output(Format("Message filter 0x%x failed.\n", message));
        }
    }
}

}  // namespace kestrun
