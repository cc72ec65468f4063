// SPDX-License-Identifier: MIT
#include "sampling/fixed_point.h"

#include <gtest/gtest.h>

#include <limits>

namespace kelvora {
namespace {

TEST(FixedPointTest, FromDoubleRoundsHalvesToEvenAndSaturates) {
    // Binary fractions where halves must be exact.
    const struct {
        double value;
        std::int64_t expected;
    } cases[] = {
        {0.03125, 312}, // 312.5 ten-thousandths
        {0.09375, 938}, // 937.5
        {-0.03125, -312},
        {42.49994, 424'999},
        {42.49996, 425'000},
        {9.2e14, 9'200'000'000'000'000'000},
        {1e300, std::numeric_limits<std::int64_t>::max()},
        {-1e300, std::numeric_limits<std::int64_t>::min()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fixed::fromDouble(c.value), c.expected) << c.value;
    }
}

} // namespace
} // namespace kelvora
