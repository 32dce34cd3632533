// Parameterised tests name and print each case after its `name` member, so a failure says
// which case it was.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace kestrun::test {

struct CaseName {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& param) const {
        return std::string(param.param.name);
    }
};

}  // namespace kestrun::test

// Declares PrintTo for a case struct beside it, where GoogleTest looks for it.
#define KESTRUN_PRINTS_CASE_NAME(Case)                               \
    [[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) { \
        *os << c.name;                                               \
    }
