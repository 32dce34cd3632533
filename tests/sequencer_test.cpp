// The connection sequencer through the main window's messages, on the virtual clock: the
// three timers, Connect, Delete VPN and the portal's pages.
#include "app/sequencer.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/messages.h"
#include "platform/browser.h"
#include "res/resource.h"
#include "tests/support/main_window_fixture.h"

namespace kestrun {
namespace {

using platform::Msg;

constexpr const char* kLan = "10.10.0.1";
constexpr const char* kOpenVpnServer = "10.8.0.1";
constexpr const char* kSuccessBox =
    "host: MessageBox Connection successful, now you can access internal web, file and mail "
    "servers.|Varnel Ostrimel|0x40040";

class SequencerTest : public test::MainWindowFixture {
  protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        // The working copy is the file beside the program, as the profile watch names it.
        fake.system.currentDirectory = ".";
        machine.m_szProfileDir = "profile";
        Set("CallByIE", "FALSE");
        Set("RemoteLANIP", kLan);
        Set("OVPN_SerIP", kOpenVpnServer);
        Set("CallByIE", "FALSE", kProfileCopy);
        Create();
        fake.journal.Clear();
    }
    void Tick(std::uint32_t timer) { host->Deliver(TimerMsg(timer)); }
    std::string Tip() { return shell.notifications.back().second.szTip.data(); }

