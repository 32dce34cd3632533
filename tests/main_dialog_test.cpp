#include "app/main_dialog.h"

#include <gtest/gtest.h>

#include "tests/support/case_name.h"

#include "tests/support/adapter_records.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/messages.h"
#include "netprobe/adapters.h"
#include "netprobe/liveness.h"
#include "netprobe/os_type.h"
#include "platform/format.h"
#include "res/resource.h"
#include "tests/support/main_window_fixture.h"

namespace kestrun {
namespace {

using platform::AdapterRecord;
using platform::Msg;
using platform::fake::FakeDialogHost;
using platform::fake::FakeShell;
using test::Adapter;
using test::kBrush;
using test::kDialogFont;
using test::kVirtualAdapter;

constexpr std::uint32_t kOtherSwpFlags = 0x0001 | 0x0002;  // SWP_NOSIZE | SWP_NOMOVE

class MainDialogTest : public test::MainWindowFixture {};

// ---------------------------------------------------------------------------------------
// Construction and set-up order

TEST_F(MainDialogTest, ConstructionLoadsTheWindowIconAndStartsFromZero) {
    Make();
    EXPECT_EQ(fake.journal.Of("icons"), std::vector<std::string>{"ProgramIcon 133"});
    EXPECT_EQ(Connection().State(), CS_IDLE);
    EXPECT_EQ(Connection().Settings().m_dwStartTime, 0u);
    EXPECT_FALSE(host->exists);
    EXPECT_TRUE(fake.journal.Of("shell").empty());  // the tray icon waits for the set-up
}

// The whole set-up of a PC with a settings file that asks for nothing but the IPsec
// tunnel of an outside login (no "CallByIE", so it counts as "TRUE").
TEST_F(MainDialogTest, SetUpRunsItsStepsInOrder) {
    Create();
    EXPECT_EQ(host->initResult, 1);

    // What each step touches; reads of the tunnel parameters and the service's own calls
    // are left out.
    const std::vector<std::string> keptProfileKeys = {
        " ModelName ", " ParseSettingFlag", " ShowAppletTitle", " CallByIE",
        " VPN Mode",   " RemoveIPsec",      " StartTime"};
    std::vector<std::string> steps;
    bool inServiceRestart = false;  // its polls read the clock
    for (const std::string& line : fake.journal.Entries()) {
        inServiceRestart = line == "services: open manager" ||
                           (inServiceRestart && line.rfind("profile:", 0) != 0);
        if (inServiceRestart && line.rfind("clock:", 0) == 0) {
            continue;
        }
        if (line.rfind("profile:", 0) == 0) {
            const bool kept = std::any_of(
                keptProfileKeys.begin(), keptProfileKeys.end(),
                [&](const std::string& key) { return line.find(key) != std::string::npos; });
            if (!kept) {
                continue;
            }
        }
        if (line.rfind("trace:", 0) == 0 && line.rfind("trace: CurrentPath", 0) != 0 &&
            line.rfind("trace: CallByIE", 0) != 0) {
            continue;
        }
        if (line.rfind("files: read", 0) == 0 || line.rfind("shell: RegisterMessageName", 0) == 0 ||
            line.rfind("clock: sleep", 0) == 0 || line.rfind("services: PolicyAgent", 0) == 0) {
            continue;
        }
        steps.push_back(line);
    }
    const std::string ini = " IPSec|.\\Setting.tmp";
    const std::vector<std::string> expected = {
        "icons: ProgramIcon 133",  // construction
        "host: CreateModeless 102",
        "host: SetItemText 1004 ",  // the framework's set-up shows the empty status
        "host: SetIcon big",
        "host: SetIcon small",
        "system: current directory",
        "trace: CurrentPath=C:\\Kestrun\\msg.html, StartTime=0\n",
        "host: SetItemFont 1004 0xb001",
        "icons: IconFromFile res\\icon_link.ico",
        "icons: IconFromFile res\\icon_NoLink.ico",
        "shell: CreateHiddenWindow CSystemTray Dummy Window",
        "shell: NotifyIcon 0",
        "shell: NotifyIcon 1",
        "registry: create SYSTEM\\CurrentControlSet\\Services\\PolicyAgent\\Oakley",
        "services: open manager",
        "profile: get ModelName def=QZM size=128" + ini,
        "profile: set ParseSettingFlag=FALSE" + ini,
        "net: route table",
        "net: adapters",
        "registry: open "
        "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}\\0000",
        "runner: wait .\\Refresh.bat",
        "profile: set ShowAppletTitle=FALSE" + ini,
        "profile: get CallByIE def=TRUE size=260" + ini,
        "trace: CallByIE=[TRUE]\n",
        "profile: get VPN Mode def=1 size=260" + ini,
        "host: EnableItem 1002 0",
        "host: GetItemText 1004",
        "files: write DelRouteTable.bat",
        "runner: wait DelRouteTable.bat",
        "profile: set StartTime=0" + ini,  // the last of SaveSetting
        "files: write Varnel_IPSecVPN.bat",
        "system: file version .\\openVPN\\openvpn.exe",  // the OpenVPN line is for its release
        "files: write Varnel_openVPN.bat",
        "clock: tick",  // the session clock starts with the scripts
        "runner: wait Varnel_IPSecVPN.bat",
        "profile: set VPN Mode=1" + ini,
        "profile: set RemoveIPsec=FALSE" + ini,
        "profile: set CallByIE=FALSE" + ini,
        "host: SetItemText 1004 Login Successful",
        "host: SetTimer 1 3000",
        "profile: int StartTime def=0" + ini,
        "clock: tick",
        "profile: get RemoveIPsec def=TRUE size=260" + ini,
        "host: SetTimer 3 1000",
    };
    EXPECT_EQ(steps, expected);
}

TEST_F(MainDialogTest, SetUpRecordsTheProgramDirectoryAndTheMessagePage) {
    Create();
    EXPECT_EQ(Connection().CurrentDir(), "C:\\Kestrun");
    EXPECT_EQ(Connection().MsgPagePath(), "C:\\Kestrun\\msg.html");
    EXPECT_EQ(host->icons[true], 0x1330u);
    EXPECT_EQ(host->icons[false], 0x1330u);
    EXPECT_FALSE(host->visible);
}

TEST_F(MainDialogTest, SetUpLeavesTheConnectionIdleWithOnlyTheProfileWatch) {
    Set("CallByIE", "FALSE");
    Create();
    EXPECT_EQ(Connection().State(), CS_IDLE);
    EXPECT_EQ(host->timers, (std::map<std::uint32_t, std::uint32_t>{{IDT_CALLBYIE_WATCH, 1000}}));
    // The link check's count starts at 0: 15 unanswered polls to the switch.
    host->SetTimer(IDT_LINK_CHECK, 3000);
    for (int poll = 1; poll < 15; ++poll) {
        host->Deliver(TimerMsg(IDT_LINK_CHECK));
    }
    EXPECT_FALSE(Ran("detach Varnel_openVPN.bat"));
    host->Deliver(TimerMsg(IDT_LINK_CHECK));
    EXPECT_TRUE(Ran("detach Varnel_openVPN.bat"));
}

TEST_F(MainDialogTest, TrayIconStartsDisconnectedWithTheProgramTip) {
    Create();
    ASSERT_EQ(shell.icons.size(), 1u);
    const platform::NotifyIconRecord& icon = shell.icons.begin()->second;
    EXPECT_EQ(icon.uID, static_cast<std::uint32_t>(IDR_TRAY_MENU));
    EXPECT_EQ(icon.uCallbackMessage, WM_TRAYICON_NOTIFY);
    EXPECT_EQ(icon.hIcon, 0x1420u);
    EXPECT_EQ(std::string(icon.szTip.data()), "Varnel Pallisor Client");
}

TEST_F(MainDialogTest, MissingIconFilesGiveEmptyIconsAndNothingIsReported) {
    icons.files.clear();
    Create();
    ASSERT_EQ(shell.icons.size(), 1u);
    EXPECT_EQ(shell.icons.begin()->second.hIcon, 0u);
    EXPECT_TRUE(host->boxes.empty());
}

TEST_F(MainDialogTest, StatusLineGetsTheBoldFontAtSetUp) {
    Create();
    // A cell height four pixels above the dialog font's 12.
    const platform::GdiRef bold = painting.boldFonts.at({kDialogFont, 16});
    EXPECT_EQ(host->itemFonts.at(IDC_STATIC_STATUS), bold);
    EXPECT_EQ(host->itemFonts.size(), 1u);
}

TEST_F(MainDialogTest, WithoutADialogFontNoFontIsSet) {
    Make();
    host->font = 0;
    ASSERT_TRUE(dlg->Create());
    EXPECT_TRUE(host->itemFonts.empty());
}

// ---------------------------------------------------------------------------------------
// Failure branches

TEST_F(MainDialogTest, TrayIconRefusedStopsTheSetUpThere) {
    shell.failAdd = true;
    Set("CallByIE", "TRUE");
    Create();
    EXPECT_EQ(host->initResult, 0);
    EXPECT_EQ(fake.journal.From("shell: NotifyIcon 0"),
              std::vector<std::string>{"shell: NotifyIcon 0"});
    EXPECT_TRUE(host->timers.empty());
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_TRUE(fake.journal.Of("runner").empty());
    EXPECT_EQ(Get("CallByIE"), "TRUE");
    EXPECT_FALSE(host->visible);
}

TEST_F(MainDialogTest, HiddenTrayWindowThatCannotBeMadeStopsTheSetUpToo) {
    shell.failCreateWindow = true;
    Create();
    EXPECT_EQ(host->initResult, 0);
    EXPECT_TRUE(host->timers.empty());
    EXPECT_TRUE(shell.icons.empty());
}

TEST_F(MainDialogTest, IPsecServiceThatCannotBeStartedIsReportedAndSetUpGoesOn) {
    fake.services.services.clear();  // no PolicyAgent
    Create();
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].text, "The OS's IPSec Service isn't activate!!!\nPlease Activate it.");
    EXPECT_EQ(host->boxes[0].caption, "Warnning");
    EXPECT_EQ(host->boxes[0].style, 0x30u);  // not topmost
    EXPECT_EQ(fake.ui.boxes.size(), 0u);     // owned by the main window
    EXPECT_EQ(host->timers.count(IDT_CALLBYIE_WATCH), 1u);
    EXPECT_EQ(host->initResult, 1);
}

