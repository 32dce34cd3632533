// The ICMP echo of the tests: libraries that load or lack entry points, and a network whose
// answers, failures and hangs the test scripts. Echoes may come from worker threads.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/echo.h"
#include "tests/fakes/journal.h"

namespace kestrun::platform::fake {

constexpr std::uint32_t kErrorRequestTimedOut = 11010;  // IP_REQ_TIMED_OUT

class FakeEchoNetwork {
  public:
    // Reply to echoes to address; addresses without one time out (no reply, 11010).
    void Answer(const std::string& address, EchoReply reply);
    void Forget(const std::string& address);
    // While held, every echo waits inside Send until Release.
    void Hold();
    void Release();
    // Blocks until n echoes have entered Send (counting held ones).
    void WaitForSends(std::size_t n);
    std::vector<std::string> Sent();

    EchoReply Send(const std::string& address, std::uint32_t timeoutMs);

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<std::string, EchoReply> replies_;
    bool held_ = false;
    std::vector<std::string> sent_;
};

class FakeEchoLibrary : public EchoLibrary {
  public:
    explicit FakeEchoLibrary(Journal& journal) : journal_(journal) {}
    std::unique_ptr<Echo> Load(const std::string& libraryName, EchoLoad& outcome) override;
    // Loadable libraries and their entry points (names compared case-insensitively).
    std::map<std::string, std::set<std::string>> libraries;
    FakeEchoNetwork network;

  private:
    Journal& journal_;
};

}  // namespace kestrun::platform::fake
