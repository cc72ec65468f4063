// SPDX-License-Identifier: MIT
#include "meter/readouts.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace kelvora {
namespace {

const UnitState kGigabytes{.counter = 3, .pattern = "0.00 GB", .divisor = 1073741824};
const UnitState kBytes{.counter = 0, .pattern = "### ### ### ##0 B", .divisor = 1};

struct ReadoutRow {
    const char* prefix;
    double figure;
    UnitState unit;
    double share;
    const char* separator;
    const char* expected;
};

// One buffer in turn, as a row's ticks use it: the text never keeps a
// remnant of a longer one before it.
TEST(ReadoutsTest, ComposesPrefixFigureInItsUnitAndShare) {
    const ReadoutRow rows[] = {
        {"Free: ", 13'250'000'000, kGigabytes, 0.25, ".", "Free: 12.34 GB (25.0%)"},
        {"Wolne: ", 13'250'000'000, kGigabytes, 0.25, ",", "Wolne: 12,34 GB (25,0%)"},
        {"Used: ", 0, kGigabytes, 0, ".", "Used: 0.00 GB (0.0%)"},
        {"Used: ", 1'048'576, kBytes, 1, ".", "Used:  1 048 576 B (100.0%)"},
        {"Zajęte: ", 512, kBytes, 0.0005, ",", "Zajęte:    512 B (0,1%)"},
    };
    TickText readout;
    for (const ReadoutRow& row : rows) {
        EXPECT_TRUE(
            composeReadout(readout, row.prefix, row.figure, row.unit, row.share, row.separator));
        EXPECT_EQ(readout.text(), QString::fromUtf8(row.expected));
    }
}

TEST(ReadoutsTest, AStoredDivisorOfZeroAbandonsTheTick) {
    TickText readout;
    const UnitState zero{.counter = 3, .pattern = "0.00 GB", .divisor = 0};
    EXPECT_FALSE(composeReadout(readout, "Free: ", 1, zero, 0.5, "."));
    EXPECT_FALSE(divide(1, 0).has_value());
    EXPECT_EQ(divide(1, 4), 0.25);
}

TEST(ReadoutsTest, StripCaptionRepeatsTheReadoutBehindItsPrefix) {
    TickText readout;
    TickText caption;
    composeReadout(readout, "Wolne: ", 13'250'000'000, kGigabytes, 0.25, ",");
    EXPECT_EQ(composeStripCaption(caption, "HDD  ", readout),
              QString::fromUtf8("HDD  Wolne: 12,34 GB (25,0%)"));
}

TEST(ReadoutsTest, LoadsAreWholePercentagesOfA16BitReading) {
    struct Row {
        std::int32_t reading;
        std::int16_t shown;
        const char* text;
    };
    const Row rows[] = {
        {0, 0, "Used: 0%"},
        {100, 100, "Used: 100%"},
        {-1, -1, "Used: -1%"},
        {40'000, 32'767, "Used: 32767%"},
        {-40'000, -32'768, "Used: -32768%"},
    };
    TickText readout;
    for (const Row& row : rows) {
        const std::int16_t load = loadReading(row.reading);
        EXPECT_EQ(load, row.shown) << row.reading;
        EXPECT_EQ(composeLoad(readout, "Used: ", load), QString::fromUtf8(row.text));
    }
}

} // namespace
} // namespace kelvora
