// Flags shared between the user-interface thread and the echo workers. Each is written
// whole; the worker claims the right to run with one atomic exchange of g_bPingIdle.
#pragma once

#include <atomic>
#include <cstdint>

namespace kestrun {

// 1 when the last echo was answered.
extern std::atomic<std::int32_t> g_bLANConnected;
// 1 while no echo is running.
extern std::atomic<std::int32_t> g_bPingIdle;

}  // namespace kestrun
