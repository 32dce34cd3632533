// The end of the program while the link check's echo is still running: real worker threads,
// run under the ThreadSanitizer preset too.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/messages.h"
#include "app/sequencer.h"
#include "tests/support/main_window_fixture.h"

namespace kestrun {
namespace {

class ExitThreadsTest : public test::MainWindowFixture {};

TEST_F(ExitThreadsTest, ExitWaitsForTheRunningEcho) {
    Set("CallByIE", "FALSE");
    Set("RemoteLANIP", "10.10.0.1");
    Create();
    fake.threads.mode = platform::fake::FakeThreads::Mode::Real;
    fake.echo.network.Answer("10.10.0.1", platform::EchoReply{true, 1, platform::kIpSuccess, 0});
    fake.echo.network.Hold();
    host->Deliver(TimerMsg(IDT_LINK_CHECK));
    fake.echo.network.WaitForSends(1);
    fake.clock.onSleep = [this] {
        fake.echo.network.Release();
        fake.threads.JoinAll();
    };

    host->Deliver(platform::Msg{WM_KESTRUN_EXIT, 0, 0});

    EXPECT_TRUE(fake.journal.Before("clock: sleep 1000", "trace: LAN Connected!!!\n"));
    EXPECT_TRUE(fake.journal.Before("trace: LAN Connected!!!\n", "trace: OnButtonDel()\n"));
    EXPECT_FALSE(fake.journal.Has("trace: Echo still running: abandoned.\n"));
    EXPECT_FALSE(host->exists);
}

// An echo that answers only when the test lets it, and owns everything it needs.
struct HeldEcho : platform::Echo {
    platform::EchoReply Send(const std::string&, std::uint32_t) override {
        sent.set_value();
        released.wait();
        return platform::EchoReply{true, 1, platform::kIpSuccess, 0};
    }
    std::promise<void> sent;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
};

// An echo hung in the system does not keep the program from ending; when it comes back,
// long after the window, its trace and the liveness flags are gone, it touches none of them.
TEST(ExitHungEchoThreadsTest, EndLeavesAHungEchoBehind) {
    auto world = std::make_unique<test::MainWindowWorld>();
    auto echo = std::make_shared<HeldEcho>();
    world->machine.m_pIcmpEcho = echo;
    world->fake.threads.mode = platform::fake::FakeThreads::Mode::Detached;
    world->Set("CallByIE", "FALSE");
    world->Make();
    ASSERT_TRUE(world->dlg->Create());
    world->host->Deliver(TimerMsg(IDT_LINK_CHECK));
    echo->sent.get_future().wait();
    // Lets the echo go after a wait that no bound would end, so that an unbounded one fails.
    int sleeps = 0;
    world->fake.clock.onSleep = [&] {
        if (++sleeps == 10) {
            echo->release.set_value();
        }
    };

    world->host->Deliver(platform::Msg{WM_KESTRUN_EXIT, 0, 0});

    EXPECT_EQ(sleeps, 5);
    EXPECT_TRUE(world->fake.journal.Before("trace: Echo still running: abandoned.\n",
                                           "trace: OnButtonDel()\n"));
    EXPECT_FALSE(world->fake.journal.Has("trace: LAN Connected!!!\n"));
    EXPECT_FALSE(world->host->exists);

    const std::weak_ptr<HeldEcho> worker = echo;
    world.reset();
    if (sleeps < 10) {
        echo->release.set_value();
    }
    echo.reset();
    // The worker drops its share of the echo as its last act.
    while (!worker.expired()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace
}  // namespace kestrun