    static constexpr const char* kProfileCopy = "profile\\Setting.tmp";
};

// IPsec gets 15 unanswered polls (45 s) before OpenVPN takes over, which gets 20 more (60 s)
// before the program gives up: 35 polls, 105 s, counted from the build. Polls before it
// only show the tip, however long the login takes.
TEST_F(SequencerTest, UnansweredPollsSwitchToOpenVpnThenGiveUp) {
    ConnectTo();
    ASSERT_EQ(Connection().State(), CS_LINKING);
    fake.journal.Clear();
    EXPECT_EQ(PollsUntilExit(60), -1);
    EXPECT_FALSE(Ran("detach Varnel_openVPN.bat"));
    EXPECT_EQ(Tip(), std::string("Can't Connect to : ") + kLan);
    Set("ParseSettingFlag", "TRUE");
    PageCompletes();
    Tick(IDT_SETTING_WAIT);
    ASSERT_TRUE(Ran("wait Varnel_IPSecVPN.bat"));
    for (int poll = 1; poll < 15; ++poll) {
        Tick(IDT_LINK_CHECK);
    }
    EXPECT_FALSE(Ran("detach Varnel_openVPN.bat"));
    Tick(IDT_LINK_CHECK);
    EXPECT_TRUE(Ran("detach Varnel_openVPN.bat"));
    EXPECT_EQ(fake.journal.Of("host", "SetTimer").back(), "1 3000");
    EXPECT_TRUE(
        fake.journal.Before("runner: wait Clear_IPsec.bat", "runner: detach Varnel_openVPN.bat"));
    EXPECT_EQ(Get("VPN Mode"), "2");
    EXPECT_EQ(Tip(), std::string("Can't Connect to : ") + kOpenVpnServer);

    const int morePolls = PollsUntilExit(30);
    EXPECT_EQ(morePolls, 20);
    EXPECT_EQ((15 + morePolls) * 3, 105);
    EXPECT_TRUE(fake.journal.Has("trace: OnButtonDel()\n"));
    EXPECT_EQ(host->timers.count(IDT_LINK_CHECK), 0u);
}

// An unanswered poll says so in the status line only while nothing else is under way.
TEST_F(SequencerTest, UnansweredPollShowsConnectingFailOnlyWhenIdle) {
    Tick(IDT_LINK_CHECK);
    EXPECT_EQ(host->texts[IDC_STATIC_STATUS], "Connecting Fail");
    ConnectTo();
    Tick(IDT_LINK_CHECK);
    EXPECT_EQ(host->texts[IDC_STATIC_STATUS], "Linking Connection");
}

// A tunnel built by the profile watch in OpenVPN mode starts counting from 0: 41 polls.
TEST_F(SequencerTest, OpenVpnBuiltByTheProfileWatchGivesUpAfter41Polls) {
    Set("VPN Mode", "2", kProfileCopy);
    Set("CallByIE", "TRUE", kProfileCopy);
    Tick(IDT_CALLBYIE_WATCH);
    ASSERT_TRUE(Ran("detach Varnel_openVPN.bat"));
    EXPECT_EQ(PollsUntilExit(50), 41);
}

// The success box once per connection, although ticks keep coming while it is open.
TEST_F(SequencerTest, AnsweredPollsShowTheSuccessBoxOnce) {
    host->EnableItem(IDC_BUTTON_DEL, false);
    liveness.m_bLANConnected = 0;
    for (int poll = 0; poll < 7; ++poll) {
        Tick(IDT_LINK_CHECK);
    }
    liveness.m_bLANConnected = 1;
    host->onMessageBox = [&](const platform::fake::FakeDialogHost::Box&) {
        Tick(IDT_LINK_CHECK);
        Tick(IDT_LINK_CHECK);
        return 1;
    };
    Tick(IDT_LINK_CHECK);
    Tick(IDT_LINK_CHECK);
    EXPECT_EQ(fake.journal.Count(kSuccessBox), 1u);
    EXPECT_EQ(host->texts[IDC_STATIC_STATUS], "Connection Success");
    EXPECT_TRUE(host->IsItemEnabled(IDC_BUTTON_DEL));
    EXPECT_EQ(Tip(), std::string("Connected to : ") + kLan);
    // The answer started the count again: 14 more unanswered polls before the switch.
    liveness.m_bLANConnected = 0;
    for (int poll = 0; poll < 14; ++poll) {
        Tick(IDT_LINK_CHECK);
    }
    EXPECT_FALSE(Ran("detach Varnel_openVPN.bat"));
    // The first tick started an echo to the address of the mode; the others found it running.
    EXPECT_EQ(fake.threads.RunPending(), 1u);
    EXPECT_EQ(fake.echo.network.Sent(), std::vector<std::string>{kLan});
}

// An answer starts the count again where the tunnel of the mode starts it: after an answer
// in IPsec mode the switch and the give-up are 35 polls away, in OpenVPN mode 20.
TEST_F(SequencerTest, AnswerStartsTheCountAgainForTheMode) {
    for (const std::string mode : {"1", "2"}) {
        Set("VPN Mode", mode, kProfileCopy);
        Set("CallByIE", "TRUE", kProfileCopy);
        Tick(IDT_CALLBYIE_WATCH);
        PollsUntilExit(10);
        liveness.m_bLANConnected = 1;
        Tick(IDT_LINK_CHECK);
        EXPECT_EQ(PollsUntilExit(50), mode == "1" ? 35 : 20) << mode;
        host->posted.clear();
    }
}

// Every build shows the success box again at its first answer, whoever built it.
TEST_F(SequencerTest, EachBuildShowsTheSuccessBoxAgain) {
    const std::function<void()> builds[] = {
        [this] {
            Set("ParseSettingFlag", "TRUE");
            PageCompletes();
            Tick(IDT_SETTING_WAIT);
        },
        [this] {
            Set("CallByIE", "TRUE", kProfileCopy);
            Tick(IDT_CALLBYIE_WATCH);
        },
    };
    liveness.m_bLANConnected = 1;
    Tick(IDT_LINK_CHECK);
    for (const auto& build : builds) {
        build();
        liveness.m_bLANConnected = 1;
        Tick(IDT_LINK_CHECK);
    }
    EXPECT_EQ(fake.journal.Count(kSuccessBox), 3u);
}

// An end right after the tick waits for a worker that has not even started, and traces its
// result before the teardown.
TEST_F(SequencerTest, EndWaitsForAnEchoWhoseWorkerHasNotRunYet) {
    Tick(IDT_LINK_CHECK);
    fake.clock.onSleep = [this] { fake.threads.RunPending(); };
    host->Deliver(Msg{WM_KESTRUN_EXIT, 0, 0});
    const std::vector<std::string> end = fake.journal.From("trace: CKestrunDlg::OnDestroy()!!!\n");
    const auto at = [&](const std::string& entry) {
        return std::find(end.begin(), end.end(), entry) - end.begin();
    };
    EXPECT_LT(at("clock: sleep 1000"), at("trace: \tFile created.\n"));
    EXPECT_LT(at("trace: \tFile created.\n"), at("trace: OnButtonDel()\n"));
}

// An answer to an echo sent before the tunnel was removed or replaced says nothing about
// the tunnel now up.
TEST_F(SequencerTest, LateAnswerCountsOnlyForTheTunnelItWasSentTo) {
    const struct {
        const char* name;
        std::function<void()> meanwhile;
        bool connected;
    } cases[] = {
        {"nothing", [] {}, true},
        {"Connect", [this] { ConnectTo(); }, false},
        {"Delete VPN", [this] { host->Deliver(CommandMsg(IDC_BUTTON_DEL)); }, false},
        {"outside login",
         [this] {
             Set("CallByIE", "TRUE", kProfileCopy);
             Tick(IDT_CALLBYIE_WATCH);
         },
         false},
    };
    fake.echo.network.Answer(kLan, platform::EchoReply{true, 1, platform::kIpSuccess, 0});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Tick(IDT_LINK_CHECK);
        c.meanwhile();
        fake.journal.Clear();
        ASSERT_EQ(fake.threads.RunPending(), 1u);
        Tick(IDT_LINK_CHECK);
        EXPECT_TRUE(fake.journal.Has("trace: LAN Connected!!!\n"));
        EXPECT_EQ(Tip().rfind("Connected to", 0) == 0, c.connected);
        EXPECT_EQ(fake.journal.Count(kSuccessBox), c.connected ? 1u : 0u);
        EXPECT_EQ(liveness.m_bLANConnected, c.connected ? 1 : 0);
        // The next case starts from an idle window whose tunnel was never answered.
        fake.threads.RunPending();
        host->Deliver(CommandMsg(IDC_BUTTON_DEL));
        Tick(IDT_LINK_CHECK);
    }
}

