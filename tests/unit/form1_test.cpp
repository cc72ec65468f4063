// SPDX-License-Identifier: MIT
// Loading and closing of the main window.

#include "form1_fixture.h"

#include <functional>

using namespace kelvora;

TEST_F(Form1Test, EmptyStoreLoadsEveryDefault) {
    Form1& window = open();
    EXPECT_EQ(window.pos(), QPoint(0, 0));
    EXPECT_EQ(window.size(), QSize(449, 113));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("System resources monitor"));
    EXPECT_EQ(control<QComboBox>("Interval").currentText(), QStringLiteral("100 ms"));
    EXPECT_TRUE(timer("AutoRF").isActive());
    EXPECT_EQ(timer("AutoRF").interval(), 100);
    EXPECT_EQ(timer("CpuRef").interval(), 500);
    EXPECT_FALSE(control<QCheckBox>("AoT").isChecked());
    EXPECT_EQ(control<QComboBox>("DYSK").currentIndex(), 1);
    EXPECT_EQ(window.driveUnit().counter, 3);
    EXPECT_EQ(window.driveUnit().pattern, "0.00 GB");
    EXPECT_EQ(window.driveUnit().divisor, 1073741824);
    EXPECT_EQ(window.memoryUnit().counter, 2);
    EXPECT_EQ(window.memoryUnit().pattern, "0.00 MB");
    EXPECT_EQ(window.memoryUnit().divisor, 1048576);
    EXPECT_EQ(control<Bar>("DDX").fillColour(), QColor(222, 0, 0));
    EXPECT_EQ(control<Bar>("MDX").fillColour(), QColor(0, 222, 0));
    EXPECT_EQ(control<Bar>("PDX").fillColour(), QColor(0, 0, 222));
    EXPECT_DOUBLE_EQ(window.windowOpacity(), 1.0);
    // The CPU row waits for its first tick; the others are live at once.
    EXPECT_EQ(caption("pUsed"), QStringLiteral("pUsed"));
    EXPECT_EQ(control("PDX").width(), 125);
    EXPECT_EQ(caption("dFree"), QStringLiteral("Free: 12.34 GB (25.0%)"));
    EXPECT_DOUBLE_EQ(window.outerHeightTwips(), 2145);
    EXPECT_TRUE(store.values.isEmpty());
}

TEST_F(Form1Test, ReadsTheKeysInLoadingOrder) {
    open();
    const QStringList expected = {
        "Left",      "Top",       "interval",   "AoT",  "HDDNumber", "HDDFormat", "HDDCounter",
        "RAMNumber", "RAMFormat", "RAMCounter", "Dysk", "R1",        "G1",        "B1",
        "R2",        "G2",        "B2",         "R3",   "G3",        "B3",        "Alpha"};
    EXPECT_EQ(store.reads.mid(0, expected.size()), expected);
}

struct LoadCase {
    const char* name;
    std::vector<std::pair<Key, const char*>> stored;
    int expectedDrive;
    std::function<void(Form1Test&)> check;
};