// The copy would otherwise be looked for in the drive's root, where every user may write.
TEST_F(MainDialogTest, NoProfileDirectoryNoProfileWatch) {
    machine.m_szProfileDir.clear();
    Create();
    EXPECT_EQ(host->initResult, 1);
    EXPECT_EQ(host->timers.count(IDT_CALLBYIE_WATCH), 0u);
}

TEST_F(MainDialogTest, ServiceIsLeftAloneOnVistaAndNothingIsReported) {
    machine.m_nOSType = OS_VISTA;
    fake.services.services.clear();
    Create();
    EXPECT_TRUE(host->boxes.empty());
}

TEST_F(MainDialogTest, NoDefaultRouteIsReportedAndSetUpGoesOn) {
    fake.net.routes.clear();  // two adapters, none carrying a default route
    Set("CallByIE", "FALSE");
    Create();
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].text, "The PC's LAN don't setting default Gateway!!!");
    EXPECT_EQ(host->boxes[0].caption, "Warnning");
    EXPECT_EQ(host->boxes[0].style, 0x40030u);
    EXPECT_TRUE(Ran("wait .\\Refresh.bat"));
    EXPECT_EQ(host->timers.count(IDT_CALLBYIE_WATCH), 1u);
}

TEST_F(MainDialogTest, NetworkAtZeroAddressIsReportedAfterTheRefreshScript) {
    fake.net.adapters = {Adapter(2, "LAN", "0.0.0.0", "0.0.0.0", "{LAN}")};
    Set("CallByIE", "FALSE");
    Create();
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].text, "The PC's network is failed!!!\nPlease check you network.");
    EXPECT_EQ(host->boxes[0].caption, "Warnning");
    EXPECT_EQ(host->boxes[0].style, 0x40030u);
    const std::vector<std::string> journal = fake.journal.Entries();
    const auto refresh = std::find(journal.begin(), journal.end(), "runner: wait .\\Refresh.bat");
    const auto box = std::find_if(journal.begin(), journal.end(), [](const std::string& line) {
        return line.rfind("host: MessageBox The PC's network", 0) == 0;
    });
    EXPECT_LT(refresh, box);
}

TEST_F(MainDialogTest, OnlyBothAddressAndMaskAtZeroCountAsAFailedNetwork) {
    fake.net.adapters = {Adapter(2, "LAN", "0.0.0.0", "255.255.255.0", "{LAN}")};
    Set("CallByIE", "FALSE");
    Create();
    EXPECT_TRUE(host->boxes.empty());
}

