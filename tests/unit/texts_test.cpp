#include "texts/shared_texts.h"
#include "texts/texts.h"

#include <gtest/gtest.h>

#include <string_view>

using namespace kelvora;

namespace {

struct Row {
    const char* where;
    const char* Texts::*field;
    const char* english;
    const char* polish;
};

const Row kRows[] = {
    {"program title", &Texts::programTitle, "Monitor", "Kelvora"},
    {"version", &Texts::version, "1.04.0026", "1.04.0023"},
    {"main caption", &Texts::mainCaption, "System resources monitor",
     "Kelvora zasobów systemowych"},
    {"options label", &Texts::options, "Options...", "OPCJE..."},
    {"drive list caption", &Texts::driveListCaption, "Drive", "Dysk"},
    {"always on top", &Texts::alwaysOnTop, "Always on top", "Zawsze na wierzchu"},
    {"colour button tip", &Texts::colorsButtonTip, "Colors config...", "Konfiguracja kolorów"},
    {"free prefix", &Texts::freePrefix, "Free: ", "Wolne: "},
    {"used prefix", &Texts::usedPrefix, "Used: ", "Zajęte: "},
    {"colour dialog caption", &Texts::colorsCaption, "Colors config...", "Ustamienia kolorów"},
    {"drive frame", &Texts::driveFrame, "HDD", "Dysk"},
    {"memory frame", &Texts::memoryFrame, "RAM", "Ram"},
    {"cpu frame", &Texts::cpuFrame, "CPU", "Procesor"},
    {"alpha caption", &Texts::alphaCaption, "Alpha (Transparency)", "Alpha (Przeźroczystość)"},
};

struct Size {
    const char* where;
    int Texts::*field;
    int english;
    int polish;
};

const Size kSizes[] = {
    {"AoT height", &Texts::alwaysOnTopHeight, 375, 315},
    {"Config width", &Texts::optionsWidth, 1095, 960},
    {"Stat(4) left", &Texts::driveListCaptionLeft, 2430, 2460},
    {"Stat(4) width", &Texts::driveListCaptionWidth, 450, 420},
    {"Stat(9) left", &Texts::alphaCaptionLeft, 2040, 1830},
    {"Stat(9) width", &Texts::alphaCaptionWidth, 1845, 2055},
};

} // namespace

TEST(Texts, BothSetsHoldEveryTextExactly) {
    for (const Row& row : kRows) {
        EXPECT_EQ(std::string_view(englishTexts().*row.field), row.english) << row.where;
        EXPECT_EQ(std::string_view(polishTexts().*row.field), row.polish) << row.where;
    }
    for (const Size& size : kSizes) {
        EXPECT_EQ(englishTexts().*size.field, size.english) << size.where;
        EXPECT_EQ(polishTexts().*size.field, size.polish) << size.where;
    }
}

TEST(Texts, IntervalEntriesEndWithTheStoppedEntry) {
    const char* expected[] = {"1 ms",    "10 ms",   "100 ms",   "500 ms",
                              "1000 ms", "2000 ms", "Wyłączone"};
    const int periods[] = {1, 10, 100, 500, 1000, 2000, 0};
    ASSERT_EQ(std::size(shared::kIntervals), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_STREQ(shared::kIntervals[i].text, expected[i]);
        EXPECT_EQ(shared::kIntervals[i].milliseconds, periods[i]);
    }
    EXPECT_STREQ(shared::kStripCpuPrefix, "CPU  ");
    EXPECT_STREQ(shared::kUnitTip, "Kliknij, aby zmienić jednostkę");
}
