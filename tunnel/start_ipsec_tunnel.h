// Building the IPsec tunnel when the portal has announced a fresh parameter set.
#pragma once

#include "netprobe/adapters.h"
#include "platform/platform.h"
#include "settings/address_history.h"
#include "settings/setting_file.h"
#include "settings/tunnel_settings.h"
#include "tunnel/session_clock.h"

namespace kestrun {

// Reloads the parameters from file (the working copy), deletes the routes it names, saves,
// writes both scripts for osType with the default-route adapter as the PC's end, runs the IPsec one
// to its end and records IPsec mode in the file; the caller's mode becomes IPsec too. Returns 1.
// Returns 0, running nothing and recording nothing, when the scripts cannot be written: what
// is on disk then is another login's.
int StartIPsecTunnel(platform::Files& files, platform::System& system, platform::Clock& clock,
                     platform::Runner& runner, platform::Trace& trace, SettingFile& file,
                     int osType, AdapterFacts& adapters, TunnelSettings& settings,
                     AddressHistory& history, SessionClock& session);

}  // namespace kestrun