TEST_F(MainDialogTest, WarningsInTheirOrder) {
    const struct {
        std::vector<platform::RouteRow> routes;
        const char* second;
    } cases[] = {{{}, "The PC's LAN don't setting default Gateway!!!"},
                 {{{0, 2}}, "The PC's network is failed!!!\nPlease check you network."}};
    for (const auto& c : cases) {
        fake.services.services.clear();
        fake.net.routes = c.routes;
        fake.net.adapters = {Adapter(2, "LAN", "0.0.0.0", "0.0.0.0", "{LAN}"),
                             Adapter(3, "WLAN", "0.0.0.0", "0.0.0.0", "{WLAN}")};
        Set("CallByIE", "FALSE");
        Set("Interface", "9");  // no adapter of that index
        Create();
        ASSERT_EQ(host->boxes.size(), 2u) << c.second;
        EXPECT_EQ(host->boxes[0].text,
                  "The OS's IPSec Service isn't activate!!!\nPlease Activate it.");
        EXPECT_EQ(host->boxes[1].text, c.second);
        EXPECT_EQ(host->initResult, 1);
    }
}

TEST_F(MainDialogTest, VirtualAdapterIsHidden) {
    for (int i = 0; i < 99; ++i) {
        fake.registry.At(platform::RegRoot::LocalMachine,
                         Format("SYSTEM\\CurrentControlSet\\Control\\Class\\"
                                "{4D36E972-E325-11CE-BFC1-08002bE10318}\\%04d",
                                i));
    }
    fake.registry
        .At(platform::RegRoot::LocalMachine,
            "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}"
            "\\0004")
        .values["NetCfgInstanceId"]
        .text = kVirtualAdapter;
    const std::string connection = std::string(
                                       "SYSTEM\\CurrentControlSet\\Control\\Network\\"
                                       "{4D36E972-E325-11CE-BFC1-08002BE10318}\\") +
                                   kVirtualAdapter + "\\Connection";
    fake.registry.At(platform::RegRoot::LocalMachine, connection);
    Set("CallByIE", "FALSE");
    Create();
    const auto* entry = fake.registry.Find(
        platform::RegRoot::LocalMachine,
        "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}\\0004");
    EXPECT_EQ(entry->values.at("Characteristics").dword, 0x89u);
    EXPECT_EQ(fake.registry.Find(platform::RegRoot::LocalMachine, connection)
                  ->values.at("ShowIcon")
                  .dword,
              0u);
    EXPECT_TRUE(
        fake.trace.Contains(std::string("SetAdapterIcon:strGUID=") + kVirtualAdapter + "\n"));
}

TEST_F(MainDialogTest, MissingRefreshScriptFailsQuietly) {
    fake.runner.startErrors[".\\Refresh.bat"] = 2;
    Set("CallByIE", "FALSE");
    Create();
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_TRUE(fake.trace.Contains("CreateProcess failed (2).\n"));
    EXPECT_EQ(host->initResult, 1);
}

// ---------------------------------------------------------------------------------------
// A login made in an outside browser

struct CallByIeCase {
    const char* name;
    const char* value;  // nullptr: key absent
    bool builds;
};
KESTRUN_PRINTS_CASE_NAME(CallByIeCase)

class MainDialogCallByIeTest : public MainDialogTest,
                               public ::testing::WithParamInterface<CallByIeCase> {};

TEST_P(MainDialogCallByIeTest, OnlyExactlyTrueBuildsATunnel) {
    const CallByIeCase& c = GetParam();
    if (c.value != nullptr) {
        Set("CallByIE", c.value);
    }
    Set("RemoveIPsec", "TRUE");
    Create();
    EXPECT_TRUE(fake.trace.Contains(std::string("CallByIE=[") +
                                    (c.value != nullptr ? c.value : "TRUE") + "]\n"));
    EXPECT_EQ(Ran("wait Varnel_IPSecVPN.bat"), c.builds);
    EXPECT_EQ(Ran("wait DelRouteTable.bat"), c.builds);
    EXPECT_EQ(host->timers.count(IDT_LINK_CHECK), c.builds ? 1u : 0u);
    EXPECT_EQ(host->IsItemEnabled(IDC_BUTTON_CONNECT), !c.builds);
    EXPECT_EQ(host->IsItemEnabled(IDC_BUTTON_DEL), c.builds);
    EXPECT_EQ(host->texts[IDC_STATIC_STATUS], c.builds ? "Login Successful" : "");
    EXPECT_EQ(Get("ShowAppletTitle"), "FALSE");
    if (c.builds) {
        EXPECT_EQ(Get("CallByIE"), "FALSE");
        EXPECT_EQ(Get("RemoveIPsec"), "FALSE");
        EXPECT_EQ(Get("VPN Mode"), "1");
        EXPECT_EQ(Connection().VpnMode(), VPN_MODE_IPSEC);
    } else {
        EXPECT_EQ(Get("CallByIE"), c.value);
        EXPECT_EQ(Get("RemoveIPsec"), "TRUE");
        EXPECT_FALSE(fake.files.ReadAll("Varnel_IPSecVPN.bat").has_value());
    }
    EXPECT_EQ(host->timers.count(IDT_CALLBYIE_WATCH), 1u);
}

INSTANTIATE_TEST_SUITE_P(Values, MainDialogCallByIeTest,
                         ::testing::Values(CallByIeCase{"Absent", nullptr, true},
                                           CallByIeCase{"True", "TRUE", true},
                                           CallByIeCase{"LowerCase", "true", false},
                                           CallByIeCase{"False", "FALSE", false},
                                           CallByIeCase{"Longer", "TRUEE", false},
                                           CallByIeCase{"Empty", "", false}),
                         test::CaseName());

TEST_F(MainDialogTest, OutsideLoginBuildsFromTheFileParameters) {
    Set("Gateway", "203.0.113.9");
    Set("NetworkIP", "10.8.0.0");
    Set("Submask", "255.255.0.0");
    Set("ModelName", "TRV-615");
    Create();
    EXPECT_EQ(Connection().Settings().m_strGateway, "203.0.113.9");
    const std::string script = fake.files.ReadAll("Varnel_IPSecVPN.bat").value_or("");
    EXPECT_NE(script.find("-p \"TRV-615_SSL\""), std::string::npos);
    EXPECT_NE(script.find("-f 192.168.1.5+10.8.0.0/255.255.0.0 -t 203.0.113.9"), std::string::npos);
}

