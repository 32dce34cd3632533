#include "tests/fakes/fake_echo.h"

#include "platform/text.h"

namespace kestrun::platform::fake {
namespace {

class FakeEcho : public Echo {
  public:
    explicit FakeEcho(FakeEchoNetwork& network) : network_(network) {}
    EchoReply Send(const std::string& address, std::uint32_t timeoutMs) override {
        return network_.Send(address, timeoutMs);
    }

  private:
    FakeEchoNetwork& network_;
};

}  // namespace

void FakeEchoNetwork::Answer(const std::string& address, EchoReply reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_[address] = reply;
}

void FakeEchoNetwork::Forget(const std::string& address) {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_.erase(address);
}

void FakeEchoNetwork::Hold() {
    std::lock_guard<std::mutex> lock(mutex_);
    held_ = true;
}

void FakeEchoNetwork::Release() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        held_ = false;
    }
    changed_.notify_all();
}

void FakeEchoNetwork::WaitForSends(std::size_t n) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return sent_.size() >= n; });
}

std::vector<std::string> FakeEchoNetwork::Sent() {
    std::lock_guard<std::mutex> lock(mutex_);
    return sent_;
}

EchoReply FakeEchoNetwork::Send(const std::string& address, std::uint32_t /*timeoutMs*/) {
    std::unique_lock<std::mutex> lock(mutex_);
    sent_.push_back(address);
    changed_.notify_all();
    changed_.wait(lock, [&] { return !held_; });
    const auto found = replies_.find(address);
    if (found != replies_.end()) {
        return found->second;
    }
    EchoReply timedOut;
    timedOut.opened = true;
    timedOut.error = kErrorRequestTimedOut;
    return timedOut;
}

std::unique_ptr<Echo> FakeEchoLibrary::Load(const std::string& libraryName, EchoLoad& outcome) {
    journal_.Add("echo", "load " + libraryName);
    for (const auto& [library, entries] : libraries) {
        if (ToLowerAscii(library) != ToLowerAscii(libraryName)) {
            continue;
        }
        for (const char* entry : {"IcmpCreateFile", "IcmpCloseHandle", "IcmpSendEcho"}) {
            if (entries.count(entry) == 0) {
                journal_.Add("echo", "free " + libraryName);
                outcome = EchoLoad::MissingEntry;
                return nullptr;
            }
        }
        outcome = EchoLoad::Loaded;
        return std::make_unique<FakeEcho>(network);
    }
    outcome = EchoLoad::NoLibrary;
    return nullptr;
}

}  // namespace kestrun::platform::fake
