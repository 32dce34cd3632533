#include "tunnel/start_ipsec_tunnel.h"

#include <gtest/gtest.h>

#include "netprobe/os_type.h"
#include "tests/fakes/fake_platform.h"
#include "tests/support/scoped_work_dir.h"
#include "tunnel/session_clock.h"
#include "tunnel/tunnel_scripts.h"

namespace kestrun {
namespace {

using platform::fake::FakePlatform;

class StartIPsecTunnelTest : public ::testing::Test {
  protected:
    void Set(const std::string& key, const std::string& value) {
        fake.profile.WriteString("IPSec", key, value, ".\\Setting.tmp");
    }
    std::string Get(const std::string& key) {
        return fake.profile.GetString("IPSec", key, "<absent>", 128, ".\\Setting.tmp");
    }
    std::string File(const std::string& name) {
        return fake.files.ReadAll(name).value_or("<missing>");
    }
    int Start(int osType) {
        return StartIPsecTunnel(fake.files, fake.system, fake.clock, fake.runner, fake.trace, file,
                                osType, adapters, settings, history, clock);
    }
    test::ScopedWorkDir dir;
    FakePlatform fake;
    SettingFile file{fake.profile, kWorkingCopyPath};
    AdapterFacts adapters;
    TunnelSettings settings;
    NoAddressHistory history;
    SessionClock clock;
};

TEST_F(StartIPsecTunnelTest, ReloadsDeletesOldRoutesSavesWritesRunsAndRecordsIPsecMode) {
    adapters.m_strMyIP = "192.168.1.5";
    Set("ParseSettingFlag", "TRUE");
    Set("ModelName", "TRV-615");
    Set("Gateway", "1.2.3.4");
    Set("NetworkIP", "10.0.0.0");
    Set("Submask", "255.0.0.0");
    Set("RemoveIPsec", "TRUE");
    std::vector<std::string> seen;
    fake.runner.onRun = [&](const std::string& command) {
        // When the routes are deleted the file has been reloaded but not saved yet.
        seen.push_back(command + " flag=" + Get("ParseSettingFlag") +
                       " interface=" + Get("Interface") + ": " + File(command));
    };

    EXPECT_EQ(Start(OS_WINXP), 1);

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0],
              "DelRouteTable.bat flag=FALSE interface=<absent>: route delete 10.0.0.0 mask "
              "255.0.0.0");
    EXPECT_EQ(seen[1], "Varnel_IPSecVPN.bat flag=FALSE interface=0: " +
                           IPsecScriptText(ScriptInputsFrom(settings, OS_WINXP, "192.168.1.5")));
    EXPECT_NE(seen[1].find("-p \"TRV-615_SSL\""), std::string::npos);
    EXPECT_NE(seen[1].find("-f 192.168.1.5+10.0.0.0/255.0.0.0 -t 1.2.3.4"), std::string::npos);
    EXPECT_EQ(File("Varnel_openVPN.bat"),
              OpenVpnScriptText(ScriptInputsFrom(settings, OS_WINXP, "192.168.1.5")));
    EXPECT_EQ(Get("VPN Mode"), "1");
    EXPECT_EQ(Get("RemoveIPsec"), "FALSE");
    EXPECT_TRUE(clock.m_bSessionClock);
}

// Nothing runs and nothing is recorded: the tunnel stays down.
TEST_F(StartIPsecTunnelTest, UnsafeValueFromThePortalRunsNothing) {
    Set("PreSharedKey", "x & net user evil /add");
    Set("RemoveIPsec", "TRUE");
    adapters.m_strMyIP = "192.168.1.5";
    EXPECT_EQ(Start(OS_VISTA), 0);
    EXPECT_FALSE(fake.journal.Has("runner: wait Varnel_IPSecVPN.bat"));
    EXPECT_EQ(Get("RemoveIPsec"), "TRUE");
    EXPECT_EQ(File("Varnel_IPSecVPN.bat"), "");
    EXPECT_EQ(File("Varnel_openVPN.bat"), "");
    EXPECT_TRUE(fake.trace.Contains("Refused unsafe value of PreSharedKey\n"));
    EXPECT_FALSE(clock.m_bSessionClock);
}

}  // namespace
}  // namespace kestrun
