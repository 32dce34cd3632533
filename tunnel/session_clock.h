// The clock of the current connection, shown by the Connectivity Info window: started when
// the tunnel scripts are written, stopped by Delete VPN.
#pragma once

#include <cstdint>

namespace kestrun {

struct SessionClock {
    std::uint32_t m_dwSessionStart = 0;  // tick at which the scripts were written
    bool m_bSessionClock = false;        // the clock runs
};

}  // namespace kestrun
