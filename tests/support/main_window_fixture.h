// The main window's test fixture: the world of main_window_world.h under GoogleTest.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/main_window_world.h"

namespace kestrun::test {

class MainWindowFixture : public ::testing::Test, public MainWindowWorld {
  protected:
    void SetUp() override {}
    // Makes the window and runs its set-up.
    void Create() {
        Make();
        ASSERT_TRUE(dlg->Create());
    }
};

}  // namespace kestrun::test
