#include "tests/fakes/fake_threads.h"

#include <utility>

namespace kestrun::platform::fake {

FakeThreads::~FakeThreads() {
    JoinAll();
}

std::uint32_t FakeThreads::Start(std::function<void()> work) {
    if (failStart) {
        journal_.Add("threads", "start failed");
        return 0;
    }
    journal_.Add("threads", "start");
    switch (mode) {
        case Mode::Deferred:
            pending_.push_back(std::move(work));
            break;
        case Mode::Inline:
            work();
            break;
        case Mode::Real:
            running_.emplace_back(std::move(work));
            break;
        case Mode::Detached:
            std::thread(std::move(work)).detach();
            break;
    }
    return nextId_++;
}

std::size_t FakeThreads::RunPending() {
    std::size_t ran = 0;
    while (!pending_.empty()) {
        std::function<void()> work = std::move(pending_.front());
        pending_.pop_front();
        work();
        ++ran;
    }
    return ran;
}

void FakeThreads::JoinAll() {
    for (std::thread& thread : running_) {
        thread.join();
    }
    running_.clear();
}

}  // namespace kestrun::platform::fake
