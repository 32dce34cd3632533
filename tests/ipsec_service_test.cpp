#include "tunnel/ipsec_service.h"

#include <gtest/gtest.h>

#include "netprobe/os_type.h"
#include "tests/fakes/fake_platform.h"

namespace kestrun {
namespace {

using platform::fake::FakePlatform;
using Lines = std::vector<std::string>;

constexpr const char* kOakley = "SYSTEM\\CurrentControlSet\\Services\\PolicyAgent\\Oakley";

TEST(SetOakleyLoggingTest, WritesOneOrZeroAsDword) {
    FakePlatform fake;
    EXPECT_EQ(SetOakleyLogging(fake.platform, 1), 1);
    EXPECT_EQ(
        fake.registry.At(platform::RegRoot::LocalMachine, kOakley).values["EnableLogging"].dword,
        1u);
    EXPECT_EQ(SetOakleyLogging(fake.platform, 7), 1);
    EXPECT_EQ(
        fake.registry.At(platform::RegRoot::LocalMachine, kOakley).values["EnableLogging"].dword,
        0u);
    EXPECT_EQ(fake.TraceLines(),
              (Lines{"Set IPSec Reg Key Success!!!\n", "Set IPSec Reg Key Success!!!\n"}));
}

TEST(SetOakleyLoggingTest, FailuresAreTracedAndReturnZero) {
    FakePlatform fake;
    fake.registry.failCreate = true;
    EXPECT_EQ(SetOakleyLogging(fake.platform, 1), 0);
    fake.registry.failCreate = false;
    fake.registry.At(platform::RegRoot::LocalMachine, kOakley).failSet = true;
    EXPECT_EQ(SetOakleyLogging(fake.platform, 1), 0);
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
        EXPECT_EQ(CheckIPsecService(fake.platform, osType), 1) << osType;
    }
    EXPECT_TRUE(fake.TraceLines().empty());
    for (int osType : {OS_WINNT, OS_WIN2000, OS_WINXP, OS_WINSERVER}) {
        EXPECT_EQ(CheckIPsecService(fake.platform, osType), 0) << osType;
    }
}

TEST_F(CheckIPsecServiceTest, RunningServiceIsStoppedAndStartedAgain) {
    Agent().state = platform::kServiceRunning;
    Agent().stopDelay = 1500;
    EXPECT_EQ(CheckIPsecService(fake.platform, OS_WINXP), 1);
    EXPECT_EQ(fake.journal.Of("clock", "sleep"), (Lines{"1000", "2000", "500"}));
    EXPECT_EQ(fake.TraceLines(),
              (Lines{"Current Status=4\n", "Stop IPSec Service Success.\n",
                     "IPSec Service Status=1\n", "Start IPSec Service Success.\n"}));
    EXPECT_EQ(Agent().state, platform::kServiceRunning);
    ExpectHandlesClosed();
}

TEST_F(CheckIPsecServiceTest, StopStillPendingAtTheFirstPollMakesTheStartFail) {
    // Stop pending counts as not running, so a slow stop is met with a start attempt.
    Agent().stopDelay = 5000;
    EXPECT_EQ(CheckIPsecService(fake.platform, OS_WINXP), 0);
    EXPECT_EQ(fake.journal.Of("clock", "sleep"), (Lines{"1000", "2000", "500"}));
    EXPECT_EQ(fake.TraceLines().back(), "Start IPSec Service Failed (1056)\n");
    ExpectHandlesClosed();
}

TEST_F(CheckIPsecServiceTest, StoppedServiceIsStartedAfterOnePoll) {
    Agent().state = platform::kServiceStopped;
    EXPECT_EQ(CheckIPsecService(fake.platform, OS_WIN2000), 1);
    EXPECT_EQ(fake.journal.Of("clock", "sleep"), (Lines{"2000", "500"}));
    EXPECT_EQ(fake.TraceLines(), (Lines{"Current Status=1\n", "IPSec Service Status=1\n",
                                        "Start IPSec Service Success.\n"}));
    EXPECT_EQ(fake.journal.Of("services", "PolicyAgent"),
              (Lines{"QueryConfig", "QueryStatus", "QueryStatus", "Start"}));
    ExpectHandlesClosed();
}

TEST_F(CheckIPsecServiceTest, DisabledServiceIsSwitchedToAutomaticStartFirst) {
    Agent().state = platform::kServiceStopped;
    Agent().startType = platform::kServiceDisabled;
    EXPECT_EQ(CheckIPsecService(fake.platform, OS_WINSERVER), 1);
    EXPECT_EQ(Agent().startType, platform::kServiceAutoStart);
    EXPECT_EQ(fake.journal.Of("clock", "sleep"), (Lines{"500", "2000", "500"}));
    EXPECT_EQ(Agent().state, platform::kServiceRunning);
    ExpectHandlesClosed();
}

TEST_F(CheckIPsecServiceTest, ServiceThatNeverStopsIsPolledFiveTimesAndLeftRunning) {
    Agent().ignoresStop = true;
    EXPECT_EQ(CheckIPsecService(fake.platform, OS_WINNT), 1);
    EXPECT_EQ(fake.journal.Of("clock", "sleep"),
              (Lines{"1000", "2000", "2000", "2000", "2000", "2000"}));
    EXPECT_EQ(fake.TraceLines(), (Lines{"Current Status=4\n", "Stop IPSec Service Success.\n",
                                        "IPSec Service Status=4\n", "IPSec Service Status=4\n",
                                        "IPSec Service Status=4\n", "IPSec Service Status=4\n",
                                        "IPSec Service Status=4\n", "IPSec Service Status=4\n"}));
    EXPECT_FALSE(fake.journal.Has("services: PolicyAgent Start"));
    ExpectHandlesClosed();
}

TEST_F(CheckIPsecServiceTest, AccessDeniedOnTheManagerOrTheService) {
    fake.services.failOpenManager = 5;
    EXPECT_EQ(CheckIPsecService(fake.platform, OS_WINXP), 0);
    EXPECT_EQ(fake.TraceLines(), (Lines{"OpenSCManager failed (5)\n"}));

    fake.services.failOpenManager = 0;
    EXPECT_EQ(CheckIPsecService(fake.platform, OS_WINXP), 0);  // no PolicyAgent at all
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
         {"2000", "500"}},
    };
    for (const FailureCase& c : cases) {
        FakePlatform local;
        auto& model = local.services.services["PolicyAgent"];
        model.state = c.initialState;
        model.startType = c.startType;
        model.*c.failure = 5;
        EXPECT_EQ(CheckIPsecService(local.platform, OS_WINXP), 0) << c.name;
        EXPECT_EQ(local.TraceLines(), c.trace) << c.name;
        EXPECT_EQ(local.journal.Of("clock", "sleep"), c.sleeps) << c.name;
        EXPECT_EQ(local.services.openManagers, 0) << c.name;
        EXPECT_EQ(local.services.openServices, 0) << c.name;
    }
}

TEST_F(CheckIPsecServiceTest, StatusQueryFailingWhilePollingIsTraced) {
    Agent().stopDelay = 0;
    fake.clock.onSleep = [&] {
        if (fake.journal.Of("clock", "sleep").size() == 2) {  // the first poll
            Agent().failQueryStatus = 6;
        }
    };
    EXPECT_EQ(CheckIPsecService(fake.platform, OS_WINXP), 0);
    EXPECT_EQ(fake.TraceLines().back(), "Query Service Fail.\n");
    EXPECT_EQ(fake.journal.Of("clock", "sleep"), (Lines{"1000", "2000"}));
    ExpectHandlesClosed();
}

}  // namespace
}  // namespace kestrun
