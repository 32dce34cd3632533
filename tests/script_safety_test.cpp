// Values from Setting.tmp must not be able to add commands, or options to a command, to the
// scripts that run with administrator rights.
#include "tunnel/script_safety.h"

#include <gtest/gtest.h>

#include "settings/setting_file.h"
#include "tests/support/script_inputs.h"

#include <algorithm>

#include "netprobe/os_type.h"
#include "platform/format.h"
#include "tests/fakes/fake_platform.h"
#include "tests/support/scoped_work_dir.h"
#include "tunnel/session_clock.h"
#include "tunnel/teardown.h"
#include "tunnel/teardown_text.h"
#include "tunnel/tunnel_scripts.h"

namespace kestrun {
namespace {

using platform::fake::FakePlatform;

// Values a settings file could hold, each with the kinds of value that accept it: a address
// or mask, p port, t bare text (placed unquoted), q quoted text.
struct Payload {
    std::string value;
    std::string acceptedBy;
};

// clang-format off
const std::vector<Payload> kPayloads = {
    // Options added through a blank or a tab, or a value that is itself an option.
    {"1.2.3.4 --script-security 2 --up C:\\x.exe", "q"}, {"1194 --up x", "q"},
    {"1.2.3.4 443", "q"}, {"255.255.0.0 -f", "q"}, {"255.255.0.0\t-f", ""}, {"-f", "tq"},
    // A second command; inside quotes these are plain characters.
    {"1.2.3.4&calc", "q"}, {"1|calc", "q"}, {"1<x", "q"}, {"1>x", "q"}, {"1^x", "q"},
    // Expanded or ending the quotes even inside them, and control bytes.
    {"1%PATH%", ""}, {"1\"x", ""}, {"1\nx", ""}, {"\x01", ""}, {"\x7f", ""},
    // Not a number.
    {"1.2.3.4a", "tq"}, {"1.2.3.4", "atq"},
    // Edges and the defaults of the settings file.
    {"", "aptq"}, {"0.0.0.0", "atq"}, {"255.255.255.255", "atq"}, {"192.168.99.0", "atq"},
    {"10.1.99.1", "atq"}, {"99", "aptq"}, {"1", "aptq"}, {"65535", "aptq"}, {"999", "aptq"},
    {"2637", "aptq"}, {"QZM_SSL", "tq"}, {"R&D <1|2> ^x_SSL", "q"}, {"a,b;c=d(e)!f", "tq"},
    {"\xe9t\xe9", "tq"}};
// clang-format on

bool Accepted(const Payload& payload, char kind) {
    return payload.acceptedBy.find(kind) != std::string::npos;
}

std::string Refusal(const std::string& name) {
    return "Refused unsafe value of " + name + "\n";
}

TunnelScriptInputs SafeInputs(int osType) {
    return test::SampleScriptInputs(osType);
}

// The IPsec forms (ipsecpol, ipseccmd, netsh ipsec, netsh advfirewall) and a system with
// the OpenVPN script only.
const std::vector<int> kForms = {OS_WIN2000, OS_WINXP, OS_VISTA, OS_WIN7, OS_WINNT};
const std::vector<int> kIPsecForms = {OS_WIN2000, OS_WINXP, OS_VISTA, OS_WIN7};

struct Field {
    const char* name;
    std::string TunnelScriptInputs::*member;
    char kind;
    std::vector<int> writtenOn;
};

const std::vector<Field> kFields = {
    {"ModelName", &TunnelScriptInputs::policy, 'q', {OS_WIN2000, OS_WINXP}},
    {"local address", &TunnelScriptInputs::local, 'a', kIPsecForms},
    {"PreSharedKey", &TunnelScriptInputs::key, 't', kIPsecForms},
    {"NetworkIP", &TunnelScriptInputs::network, 'a', kForms},
    {"Submask", &TunnelScriptInputs::mask, 'a', kForms},
    {"Gateway", &TunnelScriptInputs::gateway, 'a', kForms},
    {"OVPN_Ifconfig", &TunnelScriptInputs::ovpnIfconfig, 'a', kForms},
    {"OVPN_SerMask", &TunnelScriptInputs::ovpnSerMask, 'a', kForms},
    {"OVPN_SerPort", &TunnelScriptInputs::ovpnSerPort, 'p', kForms},
    {"OVPN_SerIP", &TunnelScriptInputs::ovpnSerIP, 'a', kForms},
};

TEST(MakeTunnelScriptsSafetyTest, RefusedValueEmptiesBothScriptsAndOthersAreWrittenAsBuilt) {
    test::ScopedWorkDir dir;
    for (const int osType : kForms) {
        for (const Field& field : kFields) {
            const bool written = std::find(field.writtenOn.begin(), field.writtenOn.end(),
                                           osType) != field.writtenOn.end();
            for (const Payload& payload : kPayloads) {
                FakePlatform fake;
                SessionClock clock;
                // An earlier, good call left scripts behind.
                ASSERT_EQ(MakeTunnelScripts(fake.files, fake.system, fake.clock, fake.trace,
                                            SafeInputs(osType), clock),
                          1);
                clock.m_bSessionClock = false;
                TunnelScriptInputs in = SafeInputs(osType);
                in.*field.member = payload.value;
                const bool refused = written && !Accepted(payload, field.kind);
                const std::string where =
                    Format("%s=%s on %d", field.name,
                           ::testing::PrintToString(payload.value).c_str(), osType);

                EXPECT_EQ(
                    MakeTunnelScripts(fake.files, fake.system, fake.clock, fake.trace, in, clock),
                    refused ? 0 : 1)
                    << where;
                EXPECT_EQ(fake.files.ReadAll(kIPsecScriptName), refused ? "" : IPsecScriptText(in))
                    << where;
                EXPECT_EQ(fake.files.ReadAll(kOpenVpnScriptName),
                          refused ? "" : OpenVpnScriptText(in))
                    << where;
                EXPECT_EQ(fake.TraceLines(), refused ? std::vector<std::string>{Refusal(field.name)}
                                                     : std::vector<std::string>{})
                    << where;
                EXPECT_EQ(clock.m_bSessionClock, !refused) << where;
            }
        }
    }
}

TEST(ScriptValueRuleTest, NumberedKeysRunFromOneToTenAndUnknownNamesAreNeverSafe) {
    EXPECT_TRUE(IsScriptValueSafe("NetworkIP1", "10.0.0.0"));
    EXPECT_TRUE(IsScriptValueSafe("Submask10", "255.0.0.0"));
    for (const char* name : {"NetworkIP0", "NetworkIP11", "Submask01", "Gateway1", "RemoteLANIP"}) {
        EXPECT_FALSE(IsScriptValueSafe(name, "10.0.0.0")) << name;
    }
}

TEST(MakeTunnelScriptsSafetyTest, EveryUnsafeValueIsNamed) {
    test::ScopedWorkDir dir;
    FakePlatform fake;
    SessionClock clock;
    TunnelScriptInputs in = SafeInputs(OS_WINSERVER);
    in.key = "x%PATH%";
    in.gateway = "1.2.3.4&calc";
    EXPECT_EQ(MakeTunnelScripts(fake.files, fake.system, fake.clock, fake.trace, in, clock), 0);
    EXPECT_EQ(fake.TraceLines(), (std::vector<std::string>{"Refused unsafe value of PreSharedKey\n",
                                                           "Refused unsafe value of Gateway\n"}));
}

class TeardownSafetyTest : public ::testing::Test {
  protected:
    test::ScopedWorkDir dir;
    FakePlatform fake;
};

TEST(DelRouteTableSafetyTest, PairWithARefusedValueIsLeftOutAndNamed) {
    const RouteValues none{"NetworkIP", "", "Submask", ""};
    const RouteValues good{"NetworkIP2", "172.16.0.0", "Submask2", "255.240.0.0"};
    const std::string goodLine = "\nroute delete 172.16.0.0 mask 255.240.0.0";
    for (const std::string number : {"", "10"}) {
        for (const bool inMask : {false, true}) {
            for (const Payload& payload : kPayloads) {
                const std::string& v = payload.value;
                // Networks that are skipped before any check have tests of their own.
                if (!inMask &&
                    (v.empty() || v == "0.0.0.0" || (!number.empty() && v.size() <= 6))) {
                    continue;
                }
                const RouteValues pair{"NetworkIP" + number, inMask ? "10.0.0.0" : v,
                                       "Submask" + number, inMask ? v : "255.0.0.0"};
                const bool ok = Accepted(payload, 'a');
                const std::string line =
                    ok ? "route delete " + pair.network + " mask " + pair.mask : "";
                const ScriptText script = number.empty() ? DelRouteTableText(pair, {good})
                                                         : DelRouteTableText(none, {good, pair});
                const std::string where =
                    pair.networkKey + "/" + pair.maskKey + " " + ::testing::PrintToString(v);
                EXPECT_EQ(script.text,
                          number.empty() ? line + goodLine : goodLine + (ok ? "\n" + line : ""))
                    << where;
                EXPECT_EQ(script.refused,
                          ok ? std::vector<std::string>{}
                             : std::vector<std::string>{inMask ? pair.maskKey : pair.networkKey})
                    << where;
            }
        }
    }
}

TEST(ClearIPsecTextSafetyTest, RefusedPolicyNameLeavesThePolicyLinesOut) {
    for (const int osType : {OS_WIN2000, OS_WINXP}) {
        for (const Payload& payload : kPayloads) {
            const std::string policy = "TRV" + payload.value + "_SSL";
            const bool ok = Accepted(payload, 'q');
            const ScriptText script = ClearIPsecText(osType, policy);
            EXPECT_EQ(script.text.empty(), !ok) << ::testing::PrintToString(policy);
            EXPECT_EQ(script.text.find(" -p \"" + policy + "\" -r ") != std::string::npos, ok);
            EXPECT_EQ(script.refused,
                      ok ? std::vector<std::string>{} : std::vector<std::string>{"ModelName"});
        }
    }
}

TEST_F(TeardownSafetyTest, RefusalIsTracedEvenWhenTheScriptCannotBeCreated) {
    fake.files.failCreate[kClearIPsecScriptName] = 5;
    fake.files.failCreate[kDelRouteTableScriptName] = 5;
    fake.profile.WriteString("IPSec", "NetworkIP", "10.0.0.0|calc", ".\\Setting.tmp");
    Clear_IPsec(fake.files, fake.clock, fake.runner, fake.services, fake.trace,
                SettingFile(fake.profile, kWorkingCopyPath), OS_WINXP, "TRV%calc%_SSL");
    EXPECT_TRUE(fake.trace.Contains("Refused unsafe value of NetworkIP\n"));
    EXPECT_TRUE(fake.trace.Contains("Refused unsafe value of ModelName\n"));
    EXPECT_TRUE(fake.trace.Contains("Error in Open:Clear_IPsec.bat\n"));
}

}  // namespace
}  // namespace kestrun
