#include "tunnel/session_clock.h"

namespace kestrun {

std::uint32_t g_dwSessionStart = 0;
int g_bSessionClock = 0;

}  // namespace kestrun
