#include "status/system_tray.h"

#include <gtest/gtest.h>

#include "tests/support/case_name.h"

#include <string>
#include <vector>

#include "tests/fakes/fake_shell.h"

namespace kestrun {
namespace {

using platform::Msg;
using platform::NotifyIconRecord;
using platform::fake::FakeShell;
using platform::fake::Journal;

constexpr platform::WindowRef kMainWindow = 0x4242;
constexpr platform::GdiRef kNoLink = 0x71;
constexpr platform::GdiRef kLink = 0x72;
constexpr std::uint32_t kTrayId = 130;

std::string Tip(const NotifyIconRecord& record) {
    return std::string(record.szTip.data());
}

class SystemTrayTest : public testing::Test {
  protected:
    SystemTrayTest() {
        shell.AddTrayMenuResource();
        tray = std::make_unique<CSystemTray>(shell, [this] {
            ++mainLookups;
            return kMainWindow;
        });
    }
    bool Add() {
        return tray->AddIcon(WM_TRAYICON_NOTIFY, "Varnel Pallisor Client", kNoLink, kTrayId);
    }
    platform::WindowRef Hidden() const { return tray->Record().hWnd; }
    std::intptr_t Notify(std::uintptr_t id, std::uint32_t mouse) {
        return shell
            .DeliverTo(Hidden(), Msg{WM_TRAYICON_NOTIFY, id, static_cast<std::intptr_t>(mouse)})
            ->value;
    }

