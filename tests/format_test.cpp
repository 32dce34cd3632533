#include "platform/format.h"

#include <gtest/gtest.h>

namespace kestrun {
namespace {

TEST(FormatTest, LongOutputIsNotCut) {
    const std::string long_value(10000, 'x');
    EXPECT_EQ(Format("[%s]", long_value.c_str()).size(), 10002u);
    EXPECT_EQ(Format("%-15s\t", "10.0.0.1"), "10.0.0.1       \t");
}

}  // namespace
}  // namespace kestrun
