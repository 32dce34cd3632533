// Worker threads of the tests. By default a started work waits until the test runs it, so
// a tick can be checked before and after its echo ends; real threads are there for the
// tests of state shared with a worker, and detached ones for a worker that outlives the test's
// world.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <thread>
#include <vector>

#include "platform/threads.h"
#include "tests/fakes/journal.h"

namespace kestrun::platform::fake {

class FakeThreads : public Threads {
  public:
    enum class Mode { Deferred, Inline, Real, Detached };

    explicit FakeThreads(Journal& journal) : journal_(journal) {}
    // Joins the real threads still running.
    ~FakeThreads() override;
    FakeThreads(const FakeThreads&) = delete;
    FakeThreads& operator=(const FakeThreads&) = delete;

    std::uint32_t Start(std::function<void()> work) override;
    // Runs the deferred works, oldest first; returns how many ran.
    std::size_t RunPending();
    void JoinAll();

    Mode mode = Mode::Deferred;
    bool failStart = false;

  private:
    Journal& journal_;
    std::uint32_t nextId_ = 0x100;
    std::deque<std::function<void()>> pending_;
    std::vector<std::thread> running_;
};

}  // namespace kestrun::platform::fake
