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

// Claims the right to send an echo for a worker about to start: false, changing nothing,
// while another echo still runs. Claimed before the worker exists, so that the program's
// end, which waits for the echo, cannot miss a worker that has not run yet.
bool ClaimEcho(Liveness& liveness);

// The worker of a claimed echo: sends one echo to target, records in liveness whether it
// was answered and frees the claim last. Returns 1 when answered. target is the worker's
// own copy: a settings load may replace the address it came from meanwhile.
int PingRemoteLAN(Liveness& liveness, platform::Echo& echo, platform::Trace& trace,
                  const std::string& target);

}  // namespace kestrun
