// The clock of the current connection, shown by the Connectivity Info window: started when
// the tunnel scripts are written, stopped by Delete VPN.
#pragma once

#include <cstdint>

namespace kestrun {

extern std::uint32_t g_dwSessionStart;  // tick at which the scripts were written
extern int g_bSessionClock;             // 1 while the clock runs

}  // namespace kestrun