TEST_F(MainDialogTest, NoSettingsFileAtAllBuildsFromTheDefaultsAndCreatesTheFile) {
    Create();
    EXPECT_TRUE(Ran("wait Varnel_IPSecVPN.bat"));
    EXPECT_EQ(Get("Gateway"), "0.0.0.0");
    EXPECT_EQ(Get("CallByIE"), "FALSE");
    EXPECT_EQ(Get("ShowAppletTitle"), "FALSE");
}

TEST_F(MainDialogTest, OpenVpnModeStartsItsScriptWithoutWaitingAndPresetsTheCount) {
    Set("VPN Mode", "2");
    Make();
    fake.journal.Clear();
    ASSERT_TRUE(dlg->Create());
    EXPECT_TRUE(Ran("detach Varnel_openVPN.bat"));
    EXPECT_FALSE(Ran("wait Varnel_IPSecVPN.bat"));
    EXPECT_EQ(Get("VPN Mode"), "2");
    EXPECT_EQ(Get("RemoveIPsec"), "FALSE");
    EXPECT_EQ(host->texts[IDC_STATIC_STATUS], "Login Successful");
    EXPECT_EQ(host->timers.at(IDT_LINK_CHECK), 3000u);
    EXPECT_TRUE(fake.journal.Before("runner: detach Varnel_openVPN.bat",
                                    "profile: set VPN Mode=2 IPSec|.\\Setting.tmp"));
    // The count starts at 21: the program gives up after 20 unanswered polls.
    EXPECT_EQ(PollsUntilExit(30), 20);
}

// Whatever the mode says, the IPsec tunnel it builds is the one removed again.
TEST_F(MainDialogTest, AnyModeOtherThanTwoBuildsIPsecAndRemovesIt) {
    for (const char* mode : {"7", "3", "0", ""}) {
        SCOPED_TRACE(mode);
        Set("VPN Mode", mode);
        Set("CallByIE", "TRUE");
        Make(VPN_MODE_IPSEC);
        ASSERT_TRUE(dlg->Create());
        EXPECT_TRUE(Ran("wait Varnel_IPSecVPN.bat"));
        EXPECT_EQ(Get("VPN Mode"), "1");
        EXPECT_EQ(Connection().VpnMode(), VPN_MODE_IPSEC);
        fake.journal.Clear();
        host->Deliver(CommandMsg(IDC_BUTTON_DEL));
        EXPECT_TRUE(Ran("wait Clear_IPsec.bat"));
        dlg.reset();
    }
}

// A script that cannot be written safely is not replaced by the one on disk.
TEST_F(MainDialogTest, OutsideLoginWithAnUnsafeValueBuildsNothing) {
    Set("PreSharedKey", "x & net user evil /add");
    Create();
    EXPECT_FALSE(Ran("wait Varnel_IPSecVPN.bat"));
    EXPECT_TRUE(fake.trace.Contains("MakeTunnelScripts failed: no tunnel is built.\n"));
    EXPECT_EQ(host->texts[IDC_STATIC_STATUS], "Connecting Fail");
    EXPECT_EQ(std::string(shell.notifications.back().second.szTip.data()).rfind("Can't Connect", 0),
              0u);
    EXPECT_EQ(host->timers.count(IDT_LINK_CHECK), 0u);
    EXPECT_TRUE(host->IsItemEnabled(IDC_BUTTON_CONNECT));
    EXPECT_NE(Get("CallByIE"), "FALSE");
}

TEST_F(MainDialogTest, OutsideLoginReadsTheStatusControlBeforeShowingTheResult) {
    Make();
    host->texts[IDC_STATIC_STATUS] = "typed";
    ASSERT_TRUE(dlg->Create());
    const std::vector<std::string> tail = fake.journal.From("host: EnableItem 1002 0");
    ASSERT_GE(tail.size(), 2u);
    EXPECT_EQ(tail[1], "host: GetItemText 1004");
}

// ---------------------------------------------------------------------------------------
// Start time and the Delete VPN button

struct StartTimeCase {
    const char* name;
    const char* value;                      // nullptr: absent
    std::optional<std::uint32_t> expected;  // nothing: the tick at set-up
};
KESTRUN_PRINTS_CASE_NAME(StartTimeCase)

class MainDialogStartTimeTest : public MainDialogTest,
                                public ::testing::WithParamInterface<StartTimeCase> {};

TEST_P(MainDialogStartTimeTest, ZeroOrAbsentStartsTheClockNow) {
    Set("CallByIE", "FALSE");
    if (GetParam().value != nullptr) {
        Set("StartTime", GetParam().value);
    }
    Create();
    EXPECT_EQ(Connection().Settings().m_dwStartTime, GetParam().expected.value_or(fake.clock.now));
}

INSTANTIATE_TEST_SUITE_P(Values, MainDialogStartTimeTest,
                         ::testing::Values(StartTimeCase{"Absent", nullptr, std::nullopt},
                                           StartTimeCase{"Zero", "0", std::nullopt},
                                           StartTimeCase{"NotANumber", "abc", std::nullopt},
                                           StartTimeCase{"Value", "12345", 12345}),
                         test::CaseName());

TEST_F(MainDialogTest, OutsideLoginSavesTheOldStartTimeThenStartsTheClockNow) {
    Set("StartTime", "12345");
    Create();
    EXPECT_EQ(Get("StartTime"), "0");
    EXPECT_EQ(Connection().Settings().m_dwStartTime, fake.clock.now);
}

struct RemoveIpsecCase {
    const char* name;
    const char* value;  // nullptr: absent
    bool deleteEnabled;
};
KESTRUN_PRINTS_CASE_NAME(RemoveIpsecCase)

class MainDialogRemoveIpsecTest : public MainDialogTest,
                                  public ::testing::WithParamInterface<RemoveIpsecCase> {};

TEST_P(MainDialogRemoveIpsecTest, DeleteVpnIsOfferedOnlyForABuiltTunnel) {
    Set("CallByIE", "FALSE");
    if (GetParam().value != nullptr) {
        Set("RemoveIPsec", GetParam().value);
    }
    Create();
    EXPECT_EQ(host->IsItemEnabled(IDC_BUTTON_DEL), GetParam().deleteEnabled);
    EXPECT_TRUE(host->IsItemEnabled(IDC_BUTTON_CONNECT));
}

INSTANTIATE_TEST_SUITE_P(Values, MainDialogRemoveIpsecTest,
                         ::testing::Values(RemoveIpsecCase{"Absent", nullptr, false},
                                           RemoveIpsecCase{"True", "TRUE", false},
                                           RemoveIpsecCase{"False", "FALSE", true},
                                           RemoveIpsecCase{"LowerCase", "true", true}),
                         test::CaseName());

