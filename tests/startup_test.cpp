#include "app/startup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/case_name.h"

#include "app/messages.h"
#include "netprobe/os_type.h"
#include "tests/fakes/fake_framework.h"
#include "tests/fakes/fake_platform.h"
#include "tests/support/scoped_work_dir.h"

namespace kestrun {
namespace {

using platform::RegRoot;
using platform::fake::FakeDesktop;
using platform::fake::FakePlatform;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Start-up without the main window's own set-up: the window is only recorded.
class TestApp : public CKestrunApp {
  public:
    using CKestrunApp::CKestrunApp;
    bool CreateMainWindow(int mode, platform::GdiRef brush) override {
        created = true;
        vpnMode = mode;
        background = brush;
        return windowCreates;
    }
    bool windowCreates = true;
    bool created = false;
    int vpnMode = -1;
    platform::GdiRef background = 0;
};

const std::string kProgramDir = "C:\\Program Files\\Kestrun\\";
const std::set<std::string> kIcmpEntries = {"IcmpCreateFile", "IcmpCloseHandle", "IcmpSendEcho"};
const char* const kTrustText =
    "Please add the URL into trusted sites of browser (internet options > Security : Trusted "
    "Sites) for running Ostrimel.";
const std::string kRange1 =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Ranges\\Range1";

class StartupTest : public ::testing::Test {
  protected:
    StartupTest() {
        fake.system.existingDirectories = {"C:\\Program Files\\Kestrun", "C:\\APP", "C:\\"};
        UseVersion(5, 1, platform::kProductWorkstation);
        fake.echo.libraries["Iphlpapi.dll"] = kIcmpEntries;
        fake.echo.libraries["ICMP.DLL"] = kIcmpEntries;
    }

    void UseVersion(std::uint32_t major, std::uint32_t minor, std::uint8_t productType) {
        fake.system.version = {major, minor, 0, platform::kPlatformNt, "", productType};
    }
    void RunningInstance(platform::WindowRef ref = 77) {
        fake.ui.windows.push_back({ref, "Pallisor Client"});
    }
    bool Start(const std::string& commandLine) {
        app = std::make_unique<TestApp>(fake.platform, desk.desktop, commandLine);
        return app->InitInstance();
    }
    // Start-up ended before the ICMP library and the main window.
    void ExpectEndedEarly() {
        EXPECT_THAT(fake.journal.Of("echo", "load"), IsEmpty());
        EXPECT_THAT(fake.journal.Of("framework"), IsEmpty());
        EXPECT_EQ(app->Machine().m_pIcmpEcho, nullptr);
        EXPECT_FALSE(app->created);
    }

