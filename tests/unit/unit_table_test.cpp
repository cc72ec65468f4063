// SPDX-License-Identifier: MIT
#include "format/unit_table.h"

#include <gtest/gtest.h>

#include <ostream>

namespace kelvora {
namespace {

struct Steps {
    UnitState start;
    int clicks;
    UnitState expected;
    bool refreshOnLastClick;
};

std::ostream& operator<<(std::ostream& out, const UnitState& state) {
    return out << '{' << state.counter << ", \"" << state.pattern << "\", " << state.divisor << '}';
}

std::ostream& operator<<(std::ostream& out, const Steps& row) {
    return out << row.start << " after " << row.clicks << " click(s)";
}

class StepUnitTest : public testing::TestWithParam<Steps> {};

TEST_P(StepUnitTest, StepsThroughTheUnitTable) {
    const Steps& row = GetParam();
    UnitState state = row.start;
    bool refresh = false;
    for (int i = 0; i < row.clicks; ++i) {
        refresh = stepUnit(state);
    }
    EXPECT_EQ(state.counter, row.expected.counter);
    EXPECT_EQ(state.pattern, row.expected.pattern);
    EXPECT_EQ(state.divisor, row.expected.divisor);
    EXPECT_EQ(refresh, row.refreshOnLastClick);
}

// clang-format off
const Steps steps[] = {
    {{0, "### ### ### ##0 B", 1},          1, {1, "### ### ##0 KB", 1024},              true},
    {{1, "### ### ##0 KB", 1024},          1, {2, "### ##0.00 MB", 1048576},            true},
    {{2, "### ##0.00 MB", 1048576},        1, {3, "0.00 GB", 1073741824},               true},
    {{3, "0.00 GB", 1073741824},           1, {0, "### ### ### ##0 B", 1},              true},
    {{2, "0.00 MB", 1048576},              1, {3, "0.00 GB", 1073741824},               true},
    {{2, "0.00 MB", 1048576},              4, {2, "### ##0.00 MB", 1048576},            true},
    {{3, "0.00 GB", 1073741824},           4, {3, "0.00 GB", 1073741824},               true},
    {{-1, "0.00 GB", 1073741824},          1, {0, "### ### ### ##0 B", 1},              true},
    {{4, "0.00 GB", 1073741824},           1, {5, "0.00 GB", 1073741824},               false},
    {{7, "0.00 MB", 1048576},              1, {8, "0.00 MB", 1048576},                  false},
    {{-2, "0.00 MB", 1048576},             1, {-1, "0.00 MB", 1048576},                 false},
    {{32767, "0.00 MB", 1048576},          1, {-32768, "0.00 MB", 1048576},             false},
    {{-32768, "0.00 MB", 1048576},         1, {-32767, "0.00 MB", 1048576},             false},
    {{32767, "0.00 MB", 1048576},      32769, {0, "### ### ### ##0 B", 1},              true},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Clicks, StepUnitTest, testing::ValuesIn(steps));

} // namespace
} // namespace kelvora