// ---------------------------------------------------------------------------------------
// Data exchange

// A tick reads the status line back before it shows its own text, so what the line shows
// survives a tick that sets nothing.
TEST_F(MainDialogTest, StatusFieldAndControlExchangeBothWays) {
    Set("CallByIE", "FALSE");
    Create();
    host->texts[IDC_STATIC_STATUS] = "read back";
    host->Deliver(TimerMsg(99));  // a timer of no branch only exchanges the data
    EXPECT_EQ(host->texts[IDC_STATIC_STATUS], "read back");
    host->Deliver(CommandMsg(IDC_BUTTON_DEL));
    EXPECT_EQ(host->texts[IDC_STATIC_STATUS], "Connection Deleted");
}

// ---------------------------------------------------------------------------------------
// Visibility

class MainDialogShownTest : public MainDialogTest {
  protected:
    void SetUp() override {
        MainDialogTest::SetUp();
        Set("CallByIE", "FALSE");
        Create();
    }
    // A position change that asks to show the window; returns the flags left.
    std::uint32_t PositionChange(platform::MsgResult* result = nullptr) {
        std::uint32_t flags = platform::kSwpShowWindow | kOtherSwpFlags;
        const platform::MsgResult got = host->Deliver(
            Msg{platform::kWmWindowPosChanging, 0, reinterpret_cast<std::intptr_t>(&flags)});
        if (result != nullptr) {
            *result = got;
        }
        return flags;
    }
};

TEST_F(MainDialogShownTest, GateKeepsTheWindowInvisibleUntilTheShowCommand) {
    platform::MsgResult result;
    EXPECT_EQ(PositionChange(&result), kOtherSwpFlags);
    EXPECT_FALSE(result.handled);  // default processing follows

    host->Deliver(CommandMsg(ID_SHOW_MAIN));
    EXPECT_EQ(host->showCommands.back(), platform::kSwShow);
    EXPECT_TRUE(host->visible);
    EXPECT_EQ(PositionChange(&result), platform::kSwpShowWindow | kOtherSwpFlags);
    EXPECT_FALSE(result.handled);
}

// A client that stays hidden, even through an outside login, never loads the browser; the
// first show puts it in its place before the window appears, and only then.
TEST_F(MainDialogShownTest, TheBrowserIsMadeByTheFirstShowOnly) {
    machine.m_szProfileDir = "profile";
    Set("CallByIE", "TRUE", "profile\\Setting.tmp");
    fake.journal.Clear();
    host->Deliver(Msg{platform::kWmTimer, IDT_CALLBYIE_WATCH, 0});
    EXPECT_TRUE(Ran("wait Varnel_IPSecVPN.bat"));
    EXPECT_TRUE(fake.journal.Of("browser").empty());
    host->Deliver(CommandMsg(ID_SHOW_MAIN));
    host->Deliver(CommandMsg(IDC_BUTTON_HIDE));
    host->Deliver(CommandMsg(ID_SHOW_MAIN));
    EXPECT_EQ(fake.journal.Of("browser"), std::vector<std::string>{"attach 1001"});
    const std::vector<std::string> shown = fake.journal.From("browser: attach 1001");
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[1], "host: ShowWindow 5");
    ASSERT_NE(browsers.events, nullptr);  // its events reach the window
    browsers.location = "https://router/auth.asp";
    browsers.events->OnBrowserEvent(platform::kDispDocumentComplete, "");
    EXPECT_EQ(host->timers.count(IDT_SETTING_WAIT), 1u);
}

// Delete VPN and Connect on a window that was never shown make the browser themselves.
TEST_F(MainDialogShownTest, CommandsOnANeverShownWindowStillDriveTheBrowser) {
    host->Deliver(CommandMsg(IDC_BUTTON_DEL));
    EXPECT_EQ(fake.journal.Of("browser"),
              (std::vector<std::string>{"attach 1001", "navigate C:\\Kestrun\\msg.html"}));
    EXPECT_EQ(fake.journal.From("host: EnableItem 1001 1").at(1), "clock: sleep 500");
    browsers.failAttach = true;  // one attempt, as set-up made: no second one
    host->Deliver(CommandMsg(IDC_BUTTON_CONNECT));
    const std::vector<std::string> calls = fake.journal.Of("browser");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "attach 1001"), 1);
}

TEST_F(MainDialogShownTest, HideLeavesTheGateOpenAndTheShowCommandShowsAgain) {
    host->Deliver(CommandMsg(ID_SHOW_MAIN));
    host->Deliver(CommandMsg(IDC_BUTTON_HIDE));
    EXPECT_EQ(host->showCommands.back(), platform::kSwHide);
    EXPECT_FALSE(host->visible);
    EXPECT_EQ(PositionChange(), platform::kSwpShowWindow | kOtherSwpFlags);
    host->Deliver(CommandMsg(ID_SHOW_MAIN));
    EXPECT_TRUE(host->visible);
}

TEST_F(MainDialogShownTest, HideBeforeTheShowCommandKeepsTheGateClosed) {
    host->Deliver(CommandMsg(IDC_BUTTON_HIDE));
    EXPECT_EQ(PositionChange(), kOtherSwpFlags);
}

struct SysCommandCase {
    const char* name;
    std::uintptr_t command;
    bool hides;
};
KESTRUN_PRINTS_CASE_NAME(SysCommandCase)

class MainDialogSysCommandTest : public MainDialogShownTest,
                                 public ::testing::WithParamInterface<SysCommandCase> {};

TEST_P(MainDialogSysCommandTest, OnlyTheExactCloseCommandHides) {
    host->Deliver(CommandMsg(ID_SHOW_MAIN));
    fake.journal.Clear();
    const platform::MsgResult result =
        host->Deliver(Msg{platform::kWmSysCommand, GetParam().command, 0});
    EXPECT_EQ(result.handled, GetParam().hides);
    EXPECT_EQ(host->visible, !GetParam().hides);
    EXPECT_EQ(fake.TraceLines(),
              GetParam().hides ? std::vector<std::string>{"SC_CLOSE"} : std::vector<std::string>{});
    EXPECT_TRUE(host->exists);
}

INSTANTIATE_TEST_SUITE_P(Commands, MainDialogSysCommandTest,
                         ::testing::Values(SysCommandCase{"Close", 0xF060, true},
                                           SysCommandCase{"CloseWithLowBits", 0xF061, false},
                                           SysCommandCase{"Minimize", 0xF020, false}),
                         test::CaseName());

