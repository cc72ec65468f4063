// SPDX-License-Identifier: MIT
#include "meter/tick_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvora {
namespace {

// One buffer composes a row's readouts in turn, as the ticks do: longer,
// shorter, non-ASCII prefixes and separators, and nothing at all.
TEST(TickTextTest, EachTextMatchesItsUtf8AndLeavesEarlierCopiesAlone) {
    const std::vector<std::string> readouts = {
        "Free: 12.50 GB (45.0%)",
        "Wolne: 1 234,56 MB (3,1%)",
        "U\u017cyte: 7%",
        "Free: 1\u066b5 GB (0\u066b0%)",
        "",
        "Free: 1 048 576 B (100.0%)",
    };
    TickText readout;
    QString shown; // what a label holds from the tick before
    std::string shownUtf8;
    for (const std::string& utf8 : readouts) {
        readout.restart() += utf8;
        EXPECT_EQ(readout.utf8(), utf8);
        EXPECT_EQ(readout.text(), QString::fromStdString(utf8));
        EXPECT_EQ(shown, QString::fromStdString(shownUtf8)) << "after composing " << utf8;
        shown = readout.text();
        shownUtf8 = utf8;
    }
}

} // namespace
} // namespace kelvora