    test::ScopedWorkDir dir;
    FakePlatform fake;
    FakeDesktop desk{fake.journal};
    std::unique_ptr<TestApp> app;
};

TEST_F(StartupTest, SucceedsWithHiddenMainWindowAndProcessValues) {
    ASSERT_TRUE(Start(""));
    EXPECT_THAT(fake.journal.Of("framework"), ElementsAre("brush " + std::to_string(0xDEF0F7)));
    EXPECT_TRUE(app->created);
    EXPECT_THAT(fake.TraceLines(), ElementsAre(kProgramDir, "Microsoft Windows XP \n",
                                               "GetUserProfileDirectory=[C:\\Users\\alice]\n"));
    EXPECT_THAT(fake.journal.Of("system", "set current directory"), ElementsAre(kProgramDir));
    EXPECT_EQ(fake.system.currentDirectory, "C:\\Program Files\\Kestrun");
    EXPECT_EQ(app->Machine().m_nOSType, OS_WINXP);
    EXPECT_THAT(fake.journal.Of("echo", "load"), ElementsAre("Iphlpapi.dll"));
    EXPECT_NE(app->Machine().m_pIcmpEcho, nullptr);
    EXPECT_EQ(app->LivenessFlags().m_bLANConnected, 0);
    EXPECT_EQ(app->vpnMode, 1);
    EXPECT_EQ(app->background, 0xB0u);
    EXPECT_EQ(app->Machine().m_szProfileDir, "C:\\Users\\alice");
    EXPECT_THAT(fake.ui.boxes, IsEmpty());
    EXPECT_THAT(fake.ui.posted, IsEmpty());
    // The library is kept for the rest of the process.
    app.reset();
    EXPECT_THAT(fake.journal.Of("echo", "free"), IsEmpty());
}

TEST_F(StartupTest, SocketsFailureShowsStringAndEnds) {
    fake.system.socketsWork = false;
    EXPECT_FALSE(Start(""));
    ASSERT_EQ(fake.ui.boxes.size(), 1u);
    EXPECT_EQ(fake.ui.boxes[0].text, "Windows sockets initialization failed.");
    EXPECT_EQ(fake.ui.boxes[0].owner, 0u);
    EXPECT_THAT(fake.journal.Of("framework"), ElementsAre("string 103"));
    EXPECT_THAT(fake.journal.Of("system", "set current directory"), IsEmpty());
}

TEST_F(StartupTest, RemoveRequestWithoutInstancePostsToNoWindowWaitsAndEnds) {
    EXPECT_FALSE(Start("-r"));
    ASSERT_EQ(fake.ui.posted.size(), 1u);
    EXPECT_EQ(fake.ui.posted[0].window, 0u);
    EXPECT_EQ(fake.ui.posted[0].message, 0x499u);
    EXPECT_EQ(fake.ui.posted[0].wParam, 0u);
    EXPECT_EQ(fake.ui.posted[0].lParam, 0);
    EXPECT_THAT(fake.journal.Of("clock", "sleep"), ElementsAre("1000"));
    EXPECT_EQ(fake.TraceLines().back(), "Remove!!!");
    ExpectEndedEarly();
}

TEST_F(StartupTest, RemoveRequestInCapitalsPostsToRunningInstance) {
    RunningInstance(77);
    EXPECT_FALSE(Start("-R"));
    ASSERT_EQ(fake.ui.posted.size(), 1u);
    EXPECT_EQ(fake.ui.posted[0].window, 77u);
    EXPECT_EQ(fake.ui.posted[0].message, WM_KESTRUN_EXIT);
    EXPECT_THAT(fake.journal.Of("clock", "sleep"), ElementsAre("1000"));
    EXPECT_EQ(fake.TraceLines().back(), "Remove!!!");
    EXPECT_FALSE(fake.trace.Contains("Close!!!"));
    ExpectEndedEarly();
}

TEST_F(StartupTest, RemoveOptionWithMoreTextIsNotARemoveRequest) {
    for (const char* line : {"-r ", " -r", "-rx", "/r", "r"}) {
        SCOPED_TRACE(line);
        FakePlatform other;
        other.ui.windows.push_back({77, "Pallisor Client"});
        FakeDesktop otherDesk{other.journal};
        TestApp otherApp(other.platform, otherDesk.desktop, line);
        EXPECT_FALSE(otherApp.InitInstance());
        EXPECT_THAT(other.ui.posted, IsEmpty());
        EXPECT_THAT(other.journal.Of("clock", "sleep"), IsEmpty());
        EXPECT_EQ(other.TraceLines().back(), "Close!!!");
        EXPECT_THAT(other.ui.boxes, IsEmpty());
    }
}

TEST_F(StartupTest, RemoveOptionWithMoreTextAndNoInstanceStartsNormally) {
    EXPECT_TRUE(Start("-r "));
    EXPECT_THAT(fake.ui.posted, IsEmpty());
}

TEST_F(StartupTest, SecondInstanceEndsSilentlyAndLeavesTheFirstAlone) {
    RunningInstance();
    EXPECT_FALSE(Start(""));
    EXPECT_EQ(fake.TraceLines().back(), "Close!!!");
    EXPECT_THAT(fake.ui.posted, IsEmpty());
    EXPECT_THAT(fake.ui.boxes, IsEmpty());
    ExpectEndedEarly();
}

TEST_F(StartupTest, HiddenOrVisibleInstanceIsFoundByTitleAnywhereInZOrder) {
    fake.ui.windows.push_back({5, "Pallisor Client - other"});
    RunningInstance(9);
    EXPECT_FALSE(Start(""));
    EXPECT_EQ(fake.TraceLines().back(), "Close!!!");
}

TEST_F(StartupTest, AddressWithRunningInstanceEndsBeforeTrustCheck) {
    UseVersion(6, 0, platform::kProductWorkstation);
    RunningInstance();
    EXPECT_FALSE(Start("https://192.168.1.1/"));
    EXPECT_EQ(fake.TraceLines().back(), "Close!!!");
    EXPECT_THAT(fake.ui.boxes, IsEmpty());
    EXPECT_THAT(fake.journal.Of("registry"), IsEmpty());
}

TEST_F(StartupTest, UntrustedAddressOnVistaWarnsAndEnds) {
    UseVersion(6, 0, platform::kProductWorkstation);
    EXPECT_FALSE(Start("https://192.168.1.1/"));
    ASSERT_EQ(fake.ui.boxes.size(), 1u);
    EXPECT_EQ(fake.ui.boxes[0].owner, 0u);
    EXPECT_EQ(fake.ui.boxes[0].text, kTrustText);
    EXPECT_EQ(fake.ui.boxes[0].caption, "Warnning");
    EXPECT_EQ(fake.ui.boxes[0].style, 0x40030u);
    ExpectEndedEarly();
}

TEST_F(StartupTest, TrustedAddressOnVistaStarts) {
    UseVersion(6, 0, platform::kProductWorkstation);
    fake.registry.At(RegRoot::CurrentUser, kRange1).values[":Range"].text = "192.168.1.1";
    EXPECT_TRUE(Start("https://192.168.1.1/"));
    EXPECT_THAT(fake.ui.boxes, IsEmpty());
}

TEST_F(StartupTest, AddressSchemeInCapitalsSkipsTheCheck) {
    UseVersion(6, 0, platform::kProductWorkstation);
    EXPECT_TRUE(Start("HTTPS://192.168.1.1/"));
    EXPECT_THAT(fake.journal.Of("registry"), IsEmpty());
    EXPECT_THAT(fake.ui.boxes, IsEmpty());
}

TEST_F(StartupTest, AddressOnOtherSystemsIsNotChecked) {
    EXPECT_TRUE(Start("https://192.168.1.1/"));
    EXPECT_THAT(fake.journal.Of("registry"), IsEmpty());
}

struct LibraryCase {
    const char* name;
    std::uint32_t major;
    std::uint32_t minor;
    const char* library;
    const char* failureText;
};
KESTRUN_PRINTS_CASE_NAME(LibraryCase)

class StartupLibraryTest : public StartupTest, public ::testing::WithParamInterface<LibraryCase> {};

TEST_P(StartupLibraryTest, LoadsTheSystemsIcmpLibrary) {
    UseVersion(GetParam().major, GetParam().minor, platform::kProductWorkstation);
    EXPECT_TRUE(Start(""));
    EXPECT_THAT(fake.journal.Of("echo", "load"), ElementsAre(GetParam().library));
}

TEST_P(StartupLibraryTest, LibraryMissingShowsErrorAndEnds) {
    UseVersion(GetParam().major, GetParam().minor, platform::kProductWorkstation);
    fake.echo.libraries.clear();
    EXPECT_FALSE(Start(""));
    ASSERT_EQ(fake.ui.boxes.size(), 1u);
    EXPECT_EQ(fake.ui.boxes[0].owner, 0u);
    EXPECT_EQ(fake.ui.boxes[0].text, GetParam().failureText);
    EXPECT_EQ(fake.ui.boxes[0].caption, "Error:");
    EXPECT_EQ(fake.ui.boxes[0].style, 0u);
    EXPECT_THAT(fake.journal.Of("framework"), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Systems, StartupLibraryTest,
    ::testing::Values(LibraryCase{"Win2000", 5, 0, "ICMP.DLL", "Could not load ICMP.DLL"},
                      LibraryCase{"WinXP", 5, 1, "Iphlpapi.dll", "Could not load IPHlpAPI.DLL"},
                      LibraryCase{"NT4", 4, 0, "Iphlpapi.dll", "Could not load IPHlpAPI.DLL"},
                      LibraryCase{"Win7", 6, 1, "Iphlpapi.dll", "Could not load IPHlpAPI.DLL"}),
    test::CaseName());

TEST_F(StartupTest, UnreadableVersionUsesIphlpapi) {
    fake.system.extendedVersionWorks = false;
    fake.system.plainVersionWorks = false;
    EXPECT_TRUE(Start(""));
    EXPECT_EQ(app->Machine().m_nOSType, OS_ERROR);
    EXPECT_THAT(fake.journal.Of("echo", "load"), ElementsAre("Iphlpapi.dll"));
}

TEST_F(StartupTest, MissingEntryPointFreesLibraryAndEnds) {
    for (const char* missing : {"IcmpCreateFile", "IcmpCloseHandle", "IcmpSendEcho"}) {
        SCOPED_TRACE(missing);
        FakePlatform other;
        std::set<std::string> entries = kIcmpEntries;
        entries.erase(missing);
        other.echo.libraries["Iphlpapi.dll"] = entries;
        other.system.version = fake.system.version;
        FakeDesktop otherDesk{other.journal};
        TestApp otherApp(other.platform, otherDesk.desktop, "");
        EXPECT_FALSE(otherApp.InitInstance());
        ASSERT_EQ(other.ui.boxes.size(), 1u);
        EXPECT_EQ(other.ui.boxes[0].text, "Error loading DLL");
        EXPECT_EQ(other.ui.boxes[0].caption, "Error:");
        EXPECT_EQ(other.ui.boxes[0].style, 0u);
        EXPECT_THAT(other.journal.Of("echo", "free"), ElementsAre("Iphlpapi.dll"));
        EXPECT_EQ(otherApp.Machine().m_pIcmpEcho, nullptr);
        EXPECT_THAT(other.journal.Of("framework"), IsEmpty());
    }
}

TEST_F(StartupTest, VpnModeComesFromTheSettingsFile) {
    struct Case {
        std::optional<std::string> file;
        int expected;
    };
    const Case cases[] = {
        {std::nullopt, 1},
        {std::string("[IPSec]\r\nVPN Mode=2\r\n"), 2},
        {std::string("[IPSec]\r\nVPN Mode= 2x\r\n"), 2},
        {std::string("[IPSec]\r\nVPN Mode=abc\r\n"), 0},
        {std::string("[IPSec]\r\nVPN Mode=\r\n"), 0},
        {std::string("[IPSec]\r\nGateway=1.2.3.4\r\n"), 1},
        {std::string("[Other]\r\nVPN Mode=2\r\n"), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.value_or("<no file>"));
        std::remove(".\\Setting.tmp");
        if (c.file) {
            ASSERT_EQ(fake.files.WriteNew(".\\Setting.tmp", *c.file), 0u);
        }
        EXPECT_TRUE(Start(""));
        EXPECT_EQ(app->vpnMode, c.expected);
    }
}

TEST_F(StartupTest, ProfileDirectoryUnavailableLeavesItEmpty) {
    fake.system.profileDirectory.reset();
    EXPECT_TRUE(Start(""));
    EXPECT_EQ(app->Machine().m_szProfileDir, "");
    EXPECT_EQ(fake.TraceLines().back(), "GetUserProfileDirectory=[]\n");
}

TEST_F(StartupTest, ProfileDirectoryMustFitIn255Bytes) {
    fake.system.profileDirectory = "C:\\" + std::string(251, 'u');
    EXPECT_TRUE(Start(""));
    EXPECT_EQ(app->Machine().m_szProfileDir.size(), 254u);
    fake.system.profileDirectory = "C:\\" + std::string(252, 'u');
    EXPECT_TRUE(Start(""));
    EXPECT_EQ(app->Machine().m_szProfileDir, "");
}

TEST_F(StartupTest, MainWindowCreationFailureEnds) {
    app = std::make_unique<TestApp>(fake.platform, desk.desktop, "");
    app->windowCreates = false;
    EXPECT_FALSE(app->InitInstance());
    EXPECT_TRUE(app->created);
}

struct DirectoryCase {
    const char* name;
    std::optional<std::string> modulePath;
    std::vector<std::string> setCalls;
    std::string currentAfter;
    bool starts = true;
};
KESTRUN_PRINTS_CASE_NAME(DirectoryCase)

class StartupDirectoryTest : public StartupTest,
                             public ::testing::WithParamInterface<DirectoryCase> {};

TEST_P(StartupDirectoryTest, MakesTheProgramDirectoryCurrent) {
    fake.system.existingDirectories.insert("C:\\Kestrun.exe tools");
    fake.system.existingDirectories.insert("D:\\k\\Kestrun.exe");
    fake.system.moduleFileName = GetParam().modulePath;
    EXPECT_EQ(Start(""), GetParam().starts);
    EXPECT_EQ(fake.journal.Of("system", "set current directory"), GetParam().setCalls);
    EXPECT_EQ(fake.system.currentDirectory, GetParam().currentAfter);
    // Anywhere else the launcher's directory would supply the scripts.
    if (!GetParam().starts) {
        ASSERT_EQ(fake.ui.boxes.size(), 1u);
        EXPECT_EQ(fake.ui.boxes[0].text, "The program's folder cannot be found or entered.");
        EXPECT_EQ(fake.ui.boxes[0].caption, "Error:");
        EXPECT_FALSE(app->created);
    }
    if (!GetParam().setCalls.empty()) {
        EXPECT_EQ(fake.TraceLines().front(), GetParam().setCalls.front());
    } else {
        EXPECT_EQ(fake.TraceLines().front(), "Microsoft Windows XP \n");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, StartupDirectoryTest,
    ::testing::Values(DirectoryCase{"Plain",
                                    std::string("C:\\Program Files\\Kestrun\\Kestrun.exe"),
                                    {"C:\\Program Files\\Kestrun\\"},
                                    "C:\\Program Files\\Kestrun"},
                      DirectoryCase{"ExtensionInCapitals",
                                    std::string("C:\\APP\\KESTRUN.EXE"),
                                    {"C:\\APP\\"},
                                    "C:\\APP"},
                      DirectoryCase{"FolderContainsFileName",
                                    std::string("C:\\Kestrun.exe tools\\Kestrun.exe"),
                                    {"C:\\Kestrun.exe tools\\"},
                                    "C:\\Kestrun.exe tools"},
                      DirectoryCase{"FolderNamedLikeTheFile",
                                    std::string("D:\\k\\Kestrun.exe\\Kestrun.exe"),
                                    {"D:\\k\\Kestrun.exe\\"},
                                    "D:\\k\\Kestrun.exe"},
                      DirectoryCase{"DriveRoot", std::string("C:\\Kestrun.exe"), {"C:\\"}, "C:\\"},
                      DirectoryCase{"NoModuleName", std::nullopt, {}, "C:\\", false},
                      DirectoryCase{"PathOf255Fits",
                                    "C:\\" + std::string(240, 'd') + "\\Kestrun.exe",
                                    {"C:\\" + std::string(240, 'd') + "\\"},
                                    "C:\\",
                                    false},
                      DirectoryCase{"PathTooLongForBuffer",
                                    "C:\\" + std::string(241, 'd') + "\\Kestrun.exe",
                                    {},
                                    "C:\\",
                                    false},
                      DirectoryCase{"NoBackslash", std::string("Kestrun.exe"), {}, "C:\\", false}),
    test::CaseName());

TEST_F(StartupTest, DirectoryThatCannotBeEnteredEndsWithAnError) {
    fake.system.moduleFileName = "E:\\gone\\Kestrun.exe";
    EXPECT_FALSE(Start(""));
    EXPECT_THAT(fake.journal.Of("system", "set current directory"), ElementsAre("E:\\gone\\"));
    EXPECT_EQ(fake.system.currentDirectory, "C:\\");
    ASSERT_EQ(fake.ui.boxes.size(), 1u);
    EXPECT_EQ(fake.ui.boxes[0].caption, "Error:");
}

// cmd and the loader look in the program folder first, with administrator rights.
TEST_F(StartupTest, FolderThatUsersCanChangeIsRefused) {
    fake.system.folderOpenBecause = "S-1-5-32-545 may change it (rights 0x001301bf)";
    EXPECT_FALSE(Start(""));
    EXPECT_FALSE(app->created);
    ASSERT_EQ(fake.ui.boxes.size(), 1u);
    EXPECT_EQ(fake.ui.boxes[0].text,
              "Users other than administrators can change the folder C:\\Program Files\\Kestrun.\n"
              "Please install Ostrimel again, or let only administrators change that folder.");
    EXPECT_EQ(fake.ui.boxes[0].caption, "Warnning");
    EXPECT_EQ(fake.ui.boxes[0].style, 0x40030u);
    EXPECT_TRUE(
        fake.journal.Has("trace: Program folder C:\\Program Files\\Kestrun is open to "
                         "users: S-1-5-32-545 may change it (rights 0x001301bf)\n"));
}

// The scripts, which the main window starts, find their tools only in the system's search
// path; without it start-up goes on with what it inherited, and says so.
TEST_F(StartupTest, SystemSearchPathIsTakenBeforeAnythingRuns) {
    for (const bool works : {true, false}) {
        fake.journal.Clear();
        fake.system.systemSearchPathWorks = works;
        ASSERT_TRUE(Start(""));
        EXPECT_TRUE(fake.journal.Before("system: system search path", "echo: load Iphlpapi.dll"));
        EXPECT_EQ(fake.journal.Has("trace: System search path cannot be read: the inherited "
                                   "one is kept\n"),
                  !works);
    }
}

}  // namespace
}  // namespace kestrun