TEST_F(MainDialogShownTest, CloseRequestAndEscapeOnlyHide) {
    for (const Msg& msg : {Msg{platform::kWmClose, 0, 0}, CommandMsg(platform::kIdCancel)}) {
        host->Deliver(CommandMsg(ID_SHOW_MAIN));
        host->Deliver(msg);
        EXPECT_FALSE(host->visible);
        EXPECT_TRUE(host->exists);
        EXPECT_EQ(shell.icons.size(), 1u);
    }
}

// ---------------------------------------------------------------------------------------
// Presentation

TEST_F(MainDialogShownTest, PaintDrawsTheBackgroundPicture) {
    const platform::MsgResult result = host->Deliver(Msg{platform::kWmPaint, 0, 0});
    EXPECT_TRUE(result.handled);
    EXPECT_EQ(
        fake.journal.Of("painting"),
        (std::vector<std::string>{"BeginPaint 0x1000", "DrawBitmap 134 0 0 500 438", "EndPaint"}));
}

TEST_F(MainDialogShownTest, MinimisedWindowDrawsItsIcon) {
    painting.iconic = true;
    host->Deliver(Msg{platform::kWmPaint, 0, 0});
    EXPECT_EQ(fake.journal.Of("painting").at(3), "DrawIcon 234 203 0x1330");
}

TEST_F(MainDialogShownTest, StatusLineIsBoldOnTheWarmBrush) {
    const platform::MsgResult status =
        host->Deliver(Msg{platform::kWmCtlColorStatic, 0x5100,
                          static_cast<std::intptr_t>(host->Item(IDC_STATIC_STATUS))});
    EXPECT_TRUE(status.handled);
    EXPECT_EQ(status.value, static_cast<std::intptr_t>(kBrush));
    // The system's colours are set first; only the background is replaced.
    EXPECT_TRUE(fake.journal.Has(
        Format("host: Default %u", static_cast<unsigned>(platform::kWmCtlColorStatic))));
    EXPECT_TRUE(
        fake.journal.Has(Format("painting: SelectFont 0x5100 0x%x",
                                static_cast<unsigned>(painting.boldFonts.at({kDialogFont, 16})))));
}

TEST_F(MainDialogShownTest, AddressBoxKeepsTheSystemColours) {
    const platform::MsgResult edit = host->Deliver(Msg{
        platform::kWmCtlColorEdit, 0x5100, static_cast<std::intptr_t>(host->Item(IDC_COMBO_URL))});
    EXPECT_FALSE(edit.handled);
    const platform::MsgResult button =
        host->Deliver(Msg{platform::kWmCtlColorBtn, 0x5100,
                          static_cast<std::intptr_t>(host->Item(IDC_BUTTON_CONNECT))});
    EXPECT_EQ(button.value, static_cast<std::intptr_t>(kBrush));
}

TEST_F(MainDialogShownTest, DragIconIsTheWindowIcon) {
    const platform::MsgResult result = host->Deliver(Msg{platform::kWmQueryDragIcon, 0, 0});
    EXPECT_TRUE(result.handled);
    EXPECT_EQ(result.value, 0x1330);
}

// ---------------------------------------------------------------------------------------
// Tray menu commands

TEST_F(MainDialogShownTest, EveryAboutCommandOpensAModalAboutWindow) {
    host->Deliver(CommandMsg(ID_MENUITEM_ABOUT));
    host->Deliver(CommandMsg(ID_MENUITEM_ABOUT));
    EXPECT_EQ(fake.journal.Of("dialogs", "RunModal"),
              std::vector<std::string>(2, std::to_string(IDD_ABOUTBOX)));
}

TEST_F(MainDialogShownTest, AboutIsOwnedByTheMainWindow) {
    platform::WindowRef parent = 0;
    dialogs.whileModal[IDD_ABOUTBOX] = [&](FakeDialogHost& about) { parent = about.parent; };
    host->Deliver(CommandMsg(ID_MENUITEM_ABOUT));
    EXPECT_EQ(parent, host->handle);
}

TEST_F(MainDialogShownTest, TrayMenuCommandReachesTheHiddenWindow) {
    shell.AddTrayMenuResource();
    shell.choose = [](const FakeShell::Tracked&) { return ID_MENUITEM_ABOUT; };
    shell.onCommand = [&](platform::WindowRef owner, std::uint32_t command) {
        EXPECT_EQ(owner, host->handle);
        host->Deliver(CommandMsg(static_cast<std::uint16_t>(command)));
    };
    const platform::WindowRef hidden = shell.icons.begin()->first.first;
    shell.DeliverTo(hidden, Msg{WM_TRAYICON_NOTIFY, IDR_TRAY_MENU, platform::kWmRButtonUp});
    EXPECT_EQ(fake.journal.Of("dialogs", "RunModal"),
              std::vector<std::string>{std::to_string(IDD_ABOUTBOX)});
}

TEST_F(MainDialogTest, ReleasingTheObjectRemovesTheTrayIcon) {
    Create();
    ASSERT_EQ(shell.icons.size(), 1u);
    dlg.reset();
    EXPECT_TRUE(shell.icons.empty());
}

// ---------------------------------------------------------------------------------------
// Delete VPN, Disconnect & Exit and the end of the program

constexpr const char* kIni = " IPSec|.\\Setting.tmp";
constexpr const char* kSessionEnded =
    "VPN session has ended, please close your browser for increased security.";

