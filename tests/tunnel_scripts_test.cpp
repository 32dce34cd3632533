#include "tunnel/tunnel_scripts.h"

#include <gtest/gtest.h>

#include "tests/support/script_inputs.h"

#include "netprobe/os_type.h"
#include "tests/fakes/fake_platform.h"
#include "tests/support/scoped_work_dir.h"
#include "tunnel/runner.h"
#include "tunnel/session_clock.h"

namespace kestrun {
namespace {

using platform::fake::FakePlatform;

TunnelScriptInputs Inputs(int osType) {
    return test::SampleScriptInputs(osType);
}

class MakeTunnelScriptsTest : public ::testing::Test {
  protected:
    void SetUp() override { fake.clock.now = 424242; }
    std::string File(const char* name) { return fake.files.ReadAll(name).value_or("<missing>"); }
    int Make(int osType) {
        return MakeTunnelScripts(fake.files, fake.system, fake.clock, fake.trace, Inputs(osType),
                                 clock);
    }
    test::ScopedWorkDir dir;
    FakePlatform fake;
    SessionClock clock;
};

TEST_F(MakeTunnelScriptsTest, WritesBothScriptsAndStartsTheSessionClock) {
    EXPECT_EQ(Make(OS_WINXP), 1);
    EXPECT_EQ(File(kIPsecScriptName), IPsecScriptText(Inputs(OS_WINXP)));
    EXPECT_EQ(File(kOpenVpnScriptName), OpenVpnScriptText(Inputs(OS_WINXP)));
    EXPECT_EQ(clock.m_dwSessionStart, 424242u);
    EXPECT_TRUE(clock.m_bSessionClock);
    EXPECT_TRUE(fake.TraceLines().empty());
}

TEST_F(MakeTunnelScriptsTest, SystemWithoutFormGetsEmptyIPsecScriptButStillOpenVpnAndClock) {
    ASSERT_EQ(fake.files.WriteNew(kIPsecScriptName, "old text"), 0u);
    EXPECT_EQ(Make(OS_WINNT), 1);
    EXPECT_EQ(File(kIPsecScriptName), "");
    EXPECT_EQ(File(kOpenVpnScriptName), OpenVpnScriptText(Inputs(OS_WINNT)));
    EXPECT_TRUE(clock.m_bSessionClock);
}

TEST_F(MakeTunnelScriptsTest, IPsecScriptThatCannotBeCreatedStopsBeforeTheOpenVpnScript) {
    fake.files.failCreate[kIPsecScriptName] = 5;
    EXPECT_EQ(Make(OS_WIN2000), 0);
    EXPECT_EQ(fake.TraceLines(),
              std::vector<std::string>{"Can't open file Varnel_IPSecVPN.bat, error = 5\n"});
    EXPECT_FALSE(fake.files.ReadAll(kOpenVpnScriptName));
    EXPECT_FALSE(clock.m_bSessionClock);
}

TEST_F(MakeTunnelScriptsTest, OpenVpnScriptThatCannotBeCreatedLeavesClockStopped) {
    fake.files.failCreate[kOpenVpnScriptName] = 32;
    EXPECT_EQ(Make(OS_VISTA), 0);
    EXPECT_EQ(File(kIPsecScriptName), IPsecScriptText(Inputs(OS_VISTA)));
    EXPECT_EQ(fake.TraceLines(),
              std::vector<std::string>{"Can't open file Varnel_openVPN.bat, error = 32\n"});
    EXPECT_EQ(clock.m_dwSessionStart, 0u);
    EXPECT_FALSE(clock.m_bSessionClock);
}

TEST_F(MakeTunnelScriptsTest, OpenVpnLineIsWrittenForTheInstalledRelease) {
    fake.system.fileVersions[".\\openVPN\\openvpn.exe"] = {2, 6};
    EXPECT_EQ(Make(OS_WIN7), 1);
    EXPECT_EQ(File(kOpenVpnScriptName), OpenVpnScriptText(Inputs(OS_WIN7), {2, 6}));
    EXPECT_TRUE(fake.TraceLines().empty());
    fake.system.fileVersions[".\\openVPN\\openvpn.exe"] = {2, 9};
    EXPECT_EQ(Make(OS_WIN7), 1);
    EXPECT_EQ(File(kOpenVpnScriptName), OpenVpnScriptText(Inputs(OS_WIN7), {2, 9}));
    EXPECT_EQ(fake.TraceLines(),
              std::vector<std::string>{"OpenVPN 2.9 may no longer run static-key tunnels\n"});
}

TEST(RunnerTest, StartFailureIsTracedWithTheSystemErrorCode) {
    FakePlatform fake;
    fake.runner.startErrors["missing.bat"] = 2;
    RunCommand(fake.runner, fake.trace, "missing.bat");
    RunCommand(fake.runner, fake.trace, "present.bat");
    EXPECT_EQ(fake.journal.Of("runner"),
              (std::vector<std::string>{"wait missing.bat", "wait present.bat"}));
    EXPECT_EQ(fake.TraceLines(), std::vector<std::string>{"CreateProcess failed (2).\n"});
}

TEST(RunnerTest, DetachedRunHandsBackTheStartResult) {
    FakePlatform fake;
    fake.runner.winExecResult = 2;
    EXPECT_EQ(RunDetached(fake.runner, "GetIPSecStats.bat"), 2u);
    EXPECT_EQ(fake.journal.Of("runner"), std::vector<std::string>{"detach GetIPSecStats.bat"});
    EXPECT_TRUE(fake.TraceLines().empty());
}

}  // namespace
}  // namespace kestrun
