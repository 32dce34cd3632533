#include "app/main_window_paint.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window_message.h"
#include "tests/fakes/fake_dialog_host.h"
#include "tests/fakes/fake_painting.h"

namespace kestrun {
namespace {

using platform::Msg;
using platform::fake::FakeDialogHost;
using platform::fake::FakePainting;
using platform::fake::Journal;

constexpr platform::WindowRef kWindow = 0x1000;
constexpr platform::GdiRef kIcon = 0x133;
constexpr platform::GdiRef kDialogFont = 0xF0;
constexpr platform::GdiRef kBrush = 0xBB;
constexpr platform::DcRef kControlDc = 0xDC;

TEST(MainWindowPaintTest, DrawsTheBackgroundPicture) {
    Journal journal;
    FakePainting painting(journal);
    PaintMainWindow(painting, kWindow, kIcon);
    EXPECT_EQ(
        journal.Of("painting"),
        (std::vector<std::string>{"BeginPaint 0x1000", "DrawBitmap 134 0 0 500 438", "EndPaint"}));
}

TEST(MainWindowPaintTest, MinimisedDrawsTheIconCentred) {
    Journal journal;
    FakePainting painting(journal);
    painting.iconic = true;
    painting.clientWidth = 161;
    painting.clientHeight = 40;
    PaintMainWindow(painting, kWindow, kIcon);
    EXPECT_EQ(journal.Of("painting"),
              (std::vector<std::string>{"BeginPaint 0x1000", "DrawBitmap 134 0 0 500 438",
                                        "EraseIconBackground", "DrawIcon 65 4 0x133", "EndPaint"}));
}

class MainWindowCtlColorTest : public testing::Test {
  protected:
    MainWindowCtlColorTest() { painting.fontHeights[kDialogFont] = -12; }
    platform::MsgResult Ask(std::uint32_t message, int controlId,
                            platform::GdiRef font = kDialogFont) {
        return MainWindowCtlColor(
            painting, host,
            Msg{message, kControlDc, static_cast<std::intptr_t>(host.Item(controlId))}, font,
            kBrush);
    }
    Journal journal;
    FakePainting painting{journal};
    FakeDialogHost host{journal};
};

TEST_F(MainWindowCtlColorTest, StatusLineIsBoldOnTheWarmBrush) {
    auto result = Ask(platform::kWmCtlColorStatic, 1004);
    EXPECT_TRUE(result.handled);
    EXPECT_EQ(result.value, static_cast<std::intptr_t>(kBrush));
    ASSERT_EQ(painting.boldFonts.size(), 1u);
    EXPECT_EQ(painting.boldFonts.begin()->first, std::make_pair(kDialogFont, 16));
    EXPECT_EQ(journal.Of("painting"),
              (std::vector<std::string>{"SelectFont 0xdc 0xb001", "SetTransparent 0xdc"}));
}

TEST_F(MainWindowCtlColorTest, OneBoldFontServesEveryDrawing) {
    for (int i = 0; i < 5; ++i) {
        Ask(platform::kWmCtlColorStatic, 1004);
    }
    EXPECT_EQ(painting.fontsCreated, 1);
}

TEST_F(MainWindowCtlColorTest, WithoutDialogFontTheStatusLineKeepsItsFont) {
    auto result = Ask(platform::kWmCtlColorStatic, 1004, 0);
    EXPECT_TRUE(result.handled);
    EXPECT_EQ(journal.Of("painting"), (std::vector<std::string>{"SetTransparent 0xdc"}));
}

TEST_F(MainWindowCtlColorTest, LabelsAndButtonsAreTransparentOnTheWarmBrush) {
    for (auto [message, id] :
         {std::pair{platform::kWmCtlColorStatic, -1}, std::pair{platform::kWmCtlColorBtn, 1002}}) {
        journal.Clear();
        auto result = Ask(message, id);
        EXPECT_TRUE(result.handled);
        EXPECT_EQ(result.value, static_cast<std::intptr_t>(kBrush));
        EXPECT_EQ(journal.Of("painting"), (std::vector<std::string>{"SetTransparent 0xdc"}));
    }
    EXPECT_EQ(painting.fontsCreated, 0);
}

TEST_F(MainWindowCtlColorTest, EditFieldAndDialogKeepTheDefaults) {
    for (std::uint32_t message :
         {platform::kWmCtlColorEdit, platform::kWmCtlColorListBox, platform::kWmCtlColorDlg}) {
        EXPECT_FALSE(Ask(message, 1000).handled);
    }
    EXPECT_TRUE(journal.Of("painting").empty());
}

}  // namespace
}  // namespace kestrun
