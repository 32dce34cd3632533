#include "netprobe/liveness.h"

namespace kestrun {

std::atomic<std::int32_t> g_bLANConnected{0};
std::atomic<std::int32_t> g_bPingIdle{1};

}  // namespace kestrun
