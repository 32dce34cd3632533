// Connectivity Info. and Diagnosis opened from the tray menu: their one shared guard, what
// a refresh reads and sets, and what "Starts" runs.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/sequencer.h"
#include "platform/format.h"
#include "res/resource.h"
#include "status/info_view.h"
#include "tests/support/main_window_fixture.h"

namespace kestrun {
namespace {

using platform::fake::FakeDialogHost;
using Rows = std::vector<std::pair<std::string, std::string>>;

class StatusWindowsTest : public test::MainWindowFixture {
  protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        Set("CallByIE", "FALSE");
        Set("URL0", "https://" + std::string(300, 'r'));
        Create();
        fake.journal.Clear();
    }
    // Opens a window from the tray menu and runs script while it is open.
    void Open(int command, int templateId, std::function<void(FakeDialogHost&)> script) {
        dialogs.whileModal[templateId] = std::move(script);
        host->Deliver(CommandMsg(static_cast<std::uint16_t>(command)));
    }
};

// Only one of the two is open at a time; the guard goes with the window.
TEST_F(StatusWindowsTest, OneStatusWindowAtATime) {
    int infoRuns = 0;
    Open(ID_MENUITEM_INFO, IDD_INFO_DIALOG, [&](FakeDialogHost&) {
        ++infoRuns;
        host->Deliver(CommandMsg(ID_MENUITEM_DIAGNOSIS));
        host->Deliver(CommandMsg(ID_MENUITEM_INFO));
    });
    EXPECT_EQ(infoRuns, 1);
    EXPECT_EQ(fake.journal.Count("dialogs: RunModal 135"), 1u);
    EXPECT_FALSE(fake.journal.Has("dialogs: RunModal 136"));
    host->Deliver(CommandMsg(ID_MENUITEM_DIAGNOSIS));
    EXPECT_TRUE(fake.journal.Has("dialogs: RunModal 136"));
}

// IPsec on XP: the statistics script is started (not waited for) and its last listing read;
// the view's other fields come from the shared state.
TEST_F(StatusWindowsTest, InfoRefreshesOnOpeningAndEverySecond) {
    ASSERT_EQ(fake.files.WriteNew("./tmp.txt",
                                  "Bytes Sent In Tunnels : 1234\n"
                                  "Bytes Received In Tunnels : 42\n"),
              0u);
    // A login through the portal 3725 s ago started the session clock.
    PageCompletes();
    Set("ParseSettingFlag", "TRUE");
    host->Deliver(TimerMsg(IDT_SETTING_WAIT));
    Set("URL0", "https://" + std::string(300, 'r'));
    fake.clock.now += 3725000u;
    liveness.m_bLANConnected = 1;
    std::vector<std::string> times;
    Open(ID_MENUITEM_INFO, IDD_INFO_DIALOG, [&](FakeDialogHost& info) {
        EXPECT_EQ(info.timers.at(IDT_INFO_REFRESH), 1000u);
        times.push_back(info.texts[IDC_INFO_TIME]);
        // What the first run left.
        ASSERT_EQ(fake.files.WriteNew("./tmp.txt",
                                      "Bytes Sent In Tunnels : 1234\n"
                                      "Bytes Received In Tunnels : 42\n"),
                  0u);
        fake.clock.now += 1000;
        info.Deliver(TimerMsg(IDT_INFO_REFRESH));
        times.push_back(info.texts[IDC_INFO_TIME]);
        EXPECT_EQ(info.texts[IDC_INFO_TRANSMITTED], " 1234 Bytes");
        EXPECT_EQ(info.texts[IDC_INFO_RECEIVED], " 42 Bytes");
        EXPECT_EQ(info.texts[IDC_INFO_LINK_STATUS], "Connected");
        EXPECT_EQ(info.texts[IDC_INFO_SECURE_MODE], "IPsec");
        EXPECT_EQ(info.texts[IDC_INFO_IP_LABEL], "Local IP : ");
        EXPECT_EQ(info.texts[IDC_INFO_IP_ADDRESS], "192.168.1.5");
        EXPECT_EQ(info.texts[IDC_INFO_LOGIN_URL].size(), 254u);
    });
    EXPECT_EQ(times, (std::vector<std::string>{"1:02:05", "1:02:06"}));
    EXPECT_EQ(fake.journal.Count("runner: start GetIPSecStats.bat"), 2u);
}

// A window made from its template shows "0 Bytes" until a listing names the totals, and
// one an earlier connection left is not shown.
TEST_F(StatusWindowsTest, InfoKeepsTheTemplateCountersOverAStaleListing) {
    dialogs.templateTexts[IDD_INFO_DIALOG] = {{IDC_INFO_RECEIVED, "0 Bytes"},
                                              {IDC_INFO_TRANSMITTED, "0 Bytes"}};
    ASSERT_EQ(fake.files.WriteNew("./tmp.txt", "Bytes Sent In Tunnels : 999\n"), 0u);
    Open(ID_MENUITEM_INFO, IDD_INFO_DIALOG, [&](FakeDialogHost& info) {
        info.Deliver(TimerMsg(IDT_INFO_REFRESH));
        EXPECT_EQ(info.texts[IDC_INFO_TRANSMITTED], "0 Bytes");
        EXPECT_EQ(info.texts[IDC_INFO_RECEIVED], "0 Bytes");
    });
}

// A run that has not ended is not joined by another; the next starts once it has.
TEST_F(StatusWindowsTest, InfoStartsTheStatisticsOnlyAfterTheLastRunEnded) {
    fake.runner.programsKeepRunning = true;
    Open(ID_MENUITEM_INFO, IDD_INFO_DIALOG, [&](FakeDialogHost& info) {
        info.Deliver(TimerMsg(IDT_INFO_REFRESH));
        info.Deliver(TimerMsg(IDT_INFO_REFRESH));
        fake.runner.programs.at(0)->running = false;
        info.Deliver(TimerMsg(IDT_INFO_REFRESH));
    });
    EXPECT_EQ(fake.journal.Count("runner: start GetIPSecStats.bat"), 2u);
}

// Outside IPsec mode the window shows the virtual adapter and sets the mode to OpenVPN.
TEST_F(StatusWindowsTest, InfoInSslModeReadsTheAdapterCounters) {
    // Start-up read a mode that is neither IPsec nor OpenVPN.
    dlg.reset();
    Make(0);
    ASSERT_TRUE(dlg->Create());
    fake.net.devices[std::string("\\\\.\\") + test::kVirtualAdapter] = {{0x00020101, 0xFFFFFFFFu}};
    Open(ID_MENUITEM_INFO, IDD_INFO_DIALOG, [&](FakeDialogHost& info) {
        EXPECT_EQ(info.texts[IDC_INFO_SECURE_MODE], "SSL");
        EXPECT_EQ(info.texts[IDC_INFO_IP_ADDRESS], "10.1.99.6");
        EXPECT_EQ(info.texts[IDC_INFO_TRANSMITTED], "4294967295 Bytes");
        EXPECT_EQ(info.texts[IDC_INFO_RECEIVED], "0 Bytes");
        EXPECT_EQ(info.texts[IDC_INFO_TIME], "00:00:00");
    });
    EXPECT_EQ(Connection().VpnMode(), VPN_MODE_OPENVPN);
    EXPECT_FALSE(fake.journal.Has("runner: start GetIPSecStats.bat"));
}

TEST_F(StatusWindowsTest, DiagnosisListsTheAdapterAndStartsRunTheTests) {
    fake.net.dns = {"10.0.0.53"};
    Open(ID_MENUITEM_DIAGNOSIS, IDD_DIAGNOSIS_DIALOG, [&](FakeDialogHost& diagnosis) {
        EXPECT_EQ(lists.list.columns,
                  (std::vector<std::pair<std::string, int>>{{"Test Items", 269}, {"Result", 115}}));
        ASSERT_EQ(lists.list.rows.size(), 14u);
        EXPECT_EQ(lists.list.rows[6], (std::pair<std::string, std::string>{"LAN", "Enable"}));
        EXPECT_EQ(lists.list.rows[11].first, "    DNS Server :  10.0.0.53      \t");
        liveness.m_bLANConnected = 1;
        diagnosis.Deliver(CommandMsg(IDC_DIAG_STARTS));
    });
    const Rows& rows = lists.list.rows;
    EXPECT_EQ(rows[1].second, "Running");
    EXPECT_EQ(rows[2].second, "Pass");
    EXPECT_EQ(rows[3].second, "Established");
    EXPECT_EQ(rows[4].second, "Fail");  // no name resolves here
    // The results are cleared and shown at once, then the three seconds pass.
    EXPECT_EQ(fake.journal.From("list: repaint|||||||Enable|||||||").at(1), "clock: sleep 3000");
    EXPECT_TRUE(fake.journal.Has("runner: detach ipconfig /flushdns"));
    EXPECT_FALSE(fake.ui.waitCursor);
}

// A stopped service and a missing virtual adapter fail; a system without the service keeps
// the row as it always read.
TEST_F(StatusWindowsTest, DiagnosisReportsTheServiceAndTheDriverAsTheyAre) {
    fake.services.services["PolicyAgent"].state = platform::kServiceStopped;
    fake.net.adapters.erase(fake.net.adapters.begin());
    for (const bool hasService : {true, false}) {
        if (!hasService) {
            fake.services.services.clear();
        }
        Open(ID_MENUITEM_DIAGNOSIS, IDD_DIAGNOSIS_DIALOG,
             [&](FakeDialogHost& diagnosis) { diagnosis.Deliver(CommandMsg(IDC_DIAG_STARTS)); });
        EXPECT_EQ(lists.list.rows[1].second, hasService ? "Failure" : "Running");
        EXPECT_EQ(lists.list.rows[2].second, "Fail");
    }
}

}  // namespace
}  // namespace kestrun
