#include <gtest/gtest.h>

#include "tests/support/case_name.h"

#include "platform/window_message.h"
#include "portal/close_window_by_title.h"
#include "portal/message_page.h"
#include "tests/fakes/fake_platform.h"
#include "tests/support/scoped_work_dir.h"

namespace kestrun {
namespace {

using platform::fake::FakePlatform;
using Window = platform::fake::FakeUi::Window;

struct CloseCase {
    const char* name;
    std::vector<Window> windows;  // top-level, in Z order
    std::string text;
    int result;
    platform::WindowRef closed;  // 0: nothing posted
};
KESTRUN_PRINTS_CASE_NAME(CloseCase)

class CloseWindowByTitleTest : public ::testing::TestWithParam<CloseCase> {};

TEST_P(CloseWindowByTitleTest, PostsCloseToTheFirstMatchInZOrder) {
    const CloseCase& c = GetParam();
    FakePlatform fake;
    fake.ui.windows = c.windows;

    EXPECT_EQ(CloseWindowByTitle(fake.ui, c.text), c.result);
    if (c.closed == 0) {
        EXPECT_TRUE(fake.ui.posted.empty());
    } else {
        ASSERT_EQ(fake.ui.posted.size(), 1u);
        EXPECT_EQ(fake.ui.posted[0].window, c.closed);
        EXPECT_EQ(fake.ui.posted[0].message, platform::kWmClose);
        EXPECT_EQ(fake.ui.posted[0].wParam, 0u);
        EXPECT_EQ(fake.ui.posted[0].lParam, 0);
    }
}

const std::string kLongPrefix(250, 'x');

INSTANTIATE_TEST_SUITE_P(
    Titles, CloseWindowByTitleTest,
    ::testing::Values(
        CloseCase{"TwoMatchesTheHigherOneCloses",
                  {{11, "Program Manager"}, {12, "OpenVPN stub"}, {13, "OpenVPN GUI"}},
                  "OpenVPN",
                  1,
                  12},
        CloseCase{"NoMatchPostsNothing",
                  {{11, "Program Manager"}, {12, "Pallisor Client"}},
                  "OpenVPN",
                  0,
                  0},
        CloseCase{"NoWindowsAtAll", {}, "OpenVPN", 0, 0},
        CloseCase{"LowerCaseIsNotTheProgram",
                  {{11, "openvpn - tunnel"}, {12, "C:\\Kestrun\\openVPN\\openvpn.exe"}},
                  "OpenVPN",
                  0,
                  0},
        CloseCase{"WordInsideTheTitle", {{11, "cmd - .\\OpenVPN.exe"}}, "OpenVPN", 1, 11},
        // Only 254 characters of a title are read: a word beyond them is not seen.
        CloseCase{"WordCutOffByTheBuffer", {{11, kLongPrefix + "OpenVPN"}}, "OpenVPN", 0, 0},
        CloseCase{"WordEndingAtTheLastReadCharacter",
                  {{11, std::string(247, 'x') + "OpenVPN"}},
                  "OpenVPN",
                  1,
                  11},
        // The search runs over the numbered line, not the bare title.
        CloseCase{"LineNumberTakesPart", {{11, "a"}, {12, "b"}}, "[2]Title=b\n", 1, 12}),
    test::CaseName());

// A window that went away before the post: the result says so, and the walk does not go
// on to a later window.
TEST(CloseWindowByTitle, StopsAtTheFirstMatchEvenWhenItsPostFails) {
    FakePlatform fake;
    fake.ui.windows = {{0, "OpenVPN"}, {12, "OpenVPN"}};
    EXPECT_EQ(CloseWindowByTitle(fake.ui, "OpenVPN"), 0);
    ASSERT_EQ(fake.ui.posted.size(), 1u);
    EXPECT_EQ(fake.ui.posted[0].window, 0u);
}

class MessagePageTest : public ::testing::Test {
  protected:
    test::ScopedWorkDir dir;
    FakePlatform fake;
};

TEST_F(MessagePageTest, EmptyBodyGivesTheBlankPageWhateverWasThere) {
    fake.files.WriteNew("msg.html", std::string(4000, 'z'));
    EXPECT_EQ(WriteMessagePage(fake.files, fake.trace, "msg.html", ""), 1);
    const std::string page = fake.files.ReadAll("msg.html").value_or("<missing>");
    EXPECT_EQ(page, "<HTML><BODY menubar=no, scroll=no></BODY></HTML>");
    EXPECT_EQ(page.size(), 48u);
    EXPECT_TRUE(fake.TraceLines().empty());
}

TEST_F(MessagePageTest, BodyIsWrittenUnchanged) {
    EXPECT_EQ(WriteMessagePage(fake.files, fake.trace, "msg.html", "<b>a & b</b>\n"), 1);
    EXPECT_EQ(fake.files.ReadAll("msg.html").value_or(""),
              "<HTML><BODY menubar=no, scroll=no><b>a & b</b>\n</BODY></HTML>");
}

TEST_F(MessagePageTest, OpenFailureIsTracedAndLeavesTheOldPage) {
    fake.files.WriteNew("msg.html", "old");
    fake.files.failCreate["msg.html"] = platform::kErrorAccessDenied;
    EXPECT_EQ(WriteMessagePage(fake.files, fake.trace, "msg.html", ""), 0);
    EXPECT_EQ(fake.TraceLines(), std::vector<std::string>{"Can't open file msg.html, error = 5\n"});
    EXPECT_EQ(fake.files.ReadAll("msg.html").value_or(""), "old");
}

}  // namespace
}  // namespace kestrun
