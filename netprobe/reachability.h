// Whether the far end of the tunnel answers: one ICMP echo, run on a worker thread so that
// its wait never blocks the window.
#pragma once

#include <cstdint>
#include <string>

#include "netprobe/liveness.h"
#include "platform/echo.h"
#include "platform/system.h"

namespace kestrun {

constexpr std::uint32_t kEchoTimeoutMs = 1000;

// Sends one echo to target and records in liveness whether it was answered. Does nothing
// and returns 0 when another echo is still running; returns 1 when answered. target is the
// worker's own copy: a settings load may replace the address it came from meanwhile.
int PingRemoteLAN(Liveness& liveness, platform::Echo& echo, platform::Trace& trace,
                  const std::string& target);

}  // namespace kestrun
