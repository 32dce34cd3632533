#include "tunnel/start_ipsec_tunnel.h"

#include <gtest/gtest.h>

#include "app/process_reset.h"
#include "netprobe/adapters.h"
#include "netprobe/os_type.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/scoped_work_dir.h"
#include "tunnel/ipsec_service.h"
#include "tunnel/session_clock.h"
#include "tunnel/teardown.h"
#include "tunnel/tunnel_scripts.h"

namespace kestrun {
namespace {

using platform::fake::FakePlatform;

class StartIPsecTunnelTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetProcessWideValues(); }
    void TearDown() override { ResetProcessWideValues(); }
    void Set(const std::string& key, const std::string& value) {
        fake.profile.WriteString("IPSec", key, value, ".\\Setting.tmp");
    }
    std::string Get(const std::string& key) {
        return fake.profile.GetString("IPSec", key, "<absent>", 128, ".\\Setting.tmp");
    }
    std::string File(const std::string& name) {
        return fake.files.ReadAll(name).value_or("<missing>");
    }
    testing::ScopedWorkDir dir;
    FakePlatform fake;
    TunnelSettings settings;
    AddressHistoryNotYetBuilt history;
};

TEST_F(StartIPsecTunnelTest, ReloadsDeletesOldRoutesSavesWritesRunsAndRecordsIPsecMode) {
    g_nOSType = OS_WINXP;
    g_strMyIP = "192.168.1.5";
    g_nVPNMode = VPN_MODE_OPENVPN;
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

    EXPECT_EQ(StartIPsecTunnel(fake.platform, settings, history), 1);

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0],
              "DelRouteTable.bat flag=FALSE interface=<absent>: route delete 10.0.0.0 mask "
              "255.0.0.0");
    EXPECT_EQ(seen[1], "Varnel_IPSecVPN.bat flag=FALSE interface=0: " +
                           IPsecScriptText(ScriptInputsFrom(settings)));
    EXPECT_NE(seen[1].find("-p \"TRV-615_SSL\""), std::string::npos);
    EXPECT_NE(seen[1].find("-f 192.168.1.5+10.0.0.0/255.0.0.0 -t 1.2.3.4"), std::string::npos);
    EXPECT_EQ(File("Varnel_openVPN.bat"), OpenVpnScriptText(ScriptInputsFrom(settings)));
    EXPECT_EQ(g_nVPNMode, VPN_MODE_IPSEC);
    EXPECT_EQ(Get("VPN Mode"), "1");
    EXPECT_EQ(Get("RemoveIPsec"), "FALSE");
    EXPECT_EQ(g_bSessionClock, 1);
}

TEST_F(StartIPsecTunnelTest, UnsafeValueFromThePortalRunsAnEmptyScript) {
    g_nOSType = OS_VISTA;
    g_strMyIP = "192.168.1.5";
    Set("PreSharedKey", "x & net user evil /add");
    EXPECT_EQ(StartIPsecTunnel(fake.platform, settings, history), 1);
    EXPECT_EQ(File("Varnel_IPSecVPN.bat"), "");
    EXPECT_EQ(File("Varnel_openVPN.bat"), "");
    EXPECT_TRUE(fake.trace.Contains("Refused unsafe value of PreSharedKey\n"));
    EXPECT_EQ(g_bSessionClock, 0);
}

TEST_F(StartIPsecTunnelTest, ProcessWideWrappersUseTheRunningSystem) {
    g_nOSType = OS_VISTA;
    fake.services.failOpenManager = 5;
    EXPECT_EQ(CheckIPsecService(fake.platform), 1);  // Vista: left alone
    g_nOSType = OS_WIN2000;
    EXPECT_EQ(CheckIPsecService(fake.platform), 0);

    settings.m_strModelName = "QZM_SSL";
    Clear_IPsec(fake.platform, settings);
    EXPECT_EQ(File("Clear_IPsec.bat"),
              "ipsecpol.exe -w REG -p \"QZM_SSL\" -r \"remote-router\" -y\n"
              "ipsecpol.exe -w REG -p \"QZM_SSL\" -r \"router-remote\" -o\n");

    g_nInterface = 3;
    platform::AdapterRecord lan;
    lan.adapterName = "{A}";
    lan.description = "LAN";
    lan.index = 3;
    lan.ipAddress = "10.0.0.2";
    platform::AdapterRecord tap;
    tap.adapterName = "{T}";
    tap.description = "TAP-Win32 Adapter V9";
    tap.index = 9;
    tap.ipAddress = "10.1.99.2";
    fake.net.adapters = {lan, tap};
    EXPECT_EQ(InspectAdapters(fake.platform), 1);
    EXPECT_EQ(g_strMyIP, "10.0.0.2");
    fake.net.routes = {{0, 9}};
    EXPECT_EQ(InspectAdapters(fake.platform), 1);
    EXPECT_EQ(g_nInterface, 9);
    EXPECT_EQ(g_strVPNClientIP, "10.1.99.2");  // TAP counts on Windows 2000
}

}  // namespace
}  // namespace kestrun
