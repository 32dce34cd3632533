#include "app/main_window_look.h"

#include <gtest/gtest.h>

#include "tests/support/case_name.h"

#include <string>

#include "platform/window_message.h"

namespace kestrun {
namespace {

struct ColourCase {
    const char* name;
    int controlId;
    std::uint32_t message;
    bool haveFont;
    bool bold;
    bool warm;
};
KESTRUN_PRINTS_CASE_NAME(ColourCase)

class CtlColorTest : public testing::TestWithParam<ColourCase> {};

TEST_P(CtlColorTest, ChoosesFontAndBackground) {
    const ColourCase& c = GetParam();
    const CtlColorChoice choice = ChooseCtlColor(c.controlId, CtlColorKind(c.message), c.haveFont);
    EXPECT_EQ(choice.boldFont, c.bold);
    EXPECT_EQ(choice.transparent, c.warm);
    EXPECT_EQ(choice.backgroundBrush, c.warm);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, CtlColorTest,
    testing::Values(
        ColourCase{"StatusLine", 1004, platform::kWmCtlColorStatic, true, true, true},
        ColourCase{"StatusLineWithoutFont", 1004, platform::kWmCtlColorStatic, false, false, true},
        ColourCase{"Label", -1, platform::kWmCtlColorStatic, true, false, true},
        ColourCase{"Button", 1002, platform::kWmCtlColorBtn, true, false, true},
        ColourCase{"AddressEdit", 1001, platform::kWmCtlColorEdit, true, false, false},
        ColourCase{"AddressList", 1000, platform::kWmCtlColorListBox, true, false, false},
        ColourCase{"DialogBackground", 0, platform::kWmCtlColorDlg, true, false, false},
        ColourCase{"ScrollBar", 0, platform::kWmCtlColorScrollBar, true, false, false},
        ColourCase{"MessageBox", 0, platform::kWmCtlColorMsgBox, true, false, false}),
    test::CaseName());

TEST(MainWindowLookTest, KindsFollowTheMessageNumbers) {
    EXPECT_EQ(CtlColorKind(platform::kWmCtlColorMsgBox), kCtlColorMsgBox);
    EXPECT_EQ(CtlColorKind(platform::kWmCtlColorBtn), kCtlColorBtn);
    EXPECT_EQ(CtlColorKind(platform::kWmCtlColorStatic), kCtlColorStatic);
    EXPECT_EQ(CtlColorKind(platform::kWmPaint), -1);
    EXPECT_EQ(CtlColorKind(platform::kWmCtlColorStatic + 1), -1);
}

TEST(MainWindowLookTest, BoldFontIsFourLargerThanTheDialogFontWhateverItsSign) {
    EXPECT_EQ(BoldFontHeight(-12), 16);  // character height, as templates give it
    EXPECT_EQ(BoldFontHeight(15), 19);   // cell height
    EXPECT_EQ(BoldFontHeight(0), 4);
}

TEST(MainWindowLookTest, IconIsCentredWithRoundingUp) {
    EXPECT_EQ(CentredIcon(160, 28, 32, 32).x, 64);
    EXPECT_EQ(CentredIcon(160, 28, 32, 32).y, -1);  // -3 / 2 toward zero
    EXPECT_EQ(CentredIcon(161, 33, 32, 32).x, 65);  // (161 - 32 + 1) / 2
    EXPECT_EQ(CentredIcon(161, 33, 32, 32).y, 1);
    EXPECT_EQ(CentredIcon(0, 0, 32, 32).x, -15);  // integer division toward zero
}

}  // namespace
}  // namespace kestrun
