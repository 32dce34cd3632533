#include "ui/message_table.h"

#include <gtest/gtest.h>

#include "tests/support/case_name.h"

#include <string>
#include <vector>

namespace kestrun {
namespace {

using platform::Msg;

// A window class with one handler of each kind, each recording its call.
struct Window {
    std::vector<std::string> calls;
    void OnConnect() { calls.push_back("Connect"); }
    void OnSelChange() { calls.push_back("SelChange"); }
    void OnEditChange() { calls.push_back("EditChange"); }
    void OnMenuAbout() { calls.push_back("About"); }
    void OnTimer(std::uint32_t id) { calls.push_back("Timer" + std::to_string(id)); }
    bool OnInitDialog() {
        calls.push_back("Init");
        return false;
    }
    MsgResult OnExit(const Msg& msg) {
        calls.push_back("Exit" + std::to_string(msg.wParam) + "/" + std::to_string(msg.lParam));
        return platform::Handled(0);
    }
    MsgResult OnCtlColor(const Msg&) { return platform::Handled(0x5150); }
    void OnFirst() { calls.push_back("First"); }
    void OnSecond() { calls.push_back("Second"); }

    static const MessageTable<Window>& Table() {
        static const MessageTable<Window> table =
            MessageTable<Window>()
                .Command(1002, &Window::OnConnect)
                .Notify(1000, platform::kCbnSelChange, &Window::OnSelChange)
                .Notify(1000, platform::kCbnEditChange, &Window::OnEditChange)
                .Command(32775, &Window::OnMenuAbout)
                .Timer(&Window::OnTimer)
                .InitDialog(&Window::OnInitDialog)
                .Message(0x499, &Window::OnExit)
                .Message(platform::kWmCtlColorStatic, &Window::OnCtlColor)
                .Command(7, &Window::OnFirst)
                .Command(7, &Window::OnSecond);
        return table;
    }
};

struct RouteCase {
    const char* name;
    Msg msg;
    std::vector<std::string> calls;  // empty: not routed
    std::intptr_t value;
};
KESTRUN_PRINTS_CASE_NAME(RouteCase)

class MessageTableRouteTest : public testing::TestWithParam<RouteCase> {};

TEST_P(MessageTableRouteTest, RoutesToTheRightHandler) {
    Window window;
    auto result = Window::Table().Dispatch(window, GetParam().msg);
    EXPECT_EQ(window.calls, GetParam().calls);
    if (GetParam().calls.empty() && GetParam().value == 0) {
        EXPECT_FALSE(result.has_value());
    } else {
        ASSERT_TRUE(result.has_value());
        EXPECT_TRUE(result->handled);
        EXPECT_EQ(result->value, GetParam().value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MessageTableRouteTest,
    testing::Values(
        RouteCase{"ButtonClick", CommandMsg(1002), {"Connect"}, 0},
        RouteCase{"ButtonOtherCode", CommandMsg(1002, 6), {}, 0},
        RouteCase{"ComboSelChange", CommandMsg(1000, platform::kCbnSelChange), {"SelChange"}, 0},
        RouteCase{"ComboEditChange", CommandMsg(1000, platform::kCbnEditChange), {"EditChange"}, 0},
        RouteCase{"ComboDropDown", CommandMsg(1000, 7), {}, 0},
        RouteCase{"MenuCommand", CommandMsg(32775), {"About"}, 0},
        RouteCase{"UnknownCommand", CommandMsg(32772), {}, 0},
        RouteCase{"TimerCarriesId", TimerMsg(3), {"Timer3"}, 0},
        RouteCase{"InitDialogResult", Msg{platform::kWmInitDialog, 0, 0}, {"Init"}, 0},
        RouteCase{"PrivateMessage", Msg{0x499, 4, 5}, {"Exit4/5"}, 0},
        RouteCase{"ValueReturned", Msg{platform::kWmCtlColorStatic, 0, 0}, {}, 0x5150},
        RouteCase{"Unrouted", Msg{platform::kWmPaint, 0, 0}, {}, 0},
        RouteCase{"FirstEntryWins", CommandMsg(7), {"First"}, 0}),
    test::CaseName());

TEST(MessageTableTest, InitDialogReportsHandlerResult) {
    struct Focus {
        bool OnInitDialog() { return true; }
    };
    MessageTable<Focus> table;
    table.InitDialog(&Focus::OnInitDialog);
    Focus focus;
    auto result = table.Dispatch(focus, Msg{platform::kWmInitDialog, 0, 0});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->value, 1);
}

}  // namespace
}  // namespace kestrun

namespace kestrun {
namespace {

// A window whose message numbers are chosen at run time, as the tray's are.
struct RuntimeNumbers {
    std::uint32_t callback = 0;
    std::vector<std::uint32_t> seen;
    std::uint32_t Callback() const { return callback; }
    MsgResult OnCallback(const Msg& msg) {
        seen.push_back(msg.message);
        return platform::Handled(1);
    }
    static const MessageTable<RuntimeNumbers>& Table() {
        static const MessageTable<RuntimeNumbers> table = MessageTable<RuntimeNumbers>().MessageAt(
            &RuntimeNumbers::Callback, &RuntimeNumbers::OnCallback);
        return table;
    }
};

TEST(MessageTableTest, RuntimeNumberFollowsTheOwnerAndZeroMatchesNothing) {
    RuntimeNumbers window;
    EXPECT_FALSE(RuntimeNumbers::Table().Dispatch(window, Msg{0, 0, 0}));
    window.callback = 0x46F;
    EXPECT_FALSE(RuntimeNumbers::Table().Dispatch(window, Msg{0x470, 0, 0}));
    EXPECT_TRUE(RuntimeNumbers::Table().Dispatch(window, Msg{0x46F, 0, 0}));
    window.callback = 0xC123;
    EXPECT_TRUE(RuntimeNumbers::Table().Dispatch(window, Msg{0xC123, 0, 0}));
    EXPECT_EQ(window.seen, (std::vector<std::uint32_t>{0x46F, 0xC123}));
}

}  // namespace
}  // namespace kestrun
