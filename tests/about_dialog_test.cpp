#include "status/about_dialog.h"

#include <gtest/gtest.h>

#include "tests/support/case_name.h"

#include "res/resource.h"
#include "tests/fakes/fake_dialog_host.h"

namespace kestrun {
namespace {

using platform::fake::FakeDialogFactory;
using platform::fake::FakeDialogHost;

TEST(AboutDialogTest, OpensModallyFromItsTemplateAndShowsTheVersion) {
    FakeDialogHost host;
    host.texts[IDC_ABOUT_VERSION] = "left over";
    std::string shown;
    host.whileModal = [&](FakeDialogHost& running) {
        shown = running.GetItemText(IDC_ABOUT_VERSION);
    };
    CAboutDlg dialog(host);
    EXPECT_TRUE(dialog.m_strVersion.empty());

    dialog.DoModal(0x77);

    EXPECT_EQ(host.createdFrom, IDD_ABOUTBOX);
    EXPECT_TRUE(host.modal);
    EXPECT_EQ(host.parent, 0x77u);
    EXPECT_EQ(shown, "1.00");
    EXPECT_EQ(dialog.m_strVersion, "1.00");
}

TEST(AboutDialogTest, InitialisationShowsEmptyFieldThenReadsBackThenWritesVersion) {
    FakeDialogHost host;
    CAboutDlg dialog(host);
    host.whileModal = [](FakeDialogHost&) {};
    dialog.DoModal(0);
    // The default set-up shows the empty field first, then the version is written.
    std::vector<std::string> writes;
    for (const std::string& line : host.log) {
        if (line.rfind("SetItemText", 0) == 0) {
            writes.push_back(line);
        }
    }
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0], "SetItemText 1017 ");
    EXPECT_EQ(writes[1], "SetItemText 1017 1.00");
}

struct CloseCase {
    const char* name;
    platform::Msg msg;
    std::intptr_t result;
};
KESTRUN_PRINTS_CASE_NAME(CloseCase)

class AboutDialogCloseTest : public testing::TestWithParam<CloseCase> {};

TEST_P(AboutDialogCloseTest, EndsTheModalWindow) {
    FakeDialogHost host;
    CAboutDlg dialog(host);
    host.whileModal = [](FakeDialogHost& running) { running.Deliver(GetParam().msg); };
    EXPECT_EQ(dialog.DoModal(0), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, AboutDialogCloseTest,
    testing::Values(CloseCase{"CloseButton", CommandMsg(platform::kIdOk), platform::kIdOk},
                    CloseCase{"Escape", CommandMsg(platform::kIdCancel), platform::kIdCancel},
                    CloseCase{"CloseBox", platform::Msg{platform::kWmClose, 0, 0},
                              platform::kIdCancel}),
    test::CaseName());

TEST(AboutDialogTest, CloseButtonReadsTheControlBackIntoTheField) {
    FakeDialogHost host;
    CAboutDlg dialog(host);
    host.whileModal = [](FakeDialogHost& running) {
        running.texts[IDC_ABOUT_VERSION] = "2.00";
        running.Deliver(CommandMsg(platform::kIdOk));
    };
    EXPECT_EQ(dialog.DoModal(0), platform::kIdOk);
    EXPECT_EQ(dialog.m_strVersion, "2.00");
}

TEST(AboutDialogTest, EscapeLeavesTheFieldAlone) {
    FakeDialogHost host;
    CAboutDlg dialog(host);
    host.whileModal = [](FakeDialogHost& running) {
        running.texts[IDC_ABOUT_VERSION] = "2.00";
        running.Deliver(CommandMsg(platform::kIdCancel));
    };
    EXPECT_EQ(dialog.DoModal(0), platform::kIdCancel);
    EXPECT_EQ(dialog.m_strVersion, "1.00");
}

TEST(AboutDialogTest, EveryAboutCommandOpensAFurtherWindow) {
    FakeDialogFactory factory;
    for (int i = 0; i < 2; ++i) {
        auto host = factory.NewHost();
        CAboutDlg dialog(*host);
        dialog.DoModal(0);
    }
    EXPECT_EQ(factory.modalRuns, (std::vector<int>{IDD_ABOUTBOX, IDD_ABOUTBOX}));
}

TEST(AboutDialogTest, FailedCreationReportsMinusOne) {
    FakeDialogHost host;
    host.failCreate = true;
    CAboutDlg dialog(host);
    EXPECT_EQ(dialog.DoModal(0), -1);
    EXPECT_TRUE(dialog.m_strVersion.empty());
}

}  // namespace
}  // namespace kestrun
