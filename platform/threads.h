// Short-lived worker threads (the echo of the link check runs on one).
#pragma once

#include <cstdint>
#include <functional>

namespace kestrun::platform {

class Threads {
  public:
    virtual ~Threads() = default;
    // Starts work on a new thread at once, at normal priority with the default stack. Returns
    // the thread's id, or 0 when no thread could be started (work is then dropped).
    virtual std::uint32_t Start(std::function<void()> work) = 0;
};

}  // namespace kestrun::platform
