// Whether the far end of the tunnel answers: flags shared between the user-interface
// thread and the echo workers. Each is written whole; a worker claims the right to run with
// one atomic exchange of m_bPingIdle.
#pragma once

#include <atomic>
#include <cstdint>

namespace kestrun {

struct Liveness {
    // 1 when the last echo was answered.
    std::atomic<std::int32_t> m_bLANConnected{0};
    // 1 while no echo is running.
    std::atomic<std::int32_t> m_bPingIdle{1};
};

}  // namespace kestrun