// A worker that could not be started leaves no echo running: the next tick sends one.
TEST_F(SequencerTest, FailedWorkerStartLetsTheNextTickSend) {
    fake.threads.failStart = true;
    Tick(IDT_LINK_CHECK);
    fake.threads.failStart = false;
    Tick(IDT_LINK_CHECK);
    EXPECT_EQ(fake.journal.Of("threads"), (std::vector<std::string>{"start failed", "start"}));
    EXPECT_EQ(fake.journal.Count(std::string("trace: PingRemoteLAN=[") + kLan + "]\n"), 1u);
}

TEST_F(SequencerTest, SettingsWaitTakesTheFlaggedSettingsOrGivesUpOnTheTwentyFirstTick) {
    for (const bool flagged : {false, true}) {
        SCOPED_TRACE(flagged);
        fake.ui.windows = {{0x72, "OpenVPN stub"}};
        ConnectTo();
        PageCompletes();
        for (int tick = 1; tick <= 20; ++tick) {
            Tick(IDT_SETTING_WAIT);
        }
        EXPECT_EQ(Connection().State(), CS_SETTING);
        EXPECT_EQ(host->texts[IDC_STATIC_STATUS], "Setting Connection");
        Set("ParseSettingFlag", flagged ? "TRUE" : "True");
        fake.journal.Clear();
        Tick(IDT_SETTING_WAIT);
        EXPECT_EQ(Connection().State(), CS_IDLE);
        EXPECT_EQ(host->timers.count(IDT_SETTING_WAIT), 0u);
        EXPECT_EQ(host->timers.count(IDT_LINK_CHECK), flagged ? 1u : 0u);
        EXPECT_EQ(Ran("wait Varnel_IPSecVPN.bat"), flagged);
        EXPECT_EQ(host->IsItemEnabled(IDC_EXPLORER), !flagged);
        EXPECT_EQ(Get("ParseSettingFlag"), flagged ? "FALSE" : "True");
        // The address joins the history only with settings; the give-up removes both kinds
        // of tunnel.
        EXPECT_EQ(Get("URL0") == "https://router/", flagged);
        EXPECT_TRUE(flagged || Ran("wait Clear_IPsec.bat"));
        EXPECT_EQ(fake.ui.posted.size(), flagged ? 0u : 1u);
        fake.ui.posted.clear();
        Set("URL0", "");
        fake.journal.Clear();
    }
}

