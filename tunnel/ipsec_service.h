// The system's IPsec policy service ("PolicyAgent"): key-exchange logging and a restart.
#pragma once

#include "platform/platform.h"

namespace kestrun {

// Sets "EnableLogging" of the Oakley key to 1 when flag is 1, else 0. Returns 1 or 0.
int SetOakleyLogging(platform::Registry& registry, platform::Trace& trace, int flag);

// On Windows NT 4 to Server 2003 (osType), makes sure "PolicyAgent" is not disabled and
// restarts it. Returns 1 when it was started, stayed running, or nothing had to be done;
// 0 on any failure.
int CheckIPsecService(platform::Clock& clock, platform::Services& services, platform::Trace& trace,
                      int osType);

}  // namespace kestrun
