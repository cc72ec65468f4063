// SPDX-License-Identifier: MIT
// What each program shows in its own language.

#include "form1_fixture.h"
#include "texts/shared_texts.h"

#include <QPushButton>

#include <string_view>

using namespace kelvora;

namespace {

const char* Texts::*const kTextFields[] = {
    &Texts::programTitle,    &Texts::version,          &Texts::mainCaption,
    &Texts::options,         &Texts::driveListCaption, &Texts::alwaysOnTop,
    &Texts::colorsButtonTip, &Texts::freePrefix,       &Texts::usedPrefix,
    &Texts::colorsCaption,   &Texts::driveFrame,       &Texts::memoryFrame,
    &Texts::cpuFrame,        &Texts::alphaCaption,     &Texts::driveUsedName,
    &Texts::driveFreeName,   &Texts::memoryUsedName,   &Texts::memoryFreeName,
    &Texts::cpuLoadName,     &Texts::cpuFreeName,      &Texts::colorsButtonName,
    &Texts::redName,         &Texts::greenName,        &Texts::blueName,
};

int Texts::*const kSizeFields[] = {
    &Texts::alwaysOnTopHeight,     &Texts::optionsWidth,     &Texts::driveListCaptionLeft,
    &Texts::driveListCaptionWidth, &Texts::alphaCaptionLeft, &Texts::alphaCaptionWidth,
};

} // namespace

// Every text differs between the builds: a text one program forgot to
// translate would show the other's language.
TEST(Texts, BothSetsAreCompleteAndShareNoText) {
    for (const auto field : kTextFields) {
        const std::string_view english = englishTexts().*field;
        const std::string_view polish = polishTexts().*field;
        EXPECT_FALSE(english.empty());
        EXPECT_FALSE(polish.empty());
        EXPECT_NE(english, polish);
    }
    for (const auto field : kSizeFields) {
        EXPECT_GT(englishTexts().*field, 0);
        EXPECT_GT(polishTexts().*field, 0);
    }
}

struct BuildCase {
    const char* name;
    const Texts& (*texts)();
    const char* title;
    const char* options;
    const char* driveList;
    const char* alwaysOnTop;
    const char* colorsTip;
    const char* freeReadout;
    const char* version;
};

class BuildTextsTest : public Form1Test, public ::testing::WithParamInterface<BuildCase> {};

TEST_P(BuildTextsTest, TheMainWindowShowsTheTextsOfItsBuild) {
    const BuildCase& build = GetParam();
    open(build.texts());
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8(build.title));
    EXPECT_EQ(caption("Config"), QString::fromUtf8(build.options));
    EXPECT_EQ(caption("Label1"), QString::fromUtf8(build.options));
    EXPECT_EQ(caption("Stat4"), QString::fromUtf8(build.driveList));
    EXPECT_EQ(control<QCheckBox>("AoT").text(), QString::fromUtf8(build.alwaysOnTop));
    EXPECT_EQ(control("LoadColors").toolTip(), QString::fromUtf8(build.colorsTip));
    EXPECT_EQ(caption("dFree"), QString::fromUtf8(build.freeReadout));
    EXPECT_STREQ(build.texts().version, build.version);
    // Texts both programs show alike.
    EXPECT_EQ(caption("Stat3"), QStringLiteral("Interval"));
    EXPECT_EQ(control<QComboBox>("Interval").itemText(6), QStringLiteral("Wyłączone"));
    EXPECT_EQ(control("DDX").toolTip(), QStringLiteral("Kliknij, aby zmienić jednostkę"));
}

INSTANTIATE_TEST_SUITE_P(
    Builds, BuildTextsTest,
    ::testing::Values(BuildCase{"English", &englishTexts, "System resources monitor", "Options...",
                                "Drive", "Always on top", "Colors config...",
                                "Free: 12.34 GB (25.0%)", "1.04.0026"},
                      BuildCase{"Polish", &polishTexts, "Kelvora zasobów systemowych", "OPCJE...",
                                "Dysk", "Zawsze na wierzchu", "Konfiguracja kolorów",
                                "Wolne: 12.34 GB (25.0%)", "1.04.0023"}),
    [](const auto& info) { return std::string(info.param.name); });
