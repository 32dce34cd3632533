// Whether the far end of the tunnel answers, as the last echo that counted left it. Written
// by the user-interface thread only; the status windows read it.
#pragma once

#include <atomic>
#include <cstdint>

namespace kestrun {

struct Liveness {
    // 1 when the last echo sent for the tunnel now up was answered.
    std::atomic<std::int32_t> m_bLANConnected{0};
};

}  // namespace kestrun