// The user's Delete VPN ends the login: no settings wait, and a login page completing
// afterwards starts none, until the next Connect.
TEST_F(SequencerTest, DeleteVpnEndsALoginInProgress) {
    PageCompletes();
    Tick(IDT_SETTING_WAIT);
    host->Deliver(CommandMsg(IDC_BUTTON_DEL));
    EXPECT_EQ(Connection().State(), CS_IDLE);
    EXPECT_EQ(host->timers.count(IDT_SETTING_WAIT), 0u);
    Set("ParseSettingFlag", "TRUE");
    PageCompletes();
    EXPECT_EQ(host->timers.count(IDT_SETTING_WAIT), 0u);
    EXPECT_FALSE(Ran("wait Varnel_IPSecVPN.bat"));
    ConnectTo();
    PageCompletes();
    EXPECT_EQ(host->timers.count(IDT_SETTING_WAIT), 1u);
}

// Outside logins of both kinds in turn: each pickup and the end remove what this run
// started, whichever mode the newest login names.
TEST_F(SequencerTest, NoTunnelOfEitherKindOutlivesTheEnd) {
    fake.ui.windows = {{0x72, "OpenVPN stub"}};
    const auto closedOpenVpn = [&] {
        const bool closed = !fake.ui.posted.empty();
        fake.ui.posted.clear();
        return closed;
    };
    Set("VPN Mode", "2", kProfileCopy);
    Set("CallByIE", "TRUE", kProfileCopy);
    Tick(IDT_CALLBYIE_WATCH);
    ASSERT_TRUE(Ran("detach Varnel_openVPN.bat"));
    closedOpenVpn();
    Set("VPN Mode", "1", kProfileCopy);
    Set("CallByIE", "TRUE", kProfileCopy);
    fake.journal.Clear();
    Tick(IDT_CALLBYIE_WATCH);
    EXPECT_TRUE(closedOpenVpn());
    EXPECT_TRUE(
        fake.journal.Before("runner: wait Clear_IPsec.bat", "runner: wait Varnel_IPSecVPN.bat"));
    Set("VPN Mode", "2", kProfileCopy);
    Set("CallByIE", "TRUE", kProfileCopy);
    fake.journal.Clear();
    Tick(IDT_CALLBYIE_WATCH);
    EXPECT_TRUE(Ran("wait Clear_IPsec.bat"));
    fake.journal.Clear();
    host->Deliver(Msg{WM_KESTRUN_EXIT, 0, 0});
    EXPECT_TRUE(closedOpenVpn());
    EXPECT_FALSE(Ran("wait Clear_IPsec.bat"));
}

// The link drops while the success box is open and OpenVPN takes over meanwhile: closing
// the box leaves the tray and the count as those polls left them.
TEST_F(SequencerTest, SuccessBoxClosingKeepsWhatThePollsInsideItDecided) {
    Set("CallByIE", "TRUE", kProfileCopy);
    Tick(IDT_CALLBYIE_WATCH);
    liveness.m_bLANConnected = 1;
    host->onMessageBox = [&](const platform::fake::FakeDialogHost::Box&) {
        liveness.m_bLANConnected = 0;
        for (int poll = 0; poll < 15; ++poll) {
            Tick(IDT_LINK_CHECK);
        }
        return 1;
    };
    Tick(IDT_LINK_CHECK);
    ASSERT_TRUE(Ran("detach Varnel_openVPN.bat"));
    EXPECT_EQ(Tip().rfind("Can't Connect to : ", 0), 0u);
    host->onMessageBox = nullptr;
    EXPECT_EQ(PollsUntilExit(30), 20);
}