    Journal journal;
    FakeShell shell{journal};
    int mainLookups = 0;
    std::unique_ptr<CSystemTray> tray;
};

TEST_F(SystemTrayTest, AddCreatesTheHiddenWindowAndAddsTheIcon) {
    ASSERT_TRUE(Add());
    ASSERT_EQ(shell.liveWindows.size(), 1u);
    EXPECT_EQ(shell.windowTitles[Hidden()], "CSystemTray Dummy Window");
    ASSERT_EQ(shell.notifications.size(), 1u);
    const auto& [action, record] = shell.notifications[0];
    EXPECT_EQ(action, platform::kNimAdd);
    EXPECT_EQ(record.cbSize, 488u);
    EXPECT_EQ(record.hWnd, Hidden());
    EXPECT_EQ(record.uID, kTrayId);
    EXPECT_EQ(record.uFlags, 7u);
    EXPECT_EQ(record.uCallbackMessage, 0x46Fu);
    EXPECT_EQ(record.hIcon, kNoLink);
    EXPECT_EQ(Tip(record), "Varnel Pallisor Client");
    EXPECT_EQ(shell.icons.size(), 1u);
}

TEST_F(SystemTrayTest, SecondAddKeepsTheOneHiddenWindow) {
    ASSERT_TRUE(Add());
    tray->RemoveIcon();
    ASSERT_TRUE(Add());
    EXPECT_FALSE(Add());  // the icon is already there
    EXPECT_EQ(shell.liveWindows.size(), 1u);
    tray.reset();
    EXPECT_TRUE(shell.liveWindows.empty());
    EXPECT_TRUE(shell.icons.empty());
}

TEST_F(SystemTrayTest, ChangeReplacesIconAndTipTogether) {
    ASSERT_TRUE(Add());
    EXPECT_TRUE(tray->ChangeIcon(kLink, "Connected to : 192.168.1.1"));
    EXPECT_TRUE(tray->ChangeIcon(kLink, "Connected to : 192.168.1.1"));  // again: harmless
    const auto& [action, record] = shell.notifications.back();
    EXPECT_EQ(action, platform::kNimModify);
    EXPECT_EQ(record.uFlags, 6u);
    const NotifyIconRecord& shown = shell.icons.begin()->second;
    EXPECT_EQ(shown.hIcon, kLink);
    EXPECT_EQ(Tip(shown), "Connected to : 192.168.1.1");
}

struct TipCase {
    std::size_t length;
    std::size_t kept;
};
[[maybe_unused]] void PrintTo(const TipCase& c, std::ostream* os) {
    *os << c.length << " characters";
}

class SystemTrayTipTest : public SystemTrayTest, public testing::WithParamInterface<TipCase> {};

TEST_P(SystemTrayTipTest, TipIsCutTo127Characters) {
    const std::string tip(GetParam().length, 'x');
    ASSERT_TRUE(tray->AddIcon(WM_TRAYICON_NOTIFY, tip, kNoLink, kTrayId));
    EXPECT_EQ(Tip(tray->Record()).size(), GetParam().kept);
    tray->ChangeIcon(kLink, tip);
    EXPECT_EQ(Tip(tray->Record()).size(), GetParam().kept);
    EXPECT_EQ(tray->Record().szTip[127], '\0');
}

INSTANTIATE_TEST_SUITE_P(Lengths, SystemTrayTipTest,
                         testing::Values(TipCase{0, 0}, TipCase{126, 126}, TipCase{127, 127},
                                         TipCase{128, 127}, TipCase{200, 127}));

TEST_F(SystemTrayTest, ShorterTipLeavesNothingOfTheLongerOne) {
    ASSERT_TRUE(tray->AddIcon(WM_TRAYICON_NOTIFY, std::string(200, 'y'), kNoLink, kTrayId));
    tray->ChangeIcon(kNoLink, "The SSL VPN is deleted!");
    EXPECT_EQ(Tip(tray->Record()), "The SSL VPN is deleted!");
    for (std::size_t i = 23; i < tray->Record().szTip.size(); ++i) {
        ASSERT_EQ(tray->Record().szTip[i], '\0') << i;
    }
}

TEST_F(SystemTrayTest, WindowThatCannotBeMadeAddsNothing) {
    shell.failCreateWindow = true;
    EXPECT_FALSE(Add());
    EXPECT_TRUE(shell.notifications.empty());
    tray->RemoveIcon();
    tray.reset();
    EXPECT_TRUE(shell.notifications.empty());
}

TEST_F(SystemTrayTest, RefusedAddKeepsTheWindowUntilRemoved) {
    shell.failAdd = true;
    EXPECT_FALSE(Add());
    EXPECT_EQ(shell.liveWindows.size(), 1u);
    tray->RemoveIcon();
    EXPECT_EQ(shell.notifications.back().first, platform::kNimDelete);
    EXPECT_TRUE(shell.liveWindows.empty());
    tray.reset();  // the destructor's removal has nothing left to do
    EXPECT_TRUE(shell.liveWindows.empty());
}

TEST_F(SystemTrayTest, RemoveTwiceIsHarmless) {
    ASSERT_TRUE(Add());
    tray->RemoveIcon();
    EXPECT_TRUE(shell.icons.empty());
    EXPECT_TRUE(shell.liveWindows.empty());
    const std::size_t calls = journal.Of("shell").size();
    tray->RemoveIcon();
    tray.reset();
    EXPECT_EQ(journal.Of("shell").size(), calls);
}

TEST_F(SystemTrayTest, DestructionRemovesTheIcon) {
    ASSERT_TRUE(Add());
    tray.reset();
    EXPECT_TRUE(shell.icons.empty());
    EXPECT_TRUE(shell.liveWindows.empty());
}

TEST_F(SystemTrayTest, RightButtonReleaseShowsTheMenuInOrder) {
    ASSERT_TRUE(Add());
    journal.Clear();
    EXPECT_EQ(Notify(kTrayId, platform::kWmRButtonUp), 1);
    const std::vector<std::string> expected = {
        "LoadMenu 130",
        "GetSubMenu 0",
        "ModifyMenu 0 32776 Diagnosis",
        "ModifyMenu 1 32774 Connectivity Info.",
        "ModifyMenu 3 32775 About Ostrimel",
        "ModifyMenu 4 32773 Disconnect && Exit",
        "GetCursorPos",
        "SetForegroundWindow 0x4242",
        "TrackPopupMenu 0 640 758 0x4242",
        "DestroyMenu",
    };
    EXPECT_EQ(journal.Of("shell"), expected);
    EXPECT_TRUE(shell.liveMenus.empty());
}

TEST_F(SystemTrayTest, MenuShownIsTheFixedTableWhateverTheResourceSays) {
    ASSERT_TRUE(Add());
    auto& entries = shell.resources[130][0].popupItems;
    entries[0].text = "Old";
    entries[4] = FakeShell::MenuItem{9, "Quit", false, false, {}};
    Notify(kTrayId, platform::kWmRButtonUp);
    ASSERT_EQ(shell.tracked.size(), 1u);
    const auto& items = shell.tracked[0].items;
    ASSERT_EQ(items.size(), 5u);
    const std::vector<std::pair<std::uint32_t, std::string>> expected = {
        {32776, "Diagnosis"},
        {32774, "Connectivity Info."},
        {0, ""},
        {32775, "About Ostrimel"},
        {32773, "Disconnect && Exit"}};
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].command, expected[i].first) << i;
        EXPECT_EQ(items[i].text, expected[i].second) << i;
    }
    EXPECT_TRUE(items[2].separator);
}

struct MouseCase {
    const char* name;
    std::uint32_t mouse;
};
KESTRUN_PRINTS_CASE_NAME(MouseCase)

class SystemTrayMouseTest : public SystemTrayTest, public testing::WithParamInterface<MouseCase> {};

TEST_P(SystemTrayMouseTest, OtherMouseActionsReturnOneAndShowNothing) {
    ASSERT_TRUE(Add());
    journal.Clear();
    EXPECT_EQ(Notify(kTrayId, GetParam().mouse), 1);
    EXPECT_TRUE(journal.Of("shell").empty());
    EXPECT_EQ(mainLookups, 1);
}

