// "-r" while the link check's echo is still running: the end waits for the worker before
// it tears the tunnel down. A real worker thread, run under the ThreadSanitizer preset too.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
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

    const std::vector<std::string> journal = fake.journal.Entries();
    const auto at = [&](const std::string& entry) {
        return std::find(journal.begin(), journal.end(), entry) - journal.begin();
    };
    EXPECT_LT(at("clock: sleep 1000"), at("trace: LAN Connected!!!\n") + 1);
    EXPECT_LT(at("trace: LAN Connected!!!\n"), at("trace: OnButtonDel()\n"));
    EXPECT_EQ(liveness.m_bPingIdle, 1);
    EXPECT_FALSE(host->exists);
}

}  // namespace
}  // namespace kestrun
