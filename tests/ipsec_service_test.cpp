#include "tunnel/ipsec_service.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "netprobe/os_type.h"
#include "tests/fakes/fake_platform.h"

namespace kestrun {
namespace {

using platform::fake::FakePlatform;
using Lines = std::vector<std::string>;

constexpr const char* kOakley = "SYSTEM\\CurrentControlSet\\Services\\PolicyAgent\\Oakley";

TEST(SetOakleyLoggingTest, WritesOneOrZeroAsDword) {
    FakePlatform fake;
    EXPECT_EQ(SetOakleyLogging(fake.registry, fake.trace, 1), 1);
    EXPECT_EQ(
        fake.registry.At(platform::RegRoot::LocalMachine, kOakley).values["EnableLogging"].dword,
        1u);
    EXPECT_EQ(SetOakleyLogging(fake.registry, fake.trace, 7), 1);
    EXPECT_EQ(
        fake.registry.At(platform::RegRoot::LocalMachine, kOakley).values["EnableLogging"].dword,
        0u);
    EXPECT_EQ(fake.TraceLines(),
              (Lines{"Set IPSec Reg Key Success!!!\n", "Set IPSec Reg Key Success!!!\n"}));
}

TEST(SetOakleyLoggingTest, FailuresAreTracedAndReturnZero) {
    FakePlatform fake;
    fake.registry.failCreate = true;
    EXPECT_EQ(SetOakleyLogging(fake.registry, fake.trace, 1), 0);
    fake.registry.failCreate = false;
    fake.registry.At(platform::RegRoot::LocalMachine, kOakley).failSet = true;
    EXPECT_EQ(SetOakleyLogging(fake.registry, fake.trace, 1), 0);
    EXPECT_EQ(fake.TraceLines(),
              (Lines{"Can't Create IPSec Reg Key Failed!!!\n", "Can't Set IPSec Reg Key!!!\n"}));
}

class CheckIPsecServiceTest : public ::testing::Test {
  protected:
    platform::fake::FakeServices::ServiceModel& Agent() {
        return fake.services.services["PolicyAgent"];
    }
    void ExpectHandlesClosed() {
        EXPECT_EQ(fake.services.openManagers, 0);
        EXPECT_EQ(fake.services.openServices, 0);
    }
    FakePlatform fake;
};

TEST_F(CheckIPsecServiceTest, OnlyNt4ToServer2003AreTouched) {
    for (int osType : {-1, 0, 1, 2, 3, OS_VISTA, OS_OTHER, OS_WIN7, 42}) {
        fake.services.failOpenManager = 5;
        EXPECT_EQ(CheckIPsecService(fake.clock, fake.services, fake.trace, osType), 1) << osType;
    }
    EXPECT_TRUE(fake.TraceLines().empty());
    for (int osType : {OS_WINNT, OS_WIN2000, OS_WINXP, OS_WINSERVER}) {
        EXPECT_EQ(CheckIPsecService(fake.clock, fake.services, fake.trace, osType), 0) << osType;
    }
}

std::uint32_t SleptMs(const FakePlatform& fake) {
    std::uint32_t total = 0;
    for (const std::string& ms : fake.journal.Of("clock", "sleep")) {
        total += static_cast<std::uint32_t>(std::stoul(ms));
    }
    return total;
}

struct RestartCase {
    const char* name;
    std::uint32_t initialState;
    std::optional<std::uint32_t> stopDelay;
    bool ignoresStop;
    std::uint32_t startDelay;
    int result;
    Lines trace;
    std::uint32_t sleptMs;
};

TEST_F(CheckIPsecServiceTest, RestartWaitsForTheServiceWithinTheOldLimits) {
    const std::string c4 = "Current Status=4\n", c1 = "Current Status=1\n";
    const std::string stop = "Stop IPSec Service Success.\n",
                      start = "Start IPSec Service Success.\n";
    const std::string s1 = "IPSec Service Status=1\n", s3 = "IPSec Service Status=3\n",
                      s4 = "IPSec Service Status=4\n";
    const std::vector<RestartCase> cases = {
        {"stops at once", 4, 0, false, 0, 1, {c4, stop, s1, start}, 0},
        {"stops in 1.5 s", 4, 1500, false, 0, 1, {c4, stop, s3, s1, start}, 1500},
        {"stops in 5 s", 4, 5000, false, 0, 1, {c4, stop, s3, s1, start}, 5000},
        {"was stopped", 1, 0, false, 0, 1, {c1, s1, start}, 0},
        {"starts in 0.3 s", 1, 0, false, 300, 1, {c1, s1, start}, 300},
        {"start still pending at 0.5 s", 1, 0, false, 5000, 1, {c1, s1, start}, 500},
        {"never stops", 4, 0, true, 0, 1, {c4, stop, s4, s4}, 11000},
        {"stop pending for good",
         4,
         std::nullopt,
         false,
         0,
         0,
         {c4, stop, s3, "Start IPSec Service Failed (1056)\n"},
         11000},
    };
    for (const RestartCase& c : cases) {
        FakePlatform local;
        auto& model = local.services.services["PolicyAgent"];
        model.state = c.initialState;
        model.stopDelay = c.stopDelay;
        model.ignoresStop = c.ignoresStop;
        model.startDelay = c.startDelay;
        EXPECT_EQ(CheckIPsecService(local.clock, local.services, local.trace, OS_WINXP), c.result)
            << c.name;
        EXPECT_EQ(local.TraceLines(), c.trace) << c.name;
        EXPECT_EQ(SleptMs(local), c.sleptMs) << c.name;
        for (const std::string& ms : local.journal.Of("clock", "sleep")) {
            EXPECT_EQ(ms, "100") << c.name;
        }
        EXPECT_EQ(local.services.openManagers + local.services.openServices, 0) << c.name;
    }
}

TEST_F(CheckIPsecServiceTest, StoppedServiceIsStartedWithoutAStopControl) {
    Agent().state = platform::kServiceStopped;
    EXPECT_EQ(CheckIPsecService(fake.clock, fake.services, fake.trace, OS_WIN2000), 1);
    EXPECT_EQ(fake.journal.Of("services", "PolicyAgent"),
              (Lines{"QueryConfig", "QueryStatus", "QueryStatus", "Start", "QueryStatus"}));
    ExpectHandlesClosed();
}

TEST_F(CheckIPsecServiceTest, DisabledServiceIsSwitchedToAutomaticStartFirst) {
    Agent().state = platform::kServiceStopped;
    Agent().startType = platform::kServiceDisabled;
    EXPECT_EQ(CheckIPsecService(fake.clock, fake.services, fake.trace, OS_WINSERVER), 1);
    EXPECT_EQ(Agent().startType, platform::kServiceAutoStart);
    EXPECT_EQ(fake.journal.Of("clock", "sleep"), (Lines{"500"}));
    EXPECT_EQ(Agent().state, platform::kServiceRunning);
    ExpectHandlesClosed();
}

TEST_F(CheckIPsecServiceTest, AccessDeniedOnTheManagerOrTheService) {
    fake.services.failOpenManager = 5;
    EXPECT_EQ(CheckIPsecService(fake.clock, fake.services, fake.trace, OS_WINXP), 0);
    EXPECT_EQ(fake.TraceLines(), (Lines{"OpenSCManager failed (5)\n"}));

    fake.services.failOpenManager = 0;  // and then no PolicyAgent at all
    EXPECT_EQ(CheckIPsecService(fake.clock, fake.services, fake.trace, OS_WINXP), 0);
    EXPECT_EQ(fake.TraceLines(),
              (Lines{"OpenSCManager failed (5)\n", "OpenService failed (1060)\n"}));
    EXPECT_TRUE(fake.journal.Of("clock", "sleep").empty());
    ExpectHandlesClosed();
}

struct FailureCase {
    const char* name;
    std::uint32_t platform::fake::FakeServices::ServiceModel::*failure;
    std::uint32_t initialState;
    std::uint32_t startType;
    Lines trace;
    Lines sleeps;
};

TEST_F(CheckIPsecServiceTest, EachFailingStepIsTracedReturnsZeroAndClosesHandles) {
    using Model = platform::fake::FakeServices::ServiceModel;
    const std::vector<FailureCase> cases = {
        {"query config", &Model::failQueryConfig, 4, 2, {"Query Service Confige Fail.\n"}, {}},
        {"change config",
         &Model::failChangeConfig,
         4,
         platform::kServiceDisabled,
         {"Change Service Confige Fail.\n"},
         {}},
        {"query status", &Model::failQueryStatus, 4, 2, {"Query Service Fail.\n"}, {}},
        {"stop", &Model::failStop, 4, 2, {"Current Status=4\n", "ControlService failed (5)\n"}, {}},
        {"start",
         &Model::failStart,
         1,
         2,
         {"Current Status=1\n", "IPSec Service Status=1\n", "Start IPSec Service Failed (5)\n"},
         {}},
    };
    for (const FailureCase& c : cases) {
        FakePlatform local;
        auto& model = local.services.services["PolicyAgent"];
        model.state = c.initialState;
        model.startType = c.startType;
        model.*c.failure = 5;
        EXPECT_EQ(CheckIPsecService(local.clock, local.services, local.trace, OS_WINXP), 0)
            << c.name;
        EXPECT_EQ(local.TraceLines(), c.trace) << c.name;
        EXPECT_EQ(local.journal.Of("clock", "sleep"), c.sleeps) << c.name;
        EXPECT_EQ(local.services.openManagers, 0) << c.name;
        EXPECT_EQ(local.services.openServices, 0) << c.name;
    }
}

TEST_F(CheckIPsecServiceTest, StatusQueryFailingWhilePollingIsTraced) {
    Agent().stopDelay = std::nullopt;
    fake.clock.onSleep = [&] { Agent().failQueryStatus = 6; };
    EXPECT_EQ(CheckIPsecService(fake.clock, fake.services, fake.trace, OS_WINXP), 0);
    EXPECT_EQ(fake.TraceLines().back(), "Query Service Fail.\n");
    EXPECT_EQ(fake.journal.Of("clock", "sleep"), (Lines{"100"}));
    ExpectHandlesClosed();
}

}  // namespace
}  // namespace kestrun
