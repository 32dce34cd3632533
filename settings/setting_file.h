// Bulk load and save of the tunnel parameters from and to the working settings file.
#pragma once

#include "platform/profile.h"
#include "settings/address_history.h"
#include "settings/tunnel_settings.h"

namespace kestrun {

// Replaces the tunnel parameters (not the mode) with the file's values (defaults for missing keys),
// refills the address history and marks the portal's fresh parameter set as taken.
void ParseSetting(platform::Profile& profile, TunnelSettings& settings, AddressHistory& history);

// Writes the parameters the client may have changed, and the history. Always returns 1.
int SaveSetting(platform::Profile& profile, const TunnelSettings& settings,
                AddressHistory& history);

}  // namespace kestrun