INSTANTIATE_TEST_SUITE_P(Actions, SystemTrayMouseTest,
                         testing::Values(MouseCase{"LeftUp", platform::kWmLButtonUp},
                                         MouseCase{"LeftDown", platform::kWmLButtonDown},
                                         MouseCase{"LeftDouble", platform::kWmLButtonDblClk},
                                         MouseCase{"RightDown", platform::kWmRButtonDown},
                                         MouseCase{"Move", platform::kWmMouseMove},
                                         // Only the low word carries the mouse message.
                                         MouseCase{"HighWordIgnoredLeft",
                                                   0x12340000u | platform::kWmLButtonUp}),
                         test::CaseName());

TEST_F(SystemTrayTest, HighWordOfLParamDoesNotHideARightClick) {
    ASSERT_TRUE(Add());
    EXPECT_EQ(Notify(kTrayId, 0x00010000u | platform::kWmRButtonUp), 1);
    EXPECT_EQ(shell.tracked.size(), 1u);
}

TEST_F(SystemTrayTest, OtherIconIdReturnsZeroAndDoesNothing) {
    ASSERT_TRUE(Add());
    journal.Clear();
    EXPECT_EQ(Notify(131, platform::kWmRButtonUp), 0);
    EXPECT_TRUE(journal.Of("shell").empty());
    EXPECT_EQ(mainLookups, 0);
}

TEST_F(SystemTrayTest, MissingMenuShowsNothingAndReturnsZero) {
    shell.resources.clear();
    ASSERT_TRUE(Add());
    EXPECT_EQ(Notify(kTrayId, platform::kWmRButtonUp), 0);
    EXPECT_TRUE(shell.tracked.empty());
}

TEST_F(SystemTrayTest, MenuWithoutPopupIsDestroyedAndReturnsZero) {
    shell.resources[130] = {FakeShell::MenuItem{5, "Flat", false, false, {}}};
    ASSERT_TRUE(Add());
    EXPECT_EQ(Notify(kTrayId, platform::kWmRButtonUp), 0);
    EXPECT_TRUE(shell.tracked.empty());
    EXPECT_TRUE(shell.liveMenus.empty());
    EXPECT_EQ(journal.Of("shell").back(), "DestroyMenu");
}

TEST_F(SystemTrayTest, EveryClickBuildsANewMenuAndItsCommandReachesTheMainWindow) {
    ASSERT_TRUE(Add());
    std::vector<std::pair<platform::WindowRef, std::uint32_t>> sent;
    shell.onCommand = [&](platform::WindowRef owner, std::uint32_t command) {
        sent.emplace_back(owner, command);
    };
    shell.choose = [](const FakeShell::Tracked&) { return 32775u; };
    Notify(kTrayId, platform::kWmRButtonUp);
    shell.choose = [](const FakeShell::Tracked&) { return 0u; };  // dismissed
    Notify(kTrayId, platform::kWmRButtonUp);
    EXPECT_EQ(journal.Count("shell: LoadMenu 130"), 2u);
    EXPECT_TRUE(shell.liveMenus.empty());
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], std::make_pair(kMainWindow, 32775u));
}

TEST_F(SystemTrayTest, OtherMessagesGoToTheDefaultProcedure) {
    ASSERT_TRUE(Add());
    auto result = shell.DeliverTo(Hidden(), Msg{platform::kWmTimer, 1, 0});
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->handled);
}

TEST_F(SystemTrayTest, ShellRestartAddsTheIconAgainAsItLooksNow) {
    ASSERT_TRUE(Add());
    tray->ChangeIcon(kLink, "Connected to : 10.0.0.1");
    shell.icons.clear();  // the shell restarted and lost every icon
    const std::uint32_t taskbarCreated = shell.RegisterMessageName("TaskbarCreated");
    shell.DeliverTo(Hidden(), Msg{taskbarCreated, 0, 0});
    const auto& [action, record] = shell.notifications.back();
    EXPECT_EQ(action, platform::kNimAdd);
    EXPECT_EQ(record.uFlags, 7u);
    ASSERT_EQ(shell.icons.size(), 1u);
    const NotifyIconRecord& shown = shell.icons.begin()->second;
    EXPECT_EQ(shown.hIcon, kLink);
    EXPECT_EQ(Tip(shown), "Connected to : 10.0.0.1");
    EXPECT_EQ(shown.uCallbackMessage, WM_TRAYICON_NOTIFY);
    // Later changes are changes again.
    tray->ChangeIcon(kNoLink, "Can't Connect to : 10.0.0.1");
    EXPECT_EQ(shell.notifications.back().second.uFlags, 6u);
}

TEST_F(SystemTrayTest, ShellRestartAfterRefusedAddAddsNothing) {
    shell.failAdd = true;
    EXPECT_FALSE(Add());
    shell.failAdd = false;
    const std::size_t before = shell.notifications.size();
    shell.DeliverTo(Hidden(), Msg{shell.RegisterMessageName("TaskbarCreated"), 0, 0});
    EXPECT_EQ(shell.notifications.size(), before);
}

}  // namespace
}  // namespace kestrun