class MainDialogEndTest : public MainDialogShownTest {
  protected:
    void SetUp() override {
        MainDialogShownTest::SetUp();
        fake.journal.Clear();
        fake.ui.windows = {{0x71, "Program Manager"}, {0x72, "OpenVPN stub"}};
        liveness.m_bLANConnected = 1;
    }
    // The one-second sleeps from the first entry equal to from until the first equal to to;
    // -1 when either is missing or they come the other way round.
    long SleepsBetween(const std::string& from, const std::string& to) {
        const std::vector<std::string> journal = fake.journal.Entries();
        const auto start = std::find(journal.begin(), journal.end(), from);
        const auto end = std::find(journal.begin(), journal.end(), to);
        if (start == journal.end() || end == journal.end() || end < start) {
            return -1;
        }
        return std::count(start, end, std::string("clock: sleep 1000"));
    }
    // A login through the portal builds the tunnel and starts the session clock.
    void LogInThroughThePortal() {
        PageCompletes();
        Set("ParseSettingFlag", "TRUE");
        host->Deliver(TimerMsg(IDT_SETTING_WAIT));
        ASSERT_TRUE(Connection().ConnectionClock().m_bSessionClock);
        fake.journal.Clear();
    }
    // The steps that show what the end does, in order: its own trace lines, boxes,
    // the window and the tray, scripts, flags and controls.
    std::vector<std::string> Steps() {
        static const std::vector<std::string> ownTraces = {
            "trace: CKestrunDlg::OnMenuitemExit()\n", "trace: CKestrunDlg::OnDestroy()!!!\n",
            "trace: OnButtonDel()\n", "trace: Close Window!!!\n"};
        std::vector<std::string> steps;
        for (const std::string& line : fake.journal.Entries()) {
            const bool kept =
                line.rfind("host: ", 0) == 0 || line.rfind("shell: NotifyIcon", 0) == 0 ||
                line.rfind("runner: ", 0) == 0 || line.rfind("profile: set", 0) == 0 ||
                line.rfind("files: write", 0) == 0 || line.rfind("browser: navigate", 0) == 0 ||
                std::find(ownTraces.begin(), ownTraces.end(), line) != ownTraces.end();
            if (kept && line.rfind("host: GetItemText", 0) != 0) {
                steps.push_back(line);
            }
        }
        return steps;
    }
};

struct ExitCase {
    const char* name;
    Msg msg;
};
KESTRUN_PRINTS_CASE_NAME(ExitCase)

class MainDialogExitTest : public MainDialogEndTest,
                           public ::testing::WithParamInterface<ExitCase> {};

// The user is told first; only then the icon goes, the tunnel is removed without
// touching the window's controls, and the window is destroyed.
TEST_P(MainDialogExitTest, NoticeThenTrayThenTeardownThenWindow) {
    LogInThroughThePortal();
    host->texts[IDC_STATIC_STATUS] = "Connection Success";
    const platform::MsgResult result = host->Deliver(GetParam().msg);
    EXPECT_TRUE(result.handled);
    EXPECT_EQ(result.value, 0);

    const std::string ini = kIni;
    const std::vector<std::string> expected = {
        "trace: CKestrunDlg::OnMenuitemExit()\n",
        "profile: set CallByIE=FALSE" + ini,
        std::string("host: MessageBox ") + kSessionEnded + "|Varnel Ostrimel|0x40040",
        "trace: CKestrunDlg::OnDestroy()!!!\n",
        "shell: NotifyIcon 2",
        "trace: OnButtonDel()\n",
        "profile: set CallByIE=FALSE" + ini,
        "profile: set RemoveIPsec=TRUE" + ini,
        "host: EnableItem 1003 0",
        "host: KillTimer 1",
        "files: write DelRouteTable.bat",
        "runner: wait DelRouteTable.bat",
        "files: write Clear_IPsec.bat",
        "runner: wait Clear_IPsec.bat",
        "shell: NotifyIcon 1",
        "profile: set ShowAppletTitle=TRUE" + ini,
        "trace: Close Window!!!\n",
        "host: Destroy",
    };
    EXPECT_EQ(Steps(), expected);
    EXPECT_EQ(host->boxes.at(0).style, platform::kMbIconInformation | platform::kMbTopmost);
    EXPECT_FALSE(host->exists);
    EXPECT_TRUE(shell.icons.empty());
    EXPECT_TRUE(shell.liveWindows.empty());
    EXPECT_EQ(Connection().State(), CS_IDLE);
    EXPECT_EQ(Connection().End(), ProgramEnd::kTornDown);
    EXPECT_EQ(liveness.m_bLANConnected, 0);
    // Exiting leaves the status line, the page and the session clock alone.
    EXPECT_EQ(host->texts[IDC_STATIC_STATUS], "Connection Success");
    EXPECT_FALSE(fake.files.ReadAll("C:\\Kestrun\\msg.html").has_value());
    EXPECT_TRUE(Connection().ConnectionClock().m_bSessionClock);
    EXPECT_EQ(Get("ShowAppletTitle"), "TRUE");
    EXPECT_EQ(Get("RemoveIPsec"), "TRUE");
    EXPECT_EQ(Get("CallByIE"), "FALSE");
    // The deletion inside the end runs in the exiting state.
    EXPECT_EQ(std::string(shell.notifications.back().second.szTip.data()),
              "The SSL VPN is deleted!");
}

// Exit requests that arrive while the notice is open start no second end.
TEST_P(MainDialogExitTest, RequestsInsideTheNoticeEndOnce) {
    host->onMessageBox = [this](const platform::fake::FakeDialogHost::Box&) {
        host->Deliver(Msg{WM_KESTRUN_EXIT, 0, 0});
        host->Deliver(CommandMsg(ID_MENUITEM_EXIT));
        return 1;
    };
    host->Deliver(GetParam().msg);
    EXPECT_EQ(fake.journal.Count("trace: CKestrunDlg::OnMenuitemExit()\n"), 1u);
    EXPECT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(fake.journal.Count("trace: OnButtonDel()\n"), 1u);
}

TEST_P(MainDialogExitTest, DestructionAfterwardsRunsNothingAgain) {
    host->Deliver(GetParam().msg);
    EXPECT_EQ(fake.journal.Count("trace: CKestrunDlg::OnDestroy()!!!\n"), 1u);
    EXPECT_EQ(fake.journal.Count("trace: OnButtonDel()\n"), 1u);
    EXPECT_EQ(fake.journal.Count("host: Destroy"), 1u);
    // Releasing the object removes nothing twice.
    const std::size_t notifications = shell.notifications.size();
    dlg.reset();
    EXPECT_EQ(shell.notifications.size(), notifications);
}

INSTANTIATE_TEST_SUITE_P(Requests, MainDialogExitTest,
                         ::testing::Values(ExitCase{"ExitMessage", Msg{WM_KESTRUN_EXIT, 0, 0}},
                                           ExitCase{"TrayMenuExit", CommandMsg(ID_MENUITEM_EXIT)}),
                         test::CaseName());

// A reachability echo still running when the user leaves: the teardown waits for it in
// one-second steps, the tray icon already gone.
TEST_F(MainDialogEndTest, ExitWaitsForARunningEchoBeforeTheTeardown) {
    host->Deliver(TimerMsg(IDT_LINK_CHECK));
    int sleeps = 0;
    fake.clock.onSleep = [&] {
        if (++sleeps == 2) {
            fake.threads.RunPending();
        }
    };
    host->Deliver(Msg{WM_KESTRUN_EXIT, 0, 0});
    EXPECT_EQ(SleepsBetween("shell: DestroyWindow 0x2000", "trace: OnButtonDel()\n"), 2);
}