class Form1LoadTest : public Form1Test, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(Form1LoadTest, AppliesOrFallsBack) {
    for (const auto& [key, text] : GetParam().stored)
        store.set(key, QString::fromUtf8(text));
    open();
    EXPECT_EQ(control<QComboBox>("DYSK").currentIndex(), GetParam().expectedDrive);
    if (GetParam().check)
        GetParam().check(*this);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Form1LoadTest,
    ::testing::Values(
        LoadCase{"stored drive 2", {{Key::Dysk, "2"}}, 2, {}},
        // A failure before the drive step is overruled by the stored drive.
        LoadCase{"failure before the drive step", {{Key::AoT, "x"}, {Key::Dysk, "2"}}, 2, {}},
        LoadCase{"stored drive 0 reads as 1",
                 {{Key::Dysk, "0"}},
                 1,
                 [](Form1Test& t) { EXPECT_EQ(t.caption("Stat0"), QStringLiteral("HDD")); }},
        LoadCase{"drive index beyond the list", {{Key::Dysk, "7"}}, 1, {}},
        LoadCase{"drive index not a number", {{Key::Dysk, "two"}}, 1, {}},
        LoadCase{"interval 6 stops the refresh",
                 {{Key::Interval, "6"}, {Key::Dysk, "2"}},
                 2,
                 [](Form1Test& t) {
                     EXPECT_EQ(t.control<QComboBox>("Interval").currentText(),
                               QStringLiteral("Wyłączone"));
                     EXPECT_FALSE(t.timer("AutoRF").isActive());
                     // Loading's own tick still filled the readouts.
                     EXPECT_EQ(t.caption("dFree"), QStringLiteral("Free: 12.34 GB (25.0%)"));
                 }},
        LoadCase{"interval 9 leaves no selection",
                 {{Key::Interval, "9"}, {Key::Dysk, "2"}},
                 2,
                 [](Form1Test& t) {
                     EXPECT_EQ(t.control<QComboBox>("Interval").currentIndex(), -1);
                     EXPECT_TRUE(t.timer("AutoRF").isActive());
                     EXPECT_EQ(t.timer("AutoRF").interval(), 1);
                 }},
        LoadCase{"alpha 300 is not a byte",
                 {{Key::Alpha, "300"}, {Key::Dysk, "2"}},
                 1,
                 [](Form1Test& t) { EXPECT_DOUBLE_EQ(t.form->windowOpacity(), 1.0); }},
        LoadCase{"alpha 128",
                 {{Key::Alpha, "128"}, {Key::Dysk, "2"}},
                 2,
                 [](Form1Test& t) { EXPECT_NEAR(t.form->windowOpacity(), 128 / 255.0, 0.01); }},
        LoadCase{
            "R1 abc keeps the default colour",
            {{Key::R1, "abc"}, {Key::Dysk, "2"}},
            1,
            [](Form1Test& t) { EXPECT_EQ(t.control<Bar>("DDX").fillColour(), QColor(222, 0, 0)); }},
        LoadCase{
            "stored colours",
            {{Key::R2, "1"}, {Key::G2, "2"}, {Key::B2, "3"}},
            1,
            [](Form1Test& t) { EXPECT_EQ(t.control<Bar>("MDX").fillColour(), QColor(1, 2, 3)); }},
        LoadCase{"fractional left",
                 {{Key::Left, "1507.5"}, {Key::Top, "3000"}, {Key::Dysk, "2"}},
                 2,
                 [](Form1Test& t) { EXPECT_EQ(t.form->pos(), QPoint(101, 200)); }},
        LoadCase{"a position beyond 16 bits lands at the nearest edge",
                 {{Key::Left, "1e30"}, {Key::Top, "-1e30"}, {Key::Dysk, "2"}},
                 2,
                 [](Form1Test& t) { EXPECT_EQ(t.form->pos(), QPoint(32767, -32768)); }},
        LoadCase{"left not a number",
                 {{Key::Left, "12px"}, {Key::Dysk, "2"}},
                 2,
                 [](Form1Test& t) { EXPECT_EQ(t.form->pos().x(), 0); }},
        LoadCase{"always on top",
                 {{Key::AoT, "1"}},
                 1,
                 [](Form1Test& t) {
                     EXPECT_TRUE(t.control<QCheckBox>("AoT").isChecked());
                     // Put into the band once mapped, not before.
                     t.form->show();
                     ASSERT_TRUE(QTest::qWaitForWindowExposed(t.form.get()));
                     EXPECT_TRUE(t.form->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
                 }},
        LoadCase{
            "stored units",
            {{Key::HDDCounter, "0"}, {Key::HDDFormat, "### ### ### ##0 B"}, {Key::HDDNumber, "1"}},
            1,
            [](Form1Test& t) {
                EXPECT_EQ(t.caption("dFree"), QStringLiteral("Free: 13 250 000 000 B (25.0%)"));
            }},
        LoadCase{"divisor out of range",
                 {{Key::HDDNumber, "4294967296"}, {Key::Dysk, "2"}},
                 2,
                 [](Form1Test& t) { EXPECT_EQ(t.form->driveUnit().divisor, 1073741824); }}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST_F(Form1Test, ClosingWritesElevenKeysInOrderAndNoColour) {
    store.set(Key::Left, QStringLiteral("1500"));
    store.set(Key::Top, QStringLiteral("3000"));
    store.set(Key::RAMCounter, QStringLiteral("-1"));
    open().close();
    const QStringList expected = {"Left",      "Top",       "interval",  "AoT",
                                  "Dysk",      "HDDNumber", "HDDFormat", "HDDCounter",
                                  "RAMNumber", "RAMFormat", "RAMCounter"};
    EXPECT_EQ(store.saves, expected);
    EXPECT_EQ(store.flushes, 1);
    EXPECT_EQ(store.value(Key::Left), QStringLiteral("1500"));
    EXPECT_EQ(store.value(Key::Top), QStringLiteral("3000"));
    EXPECT_EQ(store.value(Key::Interval), QStringLiteral("2"));
    EXPECT_EQ(store.value(Key::AoT), QStringLiteral("0"));
    EXPECT_EQ(store.value(Key::Dysk), QStringLiteral("1"));
    EXPECT_EQ(store.value(Key::HDDFormat), QStringLiteral("0.00 GB"));
    EXPECT_EQ(store.value(Key::RAMCounter), QStringLiteral("-1"));
    EXPECT_TRUE(store.value(Key::R1).isNull());
    EXPECT_TRUE(store.value(Key::Alpha).isNull());
}

TEST_F(Form1Test, UnfoldedWindowClosesAndStartsFolded) {
    open();
    QTest::mouseClick(&control("Config"), Qt::LeftButton);
    for (int i = 0; i < 12; ++i)
        fire("Rozwin");
    EXPECT_GT(form->outerHeightTwips(), 2550);
    form->close();
    open();
    EXPECT_DOUBLE_EQ(form->outerHeightTwips(), 2145);
}
