#include "app/elevation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/startup.h"
#include "tests/fakes/fake_framework.h"
#include "tests/fakes/fake_platform.h"
#include "tests/support/scoped_work_dir.h"

namespace kestrun {
namespace {

using platform::Elevation;
using platform::fake::FakePlatform;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

void UseVersion(FakePlatform& fake, std::uint32_t major, std::uint32_t minor) {
    fake.system.version = {major, minor, 0, platform::kPlatformNt, "", 1};
}

TEST(ElevationTest, OnlyAFilteredAdministratorTokenFromVistaOnRestarts) {
    const struct {
        std::uint32_t major, minor;
        Elevation elevation;
        bool restarts;
    } cases[] = {
        {5, 0, Elevation::kFiltered, false}, {5, 2, Elevation::kFiltered, false},
        {6, 0, Elevation::kFiltered, true},  {10, 0, Elevation::kFiltered, true},
        {6, 1, Elevation::kElevated, false}, {6, 1, Elevation::kStandard, false},
        {6, 1, Elevation::kUnknown, false},
    };
    for (const auto& c : cases) {
        FakePlatform fake;
        UseVersion(fake, c.major, c.minor);
        fake.system.elevation = c.elevation;
        fake.system.currentDirectory = "C:\\Program Files\\Kestrun";
        EXPECT_EQ(GoOnWithAdministratorRights(fake.system, fake.trace, "https://router/x"),
                  !c.restarts)
            << c.major << "." << c.minor;
        if (c.restarts) {
            EXPECT_THAT(fake.journal.Of("system", "runas"),
                        ElementsAre("C:\\Program Files\\Kestrun\\Kestrun.exe [https://router/x] "
                                    "in C:\\Program Files\\Kestrun"));
            EXPECT_THAT(fake.TraceLines(), ElementsAre("Restart elevated!!!\n"));
        } else {
            EXPECT_THAT(fake.journal.Of("system", "runas"), IsEmpty());
        }
    }
}

TEST(ElevationTest, ADeclinedOrFailedRestartEndsWithATrace) {
    const struct {
        std::uint32_t result;
        const char* trace;
    } cases[] = {{platform::kErrorCancelled, "Elevation declined!!!\n"},
                 {5, "Elevation failed (5).\n"}};
    for (const auto& c : cases) {
        FakePlatform fake;
        UseVersion(fake, 6, 1);
        fake.system.elevation = Elevation::kFiltered;
        fake.system.startElevatedResult = c.result;
        EXPECT_FALSE(GoOnWithAdministratorRights(fake.system, fake.trace, ""));
        EXPECT_THAT(fake.TraceLines(), ElementsAre(c.trace));
    }
}

TEST(ElevationTest, StartUpAsksAfterTheRemoveRequestAndEndsWithoutAWindow) {
    test::ScopedWorkDir dir;
    FakePlatform fake;
    platform::fake::FakeDesktop desk{fake.journal};
    fake.system.existingDirectories = {"C:\\Program Files\\Kestrun"};
    UseVersion(fake, 6, 1);
    fake.system.elevation = Elevation::kFiltered;
    EXPECT_FALSE(CKestrunApp(fake.platform, desk.desktop, "-r").InitInstance());
    EXPECT_THAT(fake.journal.Of("system", "runas"), IsEmpty());
    EXPECT_FALSE(CKestrunApp(fake.platform, desk.desktop, "").InitInstance());
    EXPECT_EQ(fake.journal.Of("system", "runas").size(), 1u);
    EXPECT_THAT(fake.journal.Of("echo", "load"), IsEmpty());
    EXPECT_THAT(fake.journal.Of("framework"), IsEmpty());
}

TEST(ElevationTest, TheMainWindowTakesExitAndShowFromUnelevatedFromVistaOn) {
    FakePlatform fake;
    UseVersion(fake, 5, 1);
    AllowExitAndShowFromUnelevated(fake.system, fake.ui, fake.trace, 0x42);
    EXPECT_THAT(fake.journal.Of("ui", "allow"), IsEmpty());
    UseVersion(fake, 6, 0);
    fake.ui.messageFilterWorks = false;
    AllowExitAndShowFromUnelevated(fake.system, fake.ui, fake.trace, 0x42);
    EXPECT_THAT(fake.journal.Of("ui", "allow"), ElementsAre("0x499 to 0x42 from lower integrity",
                                                            "0x111 to 0x42 from lower integrity"));
    EXPECT_THAT(fake.TraceLines(),
                ElementsAre("Message filter 0x499 failed.\n", "Message filter 0x111 failed.\n"));
}

}  // namespace
}  // namespace kestrun
