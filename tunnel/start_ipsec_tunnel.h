// Building the IPsec tunnel when the portal has announced a fresh parameter set.
#pragma once

#include "platform/platform.h"
#include "settings/address_history.h"
#include "settings/tunnel_settings.h"
#include "tunnel/session_clock.h"

namespace kestrun {

// Reloads the parameters, deletes the routes the file names, saves, writes both scripts
// for osType with localAddress as the PC's end, runs the IPsec one to its end and records
// IPsec mode. Returns 1.
int StartIPsecTunnel(platform::Platform& platform, int osType, const std::string& localAddress,
                     TunnelSettings& settings, AddressHistory& history, SessionClock& clock);

}  // namespace kestrun
