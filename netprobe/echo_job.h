// One echo of the link check, shared by the user-interface thread and the worker that sends
// it. The worker touches nothing else, so the window may end, and free everything it owns,
// while an echo still hangs in the system.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/echo.h"

namespace kestrun {

class EchoJob {
  public:
    // tunnel names the tunnel the echo probes: its result counts only while that tunnel is
    // still the one up.
    EchoJob(std::string target, std::uint32_t tunnel)
        : target_(std::move(target)), tunnel_(tunnel) {}

    const std::string& Target() const { return target_; }
    std::uint32_t Tunnel() const { return tunnel_; }

    // The worker's side: stores the reply and makes it visible, unless the job was abandoned.
    void Publish(const platform::EchoReply& reply);

    // The user-interface side.
    bool Finished() const { return phase_.load(std::memory_order_acquire) == Phase::kFinished; }
    // The reply, once Finished.
    const platform::EchoReply& Reply() const { return reply_; }
    // Gives up a job still running; false when it has finished after all.
    bool Abandon();

  private:
    enum class Phase { kRunning, kFinished, kAbandoned };

    const std::string target_;
    const std::uint32_t tunnel_;
    platform::EchoReply reply_;
    std::atomic<Phase> phase_{Phase::kRunning};
};

}  // namespace kestrun
