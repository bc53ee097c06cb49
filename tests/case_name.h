#pragma once

#include <gtest/gtest.h>

#include <string>

// Names each case of a parameterised suite by its `name` member, so that
// ctest lists it, and re-runs it, by the same readable name in every build:
// INSTANTIATE_TEST_SUITE_P(Prefix, Suite, testing::ValuesIn(kCases), CaseName());
struct CaseName {
    template <typename Case>
    std::string operator()(const testing::TestParamInfo<Case>& info) const
    {
        return info.param.name;
    }
};
