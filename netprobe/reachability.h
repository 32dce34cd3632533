// Whether the far end of the tunnel answers: one ICMP echo, run on a worker thread so that
// its wait never blocks the window.
#pragma once

#include <cstdint>

#include "netprobe/echo_job.h"
#include "platform/echo.h"
#include "platform/system.h"

namespace kestrun {

constexpr std::uint32_t kEchoTimeoutMs = 1000;

// The worker: sends the job's echo and publishes the reply. It writes no trace and touches
// nothing but the job and the echo, which it shares.
void PingRemoteLAN(EchoJob& job, platform::Echo& echo);

// The outcome of a finished job, traced on the user-interface thread: 1 when it was
// answered.
int ReportEcho(const EchoJob& job, platform::Trace& trace);

}  // namespace kestrun