TEST_F(MainDialogEndTest, IdleEchoDoesNotDelayTheTeardown) {
    host->Deliver(Msg{WM_KESTRUN_EXIT, 0, 0});
    EXPECT_EQ(SleepsBetween("shell: DestroyWindow 0x2000", "trace: OnButtonDel()\n"), 0);
}

struct TeardownCase {
    const char* name;
    int mode;
    bool clearsIPsec;
    bool closesOpenVpn;
};
KESTRUN_PRINTS_CASE_NAME(TeardownCase)

class MainDialogTeardownTest : public MainDialogTest,
                               public ::testing::WithParamInterface<TeardownCase> {
  protected:
    // The mode is the one start-up read from the settings file.
    void SetUp() override {
        Set("CallByIE", "FALSE");
        Make(GetParam().mode);
        ASSERT_TRUE(dlg->Create());
        fake.ui.windows = {{0x71, "Program Manager"}, {0x72, "OpenVPN stub"}};
    }
};

TEST_P(MainDialogTeardownTest, RemovesOnlyTheTunnelOfTheMode) {
    for (const Msg& msg : {CommandMsg(IDC_BUTTON_DEL), Msg{WM_KESTRUN_EXIT, 0, 0}}) {
        fake.journal.Clear();
        fake.ui.posted.clear();
        liveness.m_bLANConnected = 1;
        host->Deliver(msg);
        EXPECT_EQ(Ran("wait Clear_IPsec.bat"), GetParam().clearsIPsec);
        EXPECT_EQ(Ran("wait DelRouteTable.bat"), GetParam().clearsIPsec);
        if (GetParam().closesOpenVpn) {
            ASSERT_EQ(fake.ui.posted.size(), 1u);
            EXPECT_EQ(fake.ui.posted[0].window, 0x72u);
            EXPECT_EQ(fake.ui.posted[0].message, platform::kWmClose);
        } else {
            EXPECT_TRUE(fake.ui.posted.empty());
        }
        EXPECT_EQ(liveness.m_bLANConnected, 0);
        EXPECT_EQ(Connection().VpnMode(), GetParam().mode);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, MainDialogTeardownTest,
                         ::testing::Values(TeardownCase{"IPsec", 1, true, false},
                                           TeardownCase{"OpenVpn", 2, false, true},
                                           TeardownCase{"Unknown", 3, false, false},
                                           TeardownCase{"Zero", 0, false, false}),
                         test::CaseName());

// Delete VPN while the program goes on: the blank page, the status line on the way, the
// Connect button back and the session clock stopped.
TEST_F(MainDialogEndTest, DeleteVpnRemovesTheTunnelAndReportsIt) {
    LogInThroughThePortal();
    ConnectTo();
    fake.journal.Clear();
    host->texts[IDC_STATIC_STATUS] = "Connection Success";
    int stateDuringTeardown = -1;
    fake.runner.onRun = [&](const std::string&) { stateDuringTeardown = Connection().State(); };
    host->Deliver(CommandMsg(IDC_BUTTON_DEL));

    const std::string ini = kIni;
    const std::vector<std::string> expected = {
        "host: KillTimer 2",
        "trace: OnButtonDel()\n",
        "profile: set CallByIE=FALSE" + ini,
        "profile: set RemoveIPsec=TRUE" + ini,
        "host: EnableItem 1003 0",
        "host: KillTimer 1",
        "files: write C:\\Kestrun\\msg.html",
        "host: SetItemText 1004 Deleting Connection",
        "host: EnableItem 1001 1",
        "browser: navigate C:\\Kestrun\\msg.html",
        "files: write DelRouteTable.bat",
        "runner: wait DelRouteTable.bat",
        "files: write Clear_IPsec.bat",
        "runner: wait Clear_IPsec.bat",
        "shell: NotifyIcon 1",
        "host: SetItemText 1004 Connection Deleted",
        "host: EnableItem 1002 1",
        "profile: set ShowAppletTitle=TRUE" + ini,
    };
    EXPECT_EQ(Steps(), expected);
    EXPECT_EQ(stateDuringTeardown, CS_DELETING);
    EXPECT_EQ(Connection().State(), CS_IDLE);
    EXPECT_FALSE(Connection().ConnectionClock().m_bSessionClock);
    EXPECT_EQ(std::string(shell.notifications.back().second.szTip.data()),
              "The SSL VPN is deleted!");
    EXPECT_EQ(shell.notifications.back().second.hIcon, 0x1420u);  // the no-link icon
    EXPECT_TRUE(host->exists);
    EXPECT_EQ(shell.icons.size(), 1u);
    // The browser is enabled and given half a second before it is sent to the blank page.
    EXPECT_TRUE(fake.journal.Before("host: EnableItem 1001 1", "clock: sleep 500"));
    EXPECT_TRUE(fake.journal.Before("clock: sleep 500", "browser: navigate C:\\Kestrun\\msg.html"));
}

// The page is written to the directory of set-up, whatever the file held before.
TEST_F(MainDialogEndTest, DeleteVpnWritesTheBlankMessagePage) {
    fake.files.WriteNew("C:\\Kestrun\\msg.html", "<HTML>an old page</HTML>");
    host->Deliver(CommandMsg(IDC_BUTTON_DEL));
    EXPECT_EQ(fake.files.ReadAll("C:\\Kestrun\\msg.html").value_or("<missing>"),
              "<HTML><BODY menubar=no, scroll=no></BODY></HTML>");
}

// A window destroyed by other means still removes the tunnel, and only once.
TEST_F(MainDialogEndTest, DestructionFromOutsideRemovesTheTunnelOnce) {
    host->texts[IDC_STATIC_STATUS] = "Connection Success";
    host->Destroy();
    // The removal runs in the exiting state: the window's status and page are left alone.
    EXPECT_EQ(host->texts[IDC_STATIC_STATUS], "Connection Success");
    EXPECT_FALSE(fake.files.ReadAll("C:\\Kestrun\\msg.html").has_value());
    EXPECT_EQ(fake.journal.Count("trace: CKestrunDlg::OnDestroy()!!!\n"), 1u);
    EXPECT_TRUE(Ran("wait Clear_IPsec.bat"));
    EXPECT_EQ(fake.journal.Count("host: Destroy"), 1u);
    EXPECT_TRUE(shell.icons.empty());
    EXPECT_TRUE(fake.trace.Contains("Close Window!!!\n"));
}

}  // namespace
}  // namespace kestrun
