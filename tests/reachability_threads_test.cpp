// The echo worker against the user-interface thread: real threads, run under the
// ThreadSanitizer preset too.
#include "netprobe/reachability.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/fakes/fake_echo.h"
#include "tests/fakes/fake_platform.h"

namespace kestrun {
namespace {

using platform::EchoReply;
using platform::fake::FakeEchoNetwork;
using platform::fake::FakeTrace;

constexpr const char* kTarget = "10.10.0.1";

EchoReply Reply(std::uint32_t replies, std::uint32_t status) {
    EchoReply reply;
    reply.opened = true;
    reply.replies = replies;
    reply.status = status;
    return reply;
}

class ReachabilityTest : public ::testing::Test {
  protected:
    int Ping() {
        std::unique_ptr<platform::Echo> echo = Echo();
        EXPECT_TRUE(ClaimEcho(liveness));
        return PingRemoteLAN(liveness, *echo, platform.trace, kTarget);
    }
    std::unique_ptr<platform::Echo> Echo() {
        platform::EchoLoad outcome;
        platform.echo.libraries["Iphlpapi.dll"] = {"IcmpCreateFile", "IcmpCloseHandle",
                                                   "IcmpSendEcho"};
        return platform.echo.Load("Iphlpapi.dll", outcome);
    }
    platform::fake::FakePlatform platform;
    FakeEchoNetwork& network = platform.echo.network;
    Liveness liveness;
};

// Only a reply with the success status is an answer: a router's "destination host
// unreachable" (11003) is a reply too.
TEST_F(ReachabilityTest, OnlyASuccessfulReplyCountsAsAnswered) {
    const struct {
        const char* name;
        std::optional<EchoReply> reply;
        int answered;
    } cases[] = {{"success", Reply(1, platform::kIpSuccess), 1},
                 {"host unreachable", Reply(1, 11003), 0},
                 {"timed out", std::nullopt, 0}};
    for (const auto& c : cases) {
        liveness.m_bLANConnected = 1 - c.answered;
        if (c.reply) {
            network.Answer(kTarget, *c.reply);
        } else {
            network.Forget(kTarget);
        }
        EXPECT_EQ(Ping(), c.answered) << c.name;
        EXPECT_EQ(liveness.m_bLANConnected, c.answered) << c.name;
        EXPECT_EQ(liveness.m_bPingIdle, 1) << c.name;
    }
    EXPECT_EQ(network.Sent(), std::vector<std::string>(3, kTarget));
}

// While an echo hangs no other can be claimed, and the flag keeps the last result.
TEST_F(ReachabilityTest, NoSecondEchoWhileOneHangs) {
    network.Answer(kTarget, Reply(1, platform::kIpSuccess));
    network.Hold();
    std::unique_ptr<platform::Echo> echo = Echo();
    ASSERT_TRUE(ClaimEcho(liveness));
    std::thread worker([&] { PingRemoteLAN(liveness, *echo, platform.trace, kTarget); });
    network.WaitForSends(1);
    EXPECT_FALSE(ClaimEcho(liveness));
    EXPECT_EQ(liveness.m_bPingIdle, 0);
    EXPECT_EQ(liveness.m_bLANConnected, 0);
    network.Release();
    worker.join();
    EXPECT_EQ(liveness.m_bLANConnected, 1);
    EXPECT_EQ(liveness.m_bPingIdle, 1);
    EXPECT_TRUE(ClaimEcho(liveness));
}

}  // namespace
}  // namespace kestrun