// A login made in an outside browser: both files are taken over, the tunnel of their mode
// is built and both copies say it was.
TEST_F(SequencerTest, ProfileWatchTakesOverAnOutsideLogin) {
    Tick(IDT_CALLBYIE_WATCH);
    EXPECT_TRUE(fake.journal.Has("trace: Timer3:CallByIE=[FALSE]\n"));
    EXPECT_FALSE(Ran("wait Varnel_IPSecVPN.bat"));

    Set("CallByIE", "TRUE", kProfileCopy);
    Set("Gateway", "203.0.113.9", kProfileCopy);
    ASSERT_EQ(fake.files.WriteNew("profile\\Key.txt", "static key"), 0u);
    liveness.m_bLANConnected = 1;
    Tick(IDT_CALLBYIE_WATCH);
    EXPECT_EQ(fake.files.ReadAll(".\\Key.txt"), "static key");
    EXPECT_EQ(Connection().Settings().m_strGateway, "203.0.113.9");
    EXPECT_TRUE(Ran("wait Clear_IPsec.bat"));
    EXPECT_TRUE(Ran("wait Varnel_IPSecVPN.bat"));
    EXPECT_EQ(liveness.m_bLANConnected, 0);
    EXPECT_EQ(host->texts[IDC_STATIC_STATUS], "Login Successful");
    EXPECT_FALSE(host->IsItemEnabled(IDC_BUTTON_CONNECT));
    for (const char* copy : {".\\Setting.tmp", kProfileCopy}) {
        EXPECT_EQ(Get("CallByIE", copy), "FALSE") << copy;
        EXPECT_EQ(Get("RemoveIPsec", copy), "FALSE") << copy;
        EXPECT_EQ(Get("VPN Mode", copy), "1") << copy;
    }
    EXPECT_EQ(host->timers.at(IDT_LINK_CHECK), 3000u);
    EXPECT_EQ(host->timers.at(IDT_CALLBYIE_WATCH), 1000u);
}

// Only a whole hand-over is built: while a file cannot be read or written whole, or the
// portal is still writing, nothing changes and the next tick tries again.
TEST_F(SequencerTest, ProfileWatchBuildsOnlyAWholeHandOver) {
    ASSERT_EQ(fake.files.WriteNew("profile\\Key.txt", "new key"), 0u);
    const struct {
        const char* name;
        std::function<void()> fault;
        const char* trace;
    } cases[] = {
        {"key shared", [this] { fake.files.failRead["profile\\Key.txt"] = 32; },
         "****Copy .\\Key.txt Error:32\n"},
        {"settings shared", [this] { fake.files.failRead[kProfileCopy] = 32; },
         "****Copy .\\Setting.tmp Error:32\n"},
        {"key not writable", [this] { fake.files.failCreate[".\\Key.txt"] = 5; },
         "****Copy .\\Key.txt Error:5\n"},
        {"portal still writing",
         [this] {
             fake.files.afterPlainRead = [this](const std::string& path) {
                 if (path == "profile\\Key.txt") {
                     Set("ModelName", "later", kProfileCopy);
                 }
             };
         },
         "****Copy .\\Setting.tmp postponed: profile\\Setting.tmp changed while it was read\n"},
    };
    for (const auto& c : cases) {
        Set("Gateway", "203.0.113.1");
        ASSERT_EQ(fake.files.WriteNew(".\\Key.txt", "old key"), 0u);
        Set("Gateway", "203.0.113.9", kProfileCopy);
        Set("CallByIE", "TRUE", kProfileCopy);
        c.fault();
        fake.journal.Clear();
        Tick(IDT_CALLBYIE_WATCH);
        EXPECT_TRUE(fake.journal.Has(std::string("trace: ") + c.trace)) << c.name;
        EXPECT_FALSE(Ran("wait Varnel_IPSecVPN.bat")) << c.name;
        EXPECT_EQ(Get("Gateway"), "203.0.113.1") << c.name;
        EXPECT_EQ(Get("CallByIE", kProfileCopy), "TRUE") << c.name;

        fake.files.failRead.clear();
        fake.files.failCreate.clear();
        fake.files.afterPlainRead = nullptr;
        Tick(IDT_CALLBYIE_WATCH);
        EXPECT_TRUE(Ran("wait Varnel_IPSecVPN.bat")) << c.name;
        EXPECT_EQ(Get("Gateway"), "203.0.113.9") << c.name;
        EXPECT_EQ(fake.files.ReadAll(".\\Key.txt"), "new key") << c.name;
        EXPECT_EQ(Get("CallByIE", kProfileCopy), "FALSE") << c.name;
    }

    // A hand-over without a key leaves no other login's key beside the program.
    std::remove("profile\\Key.txt");
    Set("CallByIE", "TRUE", kProfileCopy);
    Tick(IDT_CALLBYIE_WATCH);
    EXPECT_FALSE(fake.files.ReadAll(".\\Key.txt"));
}

