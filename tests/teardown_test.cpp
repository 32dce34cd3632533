#include "tunnel/teardown.h"

#include <gtest/gtest.h>

#include "netprobe/os_type.h"
#include "tests/fakes/fake_platform.h"
#include "tests/support/scoped_work_dir.h"

namespace kestrun {
namespace {

using platform::fake::FakePlatform;

class TeardownTest : public ::testing::Test {
  protected:
    void Set(const std::string& key, const std::string& value) {
        fake.profile.WriteString("IPSec", key, value, ".\\Setting.tmp");
    }
    std::string File(const char* name) { return fake.files.ReadAll(name).value_or("<missing>"); }
    test::ScopedWorkDir dir;
    FakePlatform fake;
};

TEST_F(TeardownTest, DelRouteTableDeletesTheRoutesTheFileNamesNow) {
    Set("NetworkIP", "192.168.99.0");
    Set("Submask", "255.255.255.0");
    Set("NetworkIP3", "10.0.0.0");  // no Submask3
    Set("NetworkIP4", "1.2.3");
    Set("NetworkIP5", "1.2.3.0");
    Set("Submask5", "255.255.255.0");
    // The script must be on disk when it runs.
    std::string seen;
    fake.runner.onRun = [&](const std::string&) { seen = File(kDelRouteTableScriptName); };

    EXPECT_EQ(DelRouteTable(fake.files, fake.runner, fake.trace,
                            SettingFile(fake.profile, kWorkingCopyPath)),
              1);
    EXPECT_EQ(seen,
              "route delete 192.168.99.0 mask 255.255.255.0\n"
              "route delete 10.0.0.0 mask 0.0.0.0\n"
              "route delete 1.2.3.0 mask 255.255.255.0");
    EXPECT_EQ(fake.journal.Of("runner"), std::vector<std::string>{"wait DelRouteTable.bat"});
    EXPECT_EQ(fake.TraceLines(), std::vector<std::string>{"DelRouteTable()\n"});
}

TEST_F(TeardownTest, DelRouteTableWithoutFileWritesAndRunsAnEmptyScript) {
    EXPECT_EQ(DelRouteTable(fake.files, fake.runner, fake.trace,
                            SettingFile(fake.profile, kWorkingCopyPath)),
              1);
    EXPECT_EQ(File(kDelRouteTableScriptName), "");
    EXPECT_EQ(fake.journal.Of("runner"), std::vector<std::string>{"wait DelRouteTable.bat"});
}

TEST_F(TeardownTest, DelRouteTableCutsValuesToTheReadersBuffers) {
    Set("NetworkIP", std::string(600, '1'));
    Set("Submask", "255.0.0.0");
    Set("NetworkIP1", std::string(40, '2'));
    Set("Submask1", std::string(40, '3'));
    DelRouteTable(fake.files, fake.runner, fake.trace, SettingFile(fake.profile, kWorkingCopyPath));
    EXPECT_EQ(File(kDelRouteTableScriptName),
              "route delete " + std::string(511, '1') + " mask 255.0.0.0\nroute delete " +
                  std::string(31, '2') + " mask " + std::string(31, '3'));
}

TEST_F(TeardownTest, DelRouteTableThatCannotCreateItsScriptRunsNothing) {
    fake.files.failCreate[kDelRouteTableScriptName] = 5;
    EXPECT_EQ(DelRouteTable(fake.files, fake.runner, fake.trace,
                            SettingFile(fake.profile, kWorkingCopyPath)),
              0);
    EXPECT_TRUE(fake.journal.Of("runner").empty());
    EXPECT_EQ(fake.TraceLines(),
              (std::vector<std::string>{"DelRouteTable()\n",
                                        "Can't open file DelRouteTable.bat, error = 5\n"}));
}

TEST_F(TeardownTest, ClearIPsecRemovesRoutesThenPolicyThenRestartsService) {
    fake.services.services["PolicyAgent"].state = platform::kServiceStopped;
    std::vector<std::string> scripts;
    fake.runner.onRun = [&](const std::string& name) {
        scripts.push_back(name + ":" + File(name.c_str()));
    };
    EXPECT_EQ(Clear_IPsec(fake.files, fake.clock, fake.runner, fake.services, fake.trace,
                          SettingFile(fake.profile, kWorkingCopyPath), OS_WINXP, "TRV-615_SSL"),
              1);
    EXPECT_EQ(scripts, (std::vector<std::string>{
                           "DelRouteTable.bat:",
                           "Clear_IPsec.bat:ipseccmd.exe -w REG -p \"TRV-615_SSL\" -r "
                           "\"remote-router\" -y\nipseccmd.exe -w REG -p \"TRV-615_SSL\" -r "
                           "\"router-remote\" -o\n"}));
    // A stopped service that starts at once costs no pause at all.
    EXPECT_TRUE(fake.journal.Of("clock", "sleep").empty());
    EXPECT_EQ(fake.services.services["PolicyAgent"].state, platform::kServiceRunning);
}

TEST_F(TeardownTest, ClearIPsecOnNt4WritesEmptyScriptButStillDeletesRoutesAndRestarts) {
    Set("NetworkIP", "192.168.99.0");
    Set("Submask", "255.255.255.0");
    fake.services.services["PolicyAgent"].state = platform::kServiceStopped;
    EXPECT_EQ(Clear_IPsec(fake.files, fake.clock, fake.runner, fake.services, fake.trace,
                          SettingFile(fake.profile, kWorkingCopyPath), OS_WINNT, "TRV-615_SSL"),
              1);
    EXPECT_EQ(File(kClearIPsecScriptName), "");
    EXPECT_EQ(File(kDelRouteTableScriptName), "route delete 192.168.99.0 mask 255.255.255.0");
    EXPECT_TRUE(fake.journal.Has("services: PolicyAgent Start"));
}

TEST_F(TeardownTest, ClearIPsecThatCannotCreateItsScriptStillRunsWhateverIsThere) {
    fake.files.failCreate[kClearIPsecScriptName] = 5;
    EXPECT_EQ(Clear_IPsec(fake.files, fake.clock, fake.runner, fake.services, fake.trace,
                          SettingFile(fake.profile, kWorkingCopyPath), OS_VISTA, "TRV-615_SSL"),
              1);
    EXPECT_EQ(fake.journal.Of("runner"),
              (std::vector<std::string>{"wait DelRouteTable.bat", "wait Clear_IPsec.bat"}));
    EXPECT_TRUE(fake.trace.Contains("Error in Open:Clear_IPsec.bat\n"));
    EXPECT_TRUE(fake.journal.Of("services").empty());  // Vista: service untouched
}

}  // namespace
}  // namespace kestrun
