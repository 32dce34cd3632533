#include "status/about_dialog.h"

#include <gtest/gtest.h>

#include "tests/support/case_name.h"

#include "res/resource.h"
#include "tests/fakes/fake_dialog_host.h"

namespace kestrun {
namespace {

using platform::fake::FakeDialogFactory;
using platform::fake::FakeDialogHost;
using platform::fake::Journal;

TEST(AboutDialogTest, OpensModallyFromItsTemplateAndShowsTheVersion) {
    Journal journal;
    FakeDialogHost host(journal);
    host.texts[IDC_ABOUT_VERSION] = "left over";
    std::string shown;
    host.whileModal = [&](FakeDialogHost& running) {
        shown = running.GetItemText(IDC_ABOUT_VERSION);
    };
    CAboutDlg dialog(host);
    EXPECT_TRUE(dialog.Version().empty());

    dialog.DoModal(0x77);

    EXPECT_EQ(host.createdFrom, IDD_ABOUTBOX);
    EXPECT_TRUE(host.modal);
    EXPECT_EQ(host.parent, 0x77u);
    EXPECT_EQ(shown, "1.00");
    EXPECT_EQ(dialog.Version(), "1.00");
}

TEST(AboutDialogTest, InitialisationShowsEmptyFieldThenReadsBackThenWritesVersion) {
    Journal journal;
    FakeDialogHost host(journal);
    CAboutDlg dialog(host);
    host.whileModal = [](FakeDialogHost&) {};
    dialog.DoModal(0);
    // The default set-up shows the empty field first, then the version is written.
    EXPECT_EQ(journal.Of("host", "SetItemText"), (std::vector<std::string>{"1017 ", "1017 1.00"}));
}

struct CloseCase {
    const char* name;
    platform::Msg msg;
    std::intptr_t result;
};
KESTRUN_PRINTS_CASE_NAME(CloseCase)

class AboutDialogCloseTest : public testing::TestWithParam<CloseCase> {};

TEST_P(AboutDialogCloseTest, EndsTheModalWindow) {
    Journal journal;
    FakeDialogHost host(journal);
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
    Journal journal;
    FakeDialogHost host(journal);
    CAboutDlg dialog(host);
    host.whileModal = [](FakeDialogHost& running) {
        running.texts[IDC_ABOUT_VERSION] = "2.00";
        running.Deliver(CommandMsg(platform::kIdOk));
    };
    EXPECT_EQ(dialog.DoModal(0), platform::kIdOk);
    EXPECT_EQ(dialog.Version(), "2.00");
}

TEST(AboutDialogTest, EscapeLeavesTheFieldAlone) {
    Journal journal;
    FakeDialogHost host(journal);
    CAboutDlg dialog(host);
    host.whileModal = [](FakeDialogHost& running) {
        running.texts[IDC_ABOUT_VERSION] = "2.00";
        running.Deliver(CommandMsg(platform::kIdCancel));
    };
    EXPECT_EQ(dialog.DoModal(0), platform::kIdCancel);
    EXPECT_EQ(dialog.Version(), "1.00");
}

TEST(AboutDialogTest, EveryAboutCommandOpensAFurtherWindow) {
    Journal journal;
    FakeDialogFactory factory(journal);
    for (int i = 0; i < 2; ++i) {
        auto host = factory.NewHost();
        CAboutDlg dialog(*host);
        dialog.DoModal(0);
    }
    EXPECT_EQ(journal.Of("dialogs", "RunModal"),
              std::vector<std::string>(2, std::to_string(IDD_ABOUTBOX)));
}

TEST(AboutDialogTest, FailedCreationReportsMinusOne) {
    Journal journal;
    FakeDialogHost host(journal);
    host.failCreate = true;
    CAboutDlg dialog(host);
    EXPECT_EQ(dialog.DoModal(0), -1);
    EXPECT_TRUE(dialog.Version().empty());
}

}  // namespace
}  // namespace kestrun
