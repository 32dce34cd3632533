// Values from Setting.tmp must not be able to add commands to the scripts that run with
// administrator rights.
#include "tunnel/script_safety.h"

#include <gtest/gtest.h>

#include "tests/support/script_inputs.h"

#include <functional>

#include "netprobe/os_type.h"
#include "tests/fakes/fake_platform.h"
#include "tests/support/scoped_work_dir.h"
#include "tunnel/session_clock.h"
#include "tunnel/teardown.h"
#include "tunnel/tunnel_scripts.h"

namespace kestrun {
namespace {

using platform::fake::FakePlatform;

// Every character cmd.exe treats specially, and control bytes.
const std::vector<std::string> kUnsafe = {
    "&", "|", "<", ">", "^", "%", "\"", "\n", "\r", "\t", std::string(1, '\x01'), "\x1f", "\x7f"};

TEST(IsScriptSafeTest, PlainValuesBlanksAndHighBytesPass) {
    for (const std::string value :
         {"", "10.0.0.0", "key with blanks", "TRV-615_SSL", "a,b;c=d(e)!f", "\xe9t\xe9"}) {
        EXPECT_TRUE(IsScriptSafe(value)) << value;
    }
}

TEST(IsScriptSafeTest, EverySpecialCharacterAnywhereIsRefused) {
    for (const std::string& bad : kUnsafe) {
        EXPECT_FALSE(IsScriptSafe(bad)) << static_cast<int>(bad[0]);
        EXPECT_FALSE(IsScriptSafe("1.2.3.4" + bad + "calc")) << static_cast<int>(bad[0]);
        EXPECT_FALSE(IsScriptSafe(bad + "x")) << static_cast<int>(bad[0]);
    }
}

TunnelScriptInputs SafeInputs(int osType) {
    return test::SampleScriptInputs(osType);
}

struct Field {
    const char* name;
    std::string TunnelScriptInputs::*member;
};

const std::vector<Field> kFields = {
    {"ModelName", &TunnelScriptInputs::policy},
    {"local address", &TunnelScriptInputs::local},
    {"NetworkIP", &TunnelScriptInputs::network},
    {"Submask", &TunnelScriptInputs::mask},
    {"Gateway", &TunnelScriptInputs::gateway},
    {"PreSharedKey", &TunnelScriptInputs::key},
    {"OVPN_Ifconfig", &TunnelScriptInputs::ovpnIfconfig},
    {"OVPN_SerMask", &TunnelScriptInputs::ovpnSerMask},
    {"OVPN_SerPort", &TunnelScriptInputs::ovpnSerPort},
    {"OVPN_SerIP", &TunnelScriptInputs::ovpnSerIP},
};

TEST(MakeTunnelScriptsSafetyTest, UnsafeValueEmptiesBothScriptsAndNamesTheKey) {
    for (int osType : {OS_WIN2000, OS_WINXP}) {
        for (const Field& field : kFields) {
            for (const std::string& bad : kUnsafe) {
                test::ScopedWorkDir dir;
                FakePlatform fake;
                SessionClock clock;
                // An earlier, good call left scripts behind.
                ASSERT_EQ(MakeTunnelScripts(fake.platform, SafeInputs(osType), clock), 1);
                clock.m_bSessionClock = false;
                TunnelScriptInputs in = SafeInputs(osType);
                in.*field.member += bad + "net user x /add";

                EXPECT_EQ(MakeTunnelScripts(fake.platform, in, clock), 0) << field.name;
                EXPECT_EQ(fake.files.ReadAll(kIPsecScriptName), "") << field.name;
                EXPECT_EQ(fake.files.ReadAll(kOpenVpnScriptName), "") << field.name;
                EXPECT_EQ(fake.trace.lines,
                          std::vector<std::string>{std::string("Refused unsafe value of ") +
                                                   field.name + "\n"})
                    << field.name;
                EXPECT_FALSE(clock.m_bSessionClock);
            }
        }
    }
}

TEST(MakeTunnelScriptsSafetyTest, ValuesNotWrittenOnThisSystemAreNotRefused) {
    // The netsh form does not name the policy; without an IPsec form only OpenVPN values
    // are written.
    test::ScopedWorkDir dir;
    FakePlatform fake;
    SessionClock clock;
    TunnelScriptInputs in = SafeInputs(OS_VISTA);
    in.policy = "a&b";
    EXPECT_EQ(MakeTunnelScripts(fake.platform, in, clock), 1);
    in = SafeInputs(OS_WINNT);
    in.policy = "a&b";
    in.key = "a|b";
    in.local = "a>b";
    EXPECT_EQ(MakeTunnelScripts(fake.platform, in, clock), 1);
    EXPECT_TRUE(fake.trace.lines.empty());
}

TEST(MakeTunnelScriptsSafetyTest, EveryUnsafeValueIsNamed) {
    test::ScopedWorkDir dir;
    FakePlatform fake;
    SessionClock clock;
    TunnelScriptInputs in = SafeInputs(OS_WINSERVER);
    in.key = "x%PATH%";
    in.gateway = "1.2.3.4&calc";
    EXPECT_EQ(MakeTunnelScripts(fake.platform, in, clock), 0);
    EXPECT_EQ(fake.trace.lines, (std::vector<std::string>{"Refused unsafe value of PreSharedKey\n",
                                                          "Refused unsafe value of Gateway\n"}));
}

class TeardownSafetyTest : public ::testing::Test {
  protected:
    void Set(const std::string& key, const std::string& value) {
        fake.profile.WriteString("IPSec", key, value, ".\\Setting.tmp");
    }
    test::ScopedWorkDir dir;
    FakePlatform fake;
};

TEST(DelRouteTableSafetyTest, RouteWithAnUnsafeValueIsLeftOutAndNamed) {
    const std::vector<std::pair<std::string, std::string>> keys = {
        {"NetworkIP", "Submask"}, {"NetworkIP4", "Submask4"}, {"NetworkIP10", "Submask10"}};
    // Quotes and leading or trailing blanks do not survive the INI reader; the rest must be
    // refused by the client itself.
    const std::vector<std::string> bad = {"&", "|", "<", ">", "^", "%", "\t", "\x01", "\x7f"};
    for (const auto& [networkKey, maskKey] : keys) {
        for (const bool inMask : {false, true}) {
            for (const std::string& c : bad) {
                test::ScopedWorkDir dir;
                FakePlatform fake;
                auto set = [&](const std::string& key, const std::string& value) {
                    fake.profile.WriteString("IPSec", key, value, ".\\Setting.tmp");
                };
                set("NetworkIP2", "172.16.0.0");
                set("Submask2", "255.240.0.0");
                set(networkKey, inMask ? "10.0.0.0" : "10.0.0.0" + c + "calc");
                set(maskKey, inMask ? "255.0.0.0" + c + "calc" : "255.0.0.0");

                EXPECT_EQ(DelRouteTable(fake.platform), 1);
                const std::string text = fake.files.ReadAll(kDelRouteTableScriptName).value();
                EXPECT_EQ(text.find("calc"), std::string::npos) << networkKey;
                EXPECT_NE(text.find("route delete 172.16.0.0 mask 255.240.0.0"), std::string::npos);
                EXPECT_TRUE(fake.trace.Contains("Refused unsafe value of " +
                                                (inMask ? maskKey : networkKey) + "\n"))
                    << networkKey << " " << static_cast<int>(c[0]);
            }
        }
    }
}

TEST_F(TeardownSafetyTest, ClearIPsecWritesNoPolicyLineForAnUnsafePolicyName) {
    for (const std::string& bad : kUnsafe) {
        fake.trace.lines.clear();
        EXPECT_EQ(Clear_IPsec(fake.platform, OS_WIN2000, "TRV" + bad + "calc_SSL"), 1);
        EXPECT_EQ(fake.files.ReadAll(kClearIPsecScriptName), "");
        EXPECT_TRUE(fake.trace.Contains("Refused unsafe value of ModelName\n"));
    }
}

TEST_F(TeardownSafetyTest, RefusalIsTracedEvenWhenTheScriptCannotBeCreated) {
    fake.files.failCreate[kClearIPsecScriptName] = 5;
    fake.files.failCreate[kDelRouteTableScriptName] = 5;
    fake.profile.WriteString("IPSec", "NetworkIP", "10.0.0.0|calc", ".\\Setting.tmp");
    Clear_IPsec(fake.platform, OS_WINXP, "TRV&calc_SSL");
    EXPECT_TRUE(fake.trace.Contains("Refused unsafe value of NetworkIP\n"));
    EXPECT_TRUE(fake.trace.Contains("Refused unsafe value of ModelName\n"));
    EXPECT_TRUE(fake.trace.Contains("Error in Open:Clear_IPsec.bat\n"));
}

}  // namespace
}  // namespace kestrun
