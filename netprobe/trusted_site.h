// Whether a portal address is among the browser's trusted sites (the user's Internet
// zone ranges). Only Vista and later demand it.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kestrun {

// 1 when a zone range text occurs in the address after its first character, or when
// osType is older than Vista or unnamed; 0 otherwise.
int CheckTrustedSite(platform::Registry& registry, platform::Trace& trace, int osType,
                     const std::string& address);

}  // namespace kestrun
