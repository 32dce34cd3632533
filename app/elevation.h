// Administrator rights on Vista and later. The client changes routes and the firewall, so an
// administrator started with a filtered token starts itself again elevated; the elevated
// window still takes the exit request and the launcher's show command from unelevated senders.
#pragma once

#include <string>

#include "platform/system.h"
#include "platform/types.h"
#include "platform/ui.h"

namespace kestrun {

// True when start-up goes on in this process. On NT 6.0 and later with an administrator's
// filtered token, the program starts itself again through the consent prompt with the same
// command line and this process ends (false), also when the prompt is declined or the start
// fails, with a trace line and no tunnel. Earlier systems, elevated tokens and accounts that
// no prompt of theirs could raise go on as before.
bool GoOnWithAdministratorRights(platform::System& system, platform::Trace& trace,
                                 const std::string& commandLine);

// On NT 6.0 and later lets unelevated processes send the main window WM_KESTRUN_EXIT and
// WM_COMMAND (the filter cannot tell command ids apart).
void AllowExitAndShowFromUnelevated(platform::System& system, platform::Ui& ui,
                                    platform::Trace& trace, platform::WindowRef mainWindow);

}  // namespace kestrun
