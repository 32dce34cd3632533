// The echo worker against the user-interface thread: real threads, run under the
// ThreadSanitizer preset too.
#include "netprobe/reachability.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/fakes/fake_echo.h"
#include "tests/fakes/fake_platform.h"

namespace kestrun {
namespace {

using platform::EchoReply;
using platform::fake::FakeEchoNetwork;

constexpr const char* kTarget = "10.10.0.1";

class ReachabilityTest : public ::testing::Test {
  protected:
    ReachabilityTest() {
        platform::EchoLoad outcome;
        platform.echo.libraries["Iphlpapi.dll"] = {"IcmpCreateFile", "IcmpCloseHandle",
                                                   "IcmpSendEcho"};
        echo = platform.echo.Load("Iphlpapi.dll", outcome);
    }
    platform::fake::FakePlatform platform;
    FakeEchoNetwork& network = platform.echo.network;
    std::unique_ptr<platform::Echo> echo;
};

// Only a reply with the success status is an answer: a router's "destination host
// unreachable" (11003) is a reply too. The worker's reply reaches the window's thread whole.
TEST_F(ReachabilityTest, FinishedEchoReportsItsOutcome) {
    constexpr const char* kOpened = "\tFile created.\n";
    constexpr const char* kFailed = "\tCall to IcmpSendEcho() failed.\n\tError: ";
    const struct {
        const char* name;
        std::optional<EchoReply> reply;
        int answered;
        std::vector<std::string> lines;
    } cases[] = {
        {"success",
         EchoReply{true, 1, platform::kIpSuccess, 0},
         1,
         {kOpened, "\tReceived 1 icmp message responses from 10.10.0.1\n", "LAN Connected!!!\n"}},
        {"host unreachable",
         EchoReply{true, 1, 11003, 0},
         0,
         {kOpened, kFailed + std::string("11003\n")}},
        {"timed out", std::nullopt, 0, {kOpened, kFailed + std::string("11010\n")}},
        {"no echo handle", EchoReply{false, 0, 0, 6}, 0, {"\tUnable to open file.\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.reply) {
            network.Answer(kTarget, *c.reply);
        } else {
            network.Forget(kTarget);
        }
        EchoJob job(kTarget, 7);
        std::thread worker([&] { PingRemoteLAN(job, *echo); });
        while (!job.Finished()) {
            std::this_thread::yield();
        }
        platform.journal.Clear();
        EXPECT_EQ(ReportEcho(job, platform.trace), c.answered);
        EXPECT_EQ(platform.TraceLines(), c.lines);
        worker.join();
    }
}

}  // namespace
}  // namespace kestrun
