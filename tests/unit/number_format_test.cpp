// SPDX-License-Identifier: MIT
#include "format/number_format.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string_view>

namespace kelvora {
namespace {

struct Rendering {
    double value;
    std::string_view pattern;
    std::string_view separator;
    std::string_view expected;
};

std::ostream& operator<<(std::ostream& out, const Rendering& row) {
    return out << row.value << " with \"" << row.pattern << "\" and \"" << row.separator << "\"";
}

class FormatTest : public testing::TestWithParam<Rendering> {};

TEST_P(FormatTest, RendersExpectedText) {
    const Rendering& row = GetParam();
    EXPECT_EQ(Format(row.value, row.pattern, row.separator), row.expected);
}

// A readout is composed in one buffer: what is already there must stay.
TEST_P(FormatTest, AppendsAfterTextAlreadyThere) {
    const Rendering& row = GetParam();
    std::string text = "Zaj\u0119te: ";
    AppendFormat(text, row.value, row.pattern, row.separator);
    EXPECT_EQ(text, "Zaj\u0119te: " + std::string(row.expected));
}

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// clang-format off
constexpr Rendering patternsInUse[] = {
    {0,                    "### ### ### ##0 B", ".", "   0 B"},
    {567,                  "### ### ### ##0 B", ".", "   567 B"},
    {0x1p20,               "### ### ### ##0 B", ".", " 1 048 576 B"},
    {0x1p33,               "### ### ### ##0 B", ".", "8 589 934 592 B"},
    {0x1p40,               "### ### ### ##0 B", ".", "1099 511 627 776 B"},
    {0x1p60,               "### ### ### ##0 B", ".", "1152921504 606 846 976 B"},
    {0,                    "### ### ##0 KB",    ".", "  0 KB"},
    {1234.5,               "### ### ##0 KB",    ".", " 1 235 KB"},
    {0,                    "### ##0.00 MB",     ".", " 0.00 MB"},
    {768,                  "### ##0.00 MB",     ".", " 768.00 MB"},
    {1536.125,             "### ##0.00 MB",     ".", "1 536.13 MB"},
    {1023.999,             "### ##0.00 MB",     ".", "1 024.00 MB"},
    {0,                    "0.00 MB",           ".", "0.00 MB"},
    {768,                  "0.00 MB",           ".", "768.00 MB"},
    {0,                    "0.00 GB",           ".", "0.00 GB"},
    {12.34002,             "0.00 GB",           ".", "12.34 GB"},
    {12.34002,             "0.00 GB",           ",", "12,34 GB"},
    {1536.125,             "### ##0.00 MB",     ",", "1 536,13 MB"},
    {0,                    "0.0%",              ".", "0.0%"},
    {0.25,                 "0.0%",              ".", "25.0%"},
    {0.00049,              "0.0%",              ".", "0.0%"},
    {0.9995,               "0.0%",              ".", "100.0%"},
    {1,                    "0.0%",              ",", "100,0%"},
};

constexpr Rendering rounding[] = {
    {0.125,   "0.00", ".", "0.13"},
    {2.5,     "0",    ".", "3"},
    {0.5,     "0",    ".", "1"},
    {0.49,    "0",    ".", "0"},
    {9.5,     "0",    ".", "10"},
    {999.996, "0.00", ".", "1000.00"},
    {1.005,   "0.00", ".", "1.01"},
    {0.285,   "0%",   ".", "29%"},
    {-2.5,    "0",    ".", "-3"},
    {-0.125,  "0.00", ".", "-0.13"},
};

constexpr Rendering unusualInput[] = {
    {-5,      "### ##0",    ".", "- 5"},
    {-1234.5, "### ##0",    ".", "-1 235"},
    {-0.004,  "0.00",       ".", "0.00"},
    {-0.0,    "0",          ".", "0"},
    {-5e-324, "0.00",       ".", "0.00"},
    {5e-324,  "0.00",       ".", "0.00"},
    {1e22,    "0",          ".", "10000000000000000000000"},
    {1e22,    "0%",         ".", "1000000000000000000000000%"},
    {0.375,   "#.00",       ".", ".38"},
    {0.375,   "#",          ".", ""},
    {12.5,    ".00",        ".", "12.50"},
    {7,       "abc",        ".", "abc7"},
    {5,       "",           ".", "5"},
    {0,       "",           ".", ""},
    {1.5,     "0.0.0",      ".", "1.5.0"},
    {0.5,     "0%%",        ".", "50%%"},
    {1234,    "0-0",        ".", "123-4"},
    {1.5,     "0.0#",       ".", "1.50"},
    {3.5,     "0.0 \u00b5s", ".", "3.5 \u00b5s"},
    {2.25,    "0.00",       "",  "225"},
    {nan,     "0.00",       ".", "NaN"},
    {inf,     "0.00",       ".", "Inf"},
    {-inf,    "0.00",       ".", "-Inf"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(PatternsInUse, FormatTest, testing::ValuesIn(patternsInUse));
INSTANTIATE_TEST_SUITE_P(Rounding, FormatTest, testing::ValuesIn(rounding));
INSTANTIATE_TEST_SUITE_P(UnusualInput, FormatTest, testing::ValuesIn(unusualInput));

} // namespace
} // namespace kelvora