// A profile copy whose flag cannot be set back is built once, not at every tick; the next
// login written into it is built, and so is a login written while a build ran, which the
// build's closing writes leave alone.
TEST_F(SequencerTest, ProfileWatchBuildsEachHandOverOnce) {
    const auto builds = [this] {
        const std::vector<std::string> runs = fake.journal.Of("runner");
        return std::count(runs.begin(), runs.end(), "wait Varnel_IPSecVPN.bat");
    };
    Set("CallByIE", "TRUE", kProfileCopy);
    fake.files.failCreate[kProfileCopy] = 5;
    for (int tick = 0; tick < 5; ++tick) {
        Tick(IDT_CALLBYIE_WATCH);
    }
    EXPECT_EQ(builds(), 1);
    EXPECT_TRUE(fake.journal.Has("trace: Flags not written: profile\\Setting.tmp error 0x5\n"));
    fake.files.failCreate.clear();
    Set("Gateway", "203.0.113.9", kProfileCopy);
    Tick(IDT_CALLBYIE_WATCH);
    EXPECT_EQ(builds(), 2);
    EXPECT_EQ(Get("CallByIE", kProfileCopy), "FALSE");

    // The portal writes the next login while the IPsec script runs.
    Set("CallByIE", "TRUE", kProfileCopy);
    fake.runner.onRun = [this](const std::string& command) {
        if (command.find("Varnel_IPSecVPN.bat") != std::string::npos) {
            Set("Gateway", "203.0.113.77", kProfileCopy);
        }
    };
    Tick(IDT_CALLBYIE_WATCH);
    fake.runner.onRun = nullptr;
    EXPECT_EQ(Get("CallByIE", kProfileCopy), "TRUE");
    EXPECT_TRUE(
        fake.journal.Has("trace: Flags not written: profile\\Setting.tmp no longer holds "
                         "the login built\n"));
    Tick(IDT_CALLBYIE_WATCH);
    EXPECT_EQ(Connection().Settings().m_strGateway, "203.0.113.77");
    EXPECT_EQ(Get("CallByIE", kProfileCopy), "FALSE");
}

// The pickup runs with administrator rights on files the user may have replaced: a key
// linked to a file he may not read, or one too large, is not copied, and no flag is written
// through a settings file that has a second name.
TEST_F(SequencerTest, ProfileWatchCopiesAndWritesOnlyPlainFiles) {
    ASSERT_EQ(fake.files.WriteNew("secret", "admin only"), 0u);
    const struct {
        const char* name;
        std::function<void()> plant;
    } keys[] = {
        {"symbolic link", [] { ASSERT_EQ(symlink("secret", "profile\\Key.txt"), 0); }},
        {"hard link", [] { ASSERT_EQ(link("secret", "profile\\Key.txt"), 0); }},
        {"too large",
         [this] {
             ASSERT_EQ(fake.files.WriteNew("profile\\Key.txt", std::string(65537, 'k')), 0u);
         }},
    };
    for (const auto& key : keys) {
        std::remove("profile\\Key.txt");
        std::remove(".\\Key.txt");
        key.plant();
        Set("CallByIE", "TRUE", kProfileCopy);
        Tick(IDT_CALLBYIE_WATCH);
        EXPECT_FALSE(fake.files.ReadAll(".\\Key.txt")) << key.name;
        EXPECT_TRUE(
            fake.journal.Has("trace: ****Copy .\\Key.txt skipped: profile\\Key.txt is not "
                             "a plain file of at most 65536 bytes\n"))
            << key.name;
        EXPECT_FALSE(Ran("wait Varnel_IPSecVPN.bat")) << key.name;
    }

    std::remove("profile\\Key.txt");
    ASSERT_EQ(link(kProfileCopy, "second name"), 0);
    Tick(IDT_CALLBYIE_WATCH);
    EXPECT_TRUE(
        fake.journal.Has("trace: ****Copy .\\Setting.tmp skipped: profile\\Setting.tmp is "
                         "not a plain file of at most 65536 bytes\n"));
    EXPECT_FALSE(Ran("wait Varnel_IPSecVPN.bat"));
    EXPECT_EQ(Get("CallByIE", kProfileCopy), "TRUE");
}

