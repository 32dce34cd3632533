#include "netprobe/echo_job.h"

namespace kestrun {

// The reply is read only after the job is seen finished, so writing it first is safe even
// when the job has been abandoned meanwhile: it then stays unread.
void EchoJob::Publish(const platform::EchoReply& reply) {
    reply_ = reply;
    Phase running = Phase::kRunning;
    phase_.compare_exchange_strong(running, Phase::kFinished, std::memory_order_acq_rel);
}

bool EchoJob::Abandon() {
    Phase running = Phase::kRunning;
    return phase_.compare_exchange_strong(running, Phase::kAbandoned, std::memory_order_acq_rel);
}

}  // namespace kestrun