// "auth.asp" anywhere in the top-level address, in that letter case, starts the wait,
// unless it runs already or Delete VPN is under way.
TEST_F(SequencerTest, CompletedLoginPageStartsTheSettingsWait) {
    enum Before { kNothing, kWaiting, kDeleting };
    const struct {
        const char* location;
        Before before;
        bool starts;
    } cases[] = {{"https://router/cgi/auth.asp?x=1", kNothing, true},
                 {"https://router/AUTH.ASP", kNothing, false},
                 {"https://router/auth.asp", kWaiting, false},
                 {"https://router/auth.asp", kDeleting, false},
                 {"", kNothing, false}};
    for (const auto& c : cases) {
        host->timers.clear();
        if (c.before == kWaiting) {
            PageCompletes();
            Tick(IDT_SETTING_WAIT);
            ASSERT_EQ(Connection().State(), CS_SETTING);
            host->timers.clear();
        }
        if (c.before == kDeleting) {
            // A page that completes while Delete VPN waits for its blank page.
            fake.clock.onSleep = [&] { PageCompletes(c.location); };
            host->Deliver(CommandMsg(IDC_BUTTON_DEL));
            fake.clock.onSleep = nullptr;
        } else {
            PageCompletes(c.location);
        }
        EXPECT_EQ(host->timers.count(IDT_SETTING_WAIT), c.starts ? 1u : 0u) << c.location;
        if (c.starts) {
            // A new wait counts from 0: it gives up on its 21st tick.
            for (int tick = 1; tick <= 20; ++tick) {
                Tick(IDT_SETTING_WAIT);
            }
            EXPECT_EQ(host->timers.count(IDT_SETTING_WAIT), 1u);
            Tick(IDT_SETTING_WAIT);
            EXPECT_EQ(host->timers.count(IDT_SETTING_WAIT), 0u);
        }
        if (c.before == kWaiting) {
            Tick(IDT_SETTING_WAIT);
        }
    }
    EXPECT_TRUE(
        fake.journal.Has("trace: ***OnDocumentCompleteExplorer*** https://router/AUTH.ASP\n"));
}

// The page asking to close its window hides the main window; nothing else happens.
TEST_F(SequencerTest, PageClosingItsWindowHidesTheMainWindow) {
    host->Deliver(CommandMsg(ID_SHOW_MAIN));
    browsers.events->OnBrowserEvent(platform::kDispWindowClosing, "");
    ASSERT_EQ(host->posted.size(), 1u);
    EXPECT_EQ(host->posted.back().message, platform::kWmClose);
    host->DeliverPosted();
    EXPECT_FALSE(host->visible);
    EXPECT_TRUE(host->exists);
}

TEST_F(SequencerTest, ConnectTestsTheAddressBeforeTheLogin) {
    const struct {
        const char* address;
        bool accepted;
    } cases[] = {{"https://192.168.1.1/", true}, {"HTTPS://router/", true},
                 {"router/auth.asp", true},      {"http://router/", false},
                 {"192.168.1.1", false},         {"https:/", false}};
    for (const auto& c : cases) {
        fake.journal.Clear();
        host->texts[IDC_COMBO_URL] = c.address;
        host->Deliver(CommandMsg(IDC_BUTTON_CONNECT));
        const std::vector<std::string> navigated = fake.journal.Of("browser", "navigate");
        ASSERT_FALSE(navigated.empty()) << c.address;
        EXPECT_EQ(navigated.front(), ".\\msg.html") << c.address;
        EXPECT_EQ(navigated.back() == std::string(c.address) + " headers=Varnel:TRV-615 SSLVPN\r\n",
                  c.accepted)
            << c.address;
        EXPECT_EQ(fake.journal.Has("host: MessageBox The URL is invalid!!!\nPlease Input "
                                   "Again.|Warnning|0x10"),
                  !c.accepted)
            << c.address;
        EXPECT_EQ(host->timers.count(IDT_LINK_CHECK), c.accepted ? 1u : 0u) << c.address;
        EXPECT_EQ(host->IsItemEnabled(IDC_BUTTON_CONNECT), !c.accepted) << c.address;
        // The previous tunnel goes in any case.
        EXPECT_TRUE(Ran("wait Clear_IPsec.bat")) << c.address;
        EXPECT_EQ(Connection().State(), CS_LINKING) << c.address;
        host->KillTimer(IDT_LINK_CHECK);
    }
}

// Without a default gateway, or on a network that failed, no login starts.
TEST_F(SequencerTest, ConnectChecksTheNetworkFirst) {
    const struct {
        const char* box;
        std::vector<platform::RouteRow> routes;
        std::uint32_t lanIndex;
        const char* address;
    } cases[] = {// no adapter of the interface index set-up found
                 {"The PC's LAN don't default Gateway!!!", {}, 5, "192.168.1.5"},
                 {"The PC's network is failed!!!", {{0, 2}}, 2, "0.0.0.0"}};
    for (const auto& c : cases) {
        fake.journal.Clear();
        fake.net.routes = c.routes;
        fake.net.adapters = {test::Adapter(c.lanIndex, "LAN", c.address, c.address, "{LAN}"),
                             test::Adapter(6, "WLAN", "10.0.0.2", "255.0.0.0", "{WLAN}")};
        host->texts[IDC_COMBO_URL] = "https://router/";
        host->Deliver(CommandMsg(IDC_BUTTON_CONNECT));
        EXPECT_TRUE(
            fake.journal.Has(std::string("host: MessageBox ") + c.box + "|Warnning|0x40030"))
            << c.box;
        EXPECT_EQ(fake.journal.Of("browser", "navigate").size(), 1u) << c.box;  // blank page only
        EXPECT_TRUE(host->IsItemEnabled(IDC_BUTTON_CONNECT)) << c.box;
        EXPECT_EQ(host->timers.count(IDT_LINK_CHECK), 0u) << c.box;
    }
}

TEST_F(SequencerTest, ConnectStartsTheLogin) {
    // The last tunnel was OpenVPN, picked up from an outside login.
    Set("VPN Mode", "2", kProfileCopy);
    Set("CallByIE", "TRUE", kProfileCopy);
    Tick(IDT_CALLBYIE_WATCH);
    fake.journal.Clear();
    fake.ui.windows = {{0x72, "OpenVPN stub"}};
    liveness.m_bLANConnected = 1;
    fake.clock.now = 0x80000001u - 1000u;  // the blank page takes a second
    host->texts[IDC_COMBO_URL] = "https://router/";
    host->Deliver(CommandMsg(IDC_BUTTON_CONNECT));
    EXPECT_EQ(fake.ui.posted.at(0).window, 0x72u);  // the OpenVPN program of the last mode
    EXPECT_EQ(fake.journal.Of("clock", "sleep"), std::vector<std::string>{"1000"});
    EXPECT_EQ(liveness.m_bLANConnected, 0);
    EXPECT_EQ(Connection().VpnMode(), VPN_MODE_IPSEC);
    EXPECT_EQ(host->texts[IDC_STATIC_STATUS], "Linking Connection");
    EXPECT_EQ(Tip(), "Can't Connect to : " + Connection().Settings().m_strNetworkIP);
    EXPECT_EQ(Get("CallByIE"), "FALSE");
    EXPECT_EQ(Get("VPN Mode"), "1");
    EXPECT_EQ(Get("RemoveIPsec"), "FALSE");
    EXPECT_EQ(Get("ShowAppletTitle"), "FALSE");
    EXPECT_EQ(Get("StartTime"), "-2147483647");
    EXPECT_FALSE(host->IsItemEnabled(IDC_BUTTON_DEL));
    EXPECT_EQ(host->itemShowCommands.at(IDC_EXPLORER), platform::kSwShow);
    // Editing or picking another address offers Connect again.
    host->EnableItem(IDC_BUTTON_CONNECT, false);
    host->Deliver(CommandMsg(IDC_COMBO_URL, platform::kCbnEditChange));
    EXPECT_TRUE(host->IsItemEnabled(IDC_BUTTON_CONNECT));
}

}  // namespace
}  // namespace kestrun
