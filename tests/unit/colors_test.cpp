// SPDX-License-Identifier: MIT
// The colour dialog: what it shows on opening, what OK and Cancel leave
// behind, the live previews and its place in the main window's band.

#include "form1_fixture.h"

#include "colours/colors.h"

#include <QApplication>
#include <QGroupBox>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QWindow>

#include <cstdlib>
#include <functional>

using namespace kelvora;

namespace {

const char* const kColourSliders[3][3] = {
    {"R1", "G1", "B1"}, {"R2", "G2", "B2"}, {"R3", "G3", "B3"}};
const char* const kBars[3] = {"DDX", "MDX", "PDX"};
const QString kColours = QStringLiteral("Kolory");

double opacityOf(int alpha) {
    return alpha / 255.0;
}

} // namespace

class ColorsTest : public Form1Test {
public:
    // A dialog as the colour button makes it, but not run modally, so the
    // test can work it directly.
    std::unique_ptr<Colors> makeDialog(const Texts& texts = englishTexts(), bool onTop = false) {
        auto dialog = std::make_unique<Colors>(*form, texts, store, onTop);
        dialog->show();
        return dialog;
    }

    static QSlider& slider(const Colors& dialog, const char* name) {
        auto* found = dialog.findChild<QSlider*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return *found;
    }
    static QColor preview(const Colors& dialog, int set) {
        auto* found = dialog.findChild<Bar*>(QStringLiteral("P%1").arg(set + 1));
        EXPECT_NE(found, nullptr) << set;
        return found ? found->fillColour() : QColor();
    }
    // The colour the three sliders of a set stand for.
    static QColor slidersColour(const Colors& dialog, int set) {
        return QColor(slider(dialog, kColourSliders[set][0]).value(),
                      slider(dialog, kColourSliders[set][1]).value(),
                      slider(dialog, kColourSliders[set][2]).value());
    }
    static void click(const Colors& dialog, const char* button) {
        auto* found = dialog.findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(found, nullptr) << button;
        QTest::mouseClick(found, Qt::LeftButton);
    }

    void storeColours(const QList<QPair<const char*, const char*>>& values) {
        for (const auto& [key, value] : values)
            store.values.insert({kColours, QString::fromLatin1(key)}, QString::fromLatin1(value));
    }
    QString stored(const char* key) const {
        return store.values.value({kColours, QString::fromLatin1(key)});
    }
    QColor barColour(int set) const { return control<Bar>(kBars[set]).fillColour(); }

    void foldOut() {
        QTest::mouseClick(&control("Config"), Qt::LeftButton);
        for (int tick = 0; tick < 12; ++tick)
            fire("Rozwin");
    }

    // Clicks the colour button and runs `act` on the dialog it opens modally,
    // from inside the dialog's own event loop. A dialog that `act` leaves
    // open is cancelled, so a failed check cannot hang the test.
    void withDialogFromButton(const std::function<void(Colors&)>& act) {
        bool opened = false;
        std::function<void(int)> poll = [&](int attempts) {
            auto* dialog = qobject_cast<Colors*>(QApplication::activeModalWidget());
            if (!dialog) {
                if (attempts > 0)
                    QTimer::singleShot(10, form.get(), [&poll, attempts] { poll(attempts - 1); });
                return;
            }
            opened = true;
            act(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        };
        QTimer::singleShot(0, form.get(), [&poll] { poll(200); });
        QTest::mouseClick(&control("LoadColors"), Qt::LeftButton);
        EXPECT_TRUE(opened) << "the colour button opened no modal dialog";
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
};

TEST_F(ColorsTest, FirstUseShowsTheDefaultsAndIsOpaque) {
    open();
    const auto dialog = makeDialog();
    const int expected[3][3] = {{222, 0, 0}, {0, 222, 0}, {0, 0, 222}};
    for (int set = 0; set < 3; ++set) {
        for (int component = 0; component < 3; ++component)
            EXPECT_EQ(slider(*dialog, kColourSliders[set][component]).value(),
                      expected[set][component])
                << kColourSliders[set][component];
        EXPECT_EQ(preview(*dialog, set),
                  QColor(expected[set][0], expected[set][1], expected[set][2]))
            << "P" << set + 1;
        EXPECT_EQ(dialog->previewColour(set), preview(*dialog, set));
    }
    EXPECT_EQ(slider(*dialog, "A").value(), 255);
    EXPECT_DOUBLE_EQ(dialog->windowOpacity(), 1.0);
    // Opening reads but never writes.
    EXPECT_TRUE(store.saves.isEmpty());
}

TEST_F(ColorsTest, OpensWithTheStoredValuesAndOpacity) {
    storeColours({{"R1", "1"},
                  {"G1", "2"},
                  {"B1", "3"},
                  {"R2", "40"},
                  {"G2", "50"},
                  {"B2", "60"},
                  {"R3", "255"},
                  {"G3", "128"},
                  {"B3", "0"},
                  {"Alpha", "100"}});
    open();
    const auto dialog = makeDialog();
    const QColor expected[] = {QColor(1, 2, 3), QColor(40, 50, 60), QColor(255, 128, 0)};
    for (int set = 0; set < 3; ++set) {
        EXPECT_EQ(slidersColour(*dialog, set), expected[set]) << set;
        EXPECT_EQ(preview(*dialog, set), expected[set]) << set;
    }
    EXPECT_EQ(slider(*dialog, "A").value(), 100);
    EXPECT_NEAR(dialog->windowOpacity(), opacityOf(100), 0.002);
}

TEST_F(ColorsTest, OkWithoutChangesStoresAllTenValuesInOrder) {
    open();
    const auto dialog = makeDialog();
    click(*dialog, "OKButton");
    EXPECT_EQ(store.saves,
              (QStringList{"R1", "G1", "B1", "R2", "G2", "B2", "R3", "G3", "B3", "Alpha"}));
    const QList<QPair<const char*, const char*>> expected = {
        {"R1", "222"}, {"G1", "0"}, {"B1", "0"}, {"R2", "0"},   {"G2", "222"},
        {"B2", "0"},   {"R3", "0"}, {"G3", "0"}, {"B3", "222"}, {"Alpha", "255"}};
    for (const auto& [key, value] : expected)
        EXPECT_EQ(stored(key), QString::fromLatin1(value)) << key;
    EXPECT_GE(store.flushes, 1);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

struct DismissCase {
    const char* name;
    std::function<void(Colors&)> dismiss;
};

class ColorsDismissTest : public ColorsTest, public ::testing::WithParamInterface<DismissCase> {};

TEST_P(ColorsDismissTest, StoresNothingAndChangesNothing) {
    storeColours({{"Alpha", "200"}});
    open();
    const QColor barsBefore[] = {barColour(0), barColour(1), barColour(2)};
    const double stripOpacity = strip().windowOpacity();
    ASSERT_NEAR(form->windowOpacity(), opacityOf(200), 0.002);
    {
        const auto dialog = makeDialog();
        for (const auto& set : kColourSliders)
            for (const char* name : set)
                slider(*dialog, name).setValue(77);
        slider(*dialog, "A").setValue(90);
        GetParam().dismiss(*dialog);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Rejected);
    }
    EXPECT_TRUE(store.saves.isEmpty());
    for (int set = 0; set < 3; ++set)
        EXPECT_EQ(barColour(set), barsBefore[set]) << kBars[set];
    EXPECT_NEAR(form->windowOpacity(), opacityOf(200), 0.002);
    EXPECT_DOUBLE_EQ(strip().windowOpacity(), stripOpacity);

    // The next opening starts again from what is stored.
    const auto again = makeDialog();
    EXPECT_EQ(slidersColour(*again, 0), QColor(222, 0, 0));
    EXPECT_EQ(slider(*again, "A").value(), 200);
    EXPECT_NEAR(again->windowOpacity(), opacityOf(200), 0.002);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ColorsDismissTest,
    ::testing::Values(DismissCase{"CancelButton",
                                  [](Colors& d) { ColorsTest::click(d, "CancelButton"); }},
                      DismissCase{"Escape", [](Colors& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
                      DismissCase{"CloseRequest", [](Colors& d) { d.close(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ColorsTest, ReopeningShowsWhatOkStored) {
    open();
    {
        const auto dialog = makeDialog();
        slider(*dialog, "G1").setValue(33);
        slider(*dialog, "B3").setValue(10);
        slider(*dialog, "A").setValue(150);
        QTest::keyClick(dialog.get(), Qt::Key_Return); // Enter is OK
    }
    EXPECT_EQ(stored("G1"), QStringLiteral("33"));
    const auto dialog = makeDialog();
    EXPECT_EQ(slidersColour(*dialog, 0), QColor(222, 33, 0));
    EXPECT_EQ(slidersColour(*dialog, 1), QColor(0, 222, 0));
    EXPECT_EQ(slidersColour(*dialog, 2), QColor(0, 0, 10));
    EXPECT_EQ(preview(*dialog, 2), QColor(0, 0, 10));
    EXPECT_EQ(slider(*dialog, "A").value(), 150);
    EXPECT_NEAR(dialog->windowOpacity(), opacityOf(150), 0.002);
}

// Every way a slider's value changes shows in its set's preview at once, so the
// preview and what OK stores never disagree.
struct MoveCase {
    const char* name;
    const char* slider;
    std::function<void(QSlider&)> move;
    int delta;
};

class ColorsMoveTest : public ColorsTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(ColorsMoveTest, PreviewFollowsTheSlider) {
    storeColours({{"R1", "100"},
                  {"G1", "100"},
                  {"B1", "100"},
                  {"R2", "100"},
                  {"G2", "100"},
                  {"B2", "100"},
                  {"R3", "100"},
                  {"G3", "100"},
                  {"B3", "100"}});
    open();
    const auto dialog = makeDialog();
    QSlider& moved = slider(*dialog, GetParam().slider);
    const int set = GetParam().slider[1] - '1';
    const QColor others[] = {preview(*dialog, (set + 1) % 3), preview(*dialog, (set + 2) % 3)};
    GetParam().move(moved);
    EXPECT_EQ(moved.value(), 100 + GetParam().delta);
    EXPECT_EQ(preview(*dialog, set), slidersColour(*dialog, set));
    EXPECT_NE(preview(*dialog, set), QColor(100, 100, 100));
    // Only the moved set's preview changes; nothing is stored and the bars wait for OK.
    EXPECT_EQ(preview(*dialog, (set + 1) % 3), others[0]);
    EXPECT_EQ(preview(*dialog, (set + 2) % 3), others[1]);
    EXPECT_TRUE(store.saves.isEmpty());
    EXPECT_EQ(barColour(set), QColor(100, 100, 100));
}

INSTANTIATE_TEST_SUITE_P(
    Moves, ColorsMoveTest,
    ::testing::Values(
        MoveCase{"R1Right", "R1", [](QSlider& s) { QTest::keyClick(&s, Qt::Key_Right); }, 1},
        MoveCase{"G1Left", "G1", [](QSlider& s) { QTest::keyClick(&s, Qt::Key_Left); }, -1},
        MoveCase{"B1PageUp", "B1", [](QSlider& s) { QTest::keyClick(&s, Qt::Key_PageUp); }, 1},
        MoveCase{"R2PageDown", "R2", [](QSlider& s) { QTest::keyClick(&s, Qt::Key_PageDown); }, -1},
        MoveCase{"G2Home", "G2", [](QSlider& s) { QTest::keyClick(&s, Qt::Key_Home); }, -100},
        MoveCase{"B2End", "B2", [](QSlider& s) { QTest::keyClick(&s, Qt::Key_End); }, 155},
        MoveCase{"R3Arrow", "R3",
                 [](QSlider& s) { s.triggerAction(QAbstractSlider::SliderSingleStepAdd); }, 1},
        MoveCase{"G3Track", "G3",
                 [](QSlider& s) { s.triggerAction(QAbstractSlider::SliderPageStepSub); }, -1},
        MoveCase{"B3SetValue", "B3", [](QSlider& s) { s.setValue(7); }, -93}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ColorsTest, DialogOpacityFollowsAOnly) {
    storeColours({{"Alpha", "200"}});
    open();
    const auto dialog = makeDialog();
    QSlider& alpha = slider(*dialog, "A");
    QTest::keyClick(&alpha, Qt::Key_Right);
    EXPECT_NEAR(dialog->windowOpacity(), opacityOf(201), 0.002);
    QTest::keyClick(&alpha, Qt::Key_PageDown);
    EXPECT_EQ(alpha.value(), 201 - alpha.pageStep());
    EXPECT_NEAR(dialog->windowOpacity(), opacityOf(alpha.value()), 0.002);
    alpha.setValue(64);
    EXPECT_NEAR(dialog->windowOpacity(), opacityOf(64), 0.002);
    // The windows behind keep their opacity until OK.
    EXPECT_NEAR(form->windowOpacity(), opacityOf(200), 0.002);
    EXPECT_NEAR(strip().windowOpacity(), opacityOf(200), 0.002);
}

TEST_F(ColorsTest, SliderRanges) {
    open();
    const auto dialog = makeDialog();
    for (const auto& set : kColourSliders)
        for (const char* name : set) {
            const QSlider& s = slider(*dialog, name);
            EXPECT_EQ(s.minimum(), 0) << name;
            EXPECT_EQ(s.maximum(), 255) << name;
            EXPECT_EQ(s.singleStep(), 1) << name;
            EXPECT_EQ(s.pageStep(), 1) << name;
            EXPECT_EQ(s.orientation(), Qt::Horizontal) << name;
        }
    QSlider& alpha = slider(*dialog, "A");
    // Nothing lets a window become more transparent than 64 of 255.
    EXPECT_EQ(alpha.minimum(), 64);
    EXPECT_EQ(alpha.maximum(), 255);
    EXPECT_EQ(alpha.singleStep(), 1);
    QTest::keyClick(&alpha, Qt::Key_Home);
    EXPECT_EQ(alpha.value(), 64);
    EXPECT_NEAR(dialog->windowOpacity(), opacityOf(64), 0.002);
}

TEST_F(ColorsTest, OkRecoloursTheBarsAtOnceAndAppliesTheOpacity) {
    open().show();
    foldOut();
    // No refresh tick may run between OK and the checks.
    timer("AutoRF").stop();
    timer("CpuRef").stop();
    const QColor chosen[] = {QColor(10, 20, 30), QColor(40, 50, 60), QColor(70, 80, 90)};
    withDialogFromButton([&](Colors& dialog) {
        for (int set = 0; set < 3; ++set)
            for (int component = 0; component < 3; ++component)
                slider(dialog, kColourSliders[set][component])
                    .setValue(set * 30 + (component + 1) * 10);
        slider(dialog, "A").setValue(128);
        click(dialog, "OKButton");
    });
    for (int set = 0; set < 3; ++set) {
        EXPECT_EQ(barColour(set), chosen[set]) << kBars[set];
        Bar& bar = control<Bar>(kBars[set]);
        // The fake's figures leave every bar a good part of its frame wide.
        ASSERT_GT(bar.width(), 2) << kBars[set];
        EXPECT_EQ(bar.grab().toImage().pixelColor(bar.width() / 2, bar.height() / 2), chosen[set])
            << kBars[set];
    }
    EXPECT_NEAR(form->windowOpacity(), opacityOf(128), 0.002);
    EXPECT_NEAR(strip().windowOpacity(), opacityOf(128), 0.002);
    EXPECT_FALSE(strip().isVisible());
}

TEST_F(ColorsTest, OkMakesAMissingStripHiddenWithTheNewColoursAndOpacity) {
    open().show();
    foldOut();
    timer("AutoRF").stop();
    timer("CpuRef").stop();
    form->shade().destroy();
    ASSERT_EQ(form->shade().existing(), nullptr);
    withDialogFromButton([&](Colors& dialog) {
        slider(dialog, "R2").setValue(99);
        slider(dialog, "A").setValue(180);
        click(dialog, "OKButton");
    });
    WinShade* made = form->shade().existing();
    ASSERT_NE(made, nullptr);
    EXPECT_FALSE(made->isVisible());
    EXPECT_TRUE(form->isVisible());
    EXPECT_NEAR(made->windowOpacity(), opacityOf(180), 0.002);
    // Made after the bars were recoloured, it takes their new colours.
    EXPECT_EQ(made->findChild<Bar*>(QStringLiteral("Marker1"))->fillColour(), QColor(99, 222, 0));
    EXPECT_EQ(made->findChild<Bar*>(QStringLiteral("Marker0"))->fillColour(), QColor(222, 0, 0));
}

TEST_F(ColorsTest, NextStartReadsTheStoredColoursAndOpacityForAllWindows) {
    open();
    {
        const auto dialog = makeDialog();
        slider(*dialog, "B1").setValue(200);
        slider(*dialog, "A").setValue(100);
        click(*dialog, "OKButton");
    }
    form.reset();
    store.saves.clear();
    open().show();
    EXPECT_EQ(barColour(0), QColor(222, 0, 200));
    EXPECT_NEAR(form->windowOpacity(), opacityOf(100), 0.002);
    ShadeMode(*form, form->shade(), 2);
    ASSERT_NE(form->shade().existing(), nullptr);
    EXPECT_NEAR(form->shade().existing()->windowOpacity(), opacityOf(100), 0.002);
    EXPECT_EQ(form->shade().existing()->findChild<Bar*>(QStringLiteral("Marker0"))->fillColour(),
              QColor(222, 0, 200));
    ShadeMode(*form, form->shade(), 1);
    const auto dialog = makeDialog();
    EXPECT_NEAR(dialog->windowOpacity(), opacityOf(100), 0.002);
}

struct CaptionCase {
    const char* name;
    const Texts& (*texts)();
    const char* title;
    const char* frames[3];
    const char* alpha;
    int alphaLeft;
    int alphaWidth;
};

class ColorsCaptionTest : public ColorsTest, public ::testing::WithParamInterface<CaptionCase> {};

TEST_P(ColorsCaptionTest, CaptionsOfTheBuild) {
    const CaptionCase& expected = GetParam();
    open(expected.texts());
    const auto dialog = makeDialog(expected.texts());
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8(expected.title));
    const char* frameNames[] = {"DYSK", "RAM", "CPU"};
    for (int set = 0; set < 3; ++set) {
        auto* frame = dialog->findChild<QGroupBox*>(QString::fromLatin1(frameNames[set]));
        ASSERT_NE(frame, nullptr) << frameNames[set];
        EXPECT_EQ(frame->title(), QString::fromUtf8(expected.frames[set]));
    }
    auto* alpha = dialog->findChild<QLabel*>(QStringLiteral("Stat9"));
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(alpha->text(), QString::fromUtf8(expected.alpha));
    EXPECT_EQ(alpha->geometry(), toPixels(expected.alphaLeft, 2130, expected.alphaWidth, 195));
    EXPECT_EQ(dialog->findChild<QPushButton*>(QStringLiteral("OKButton"))->text(),
              QStringLiteral("OK"));
    EXPECT_EQ(dialog->findChild<QPushButton*>(QStringLiteral("CancelButton"))->text(),
              QStringLiteral("Anuluj"));
}

INSTANTIATE_TEST_SUITE_P(Builds, ColorsCaptionTest,
                         ::testing::Values(CaptionCase{"English",
                                                       &englishTexts,
                                                       "Colors config...",
                                                       {"HDD", "RAM", "CPU"},
                                                       "Alpha (Transparency)",
                                                       2040,
                                                       1845},
                                           CaptionCase{"Polish",
                                                       &polishTexts,
                                                       "Ustamienia kolorów",
                                                       {"Dysk", "Ram", "Procesor"},
                                                       "Alpha (Przeźroczystość)",
                                                       1830,
                                                       2055}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PlaceCase {
    const char* name;
    int left, top, width, height;
};

class ColorsLayoutTest : public ColorsTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(ColorsLayoutTest, ControlSitsAtItsPlace) {
    open();
    const auto dialog = makeDialog();
    auto* found = dialog->findChild<QWidget*>(QString::fromLatin1(GetParam().name));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->geometry(),
              toPixels(GetParam().left, GetParam().top, GetParam().width, GetParam().height));
}

// Places within a frame are relative to the frame.
INSTANTIATE_TEST_SUITE_P(
    Places, ColorsLayoutTest,
    ::testing::Values(
        PlaceCase{"DYSK", 180, 120, 3255, 1455}, PlaceCase{"RAM", 3600, 120, 3255, 1455},
        PlaceCase{"CPU", 7020, 120, 3255, 1455}, PlaceCase{"R1", 360, 300, 2715, 255},
        PlaceCase{"G2", 360, 660, 2715, 255}, PlaceCase{"B3", 360, 1020, 2715, 255},
        PlaceCase{"Stat0", 180, 360, 120, 195}, PlaceCase{"Stat3", 180, 720, 120, 195},
        PlaceCase{"Stat7", 180, 1080, 105, 195}, PlaceCase{"P1", 180, 1620, 3255, 315},
        PlaceCase{"P2", 3600, 1620, 3255, 315}, PlaceCase{"P3", 7020, 1620, 3255, 315},
        PlaceCase{"A", 3960, 2100, 2715, 255}, PlaceCase{"OKButton", 7560, 2040, 1215, 375},
        PlaceCase{"CancelButton", 9060, 2040, 1215, 375}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ColorsTest, FixedSizeCentredOverTheMainWindow) {
    store.set(Key::Left, QStringLiteral("3000"));
    store.set(Key::Top, QStringLiteral("4500"));
    open().show();
    const auto dialog = makeDialog();
    EXPECT_EQ(dialog->size(), QSize(toPixels(10440), toPixels(2535)));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    // Half a pixel either way where the two sizes differ by an odd number.
    const QPoint offset = dialog->frameGeometry().center() - form->frameGeometry().center();
    EXPECT_LE(std::abs(offset.x()), 1) << offset.x();
    EXPECT_LE(std::abs(offset.y()), 1) << offset.y();
}

// The dialog is wider and higher than the main window: centred on a main
// window at a corner of the screen it would reach past the screen's edges.
class ColorsPlacementTest : public ColorsTest, public ::testing::WithParamInterface<Qt::Corner> {};

TEST_P(ColorsPlacementTest, StaysWholeOnTheMainWindowsScreen) {
    open().show();
    const QRect screen = form->screen()->availableGeometry();
    const QSize mainFrame = form->frameGeometry().size();
    const bool right = GetParam() == Qt::TopRightCorner || GetParam() == Qt::BottomRightCorner;
    const bool bottom = GetParam() == Qt::BottomLeftCorner || GetParam() == Qt::BottomRightCorner;
    const QPoint corner(right ? screen.right() + 1 - mainFrame.width() : screen.left(),
                        bottom ? screen.bottom() + 1 - mainFrame.height() : screen.top());
    form->move(corner);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->pos() == corner; }, 2000));
    const auto dialog = makeDialog();
    EXPECT_TRUE(screen.contains(dialog->frameGeometry()))
        << dialog->frameGeometry().x() << "," << dialog->frameGeometry().y();
}

INSTANTIATE_TEST_SUITE_P(Corners, ColorsPlacementTest,
                         ::testing::Values(Qt::TopLeftCorner, Qt::TopRightCorner,
                                           Qt::BottomLeftCorner, Qt::BottomRightCorner));

TEST_F(ColorsTest, TabWalksTheControlsInTheirOrder) {
    open();
    const auto dialog = makeDialog();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 15; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.append(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(order, (QStringList{"OKButton", "CancelButton", "R1", "G1", "B1", "B2", "G2", "R2",
                                  "R3", "G3", "B3", "P1", "P3", "P2", "A", "OKButton"}));
}

TEST_F(ColorsTest, TheColourButtonOpensTheDialogModallyOverTheMainWindow) {
    open().show();
    foldOut();
    withDialogFromButton([&](Colors& dialog) {
        EXPECT_TRUE(dialog.isModal());
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.parentWidget(), form.get());
        // The refresh goes on behind the dialog.
        setNextLoad(30);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return caption("pUsed") == QStringLiteral("Used: 30%"); }, 3000));
        slider(dialog, "G3").setValue(111);
        QTest::keyClick(&slider(dialog, "R1"), Qt::Key_Left);
        click(dialog, "OKButton");
    });
    EXPECT_EQ(barColour(2), QColor(0, 111, 222));
    EXPECT_EQ(barColour(0), QColor(221, 0, 0));
    EXPECT_EQ(stored("G3"), QStringLiteral("111"));
    EXPECT_EQ(stored("R1"), QStringLiteral("221"));
}

TEST_F(ColorsTest, EveryOpeningIsAFreshDialog) {
    open().show();
    foldOut();
    withDialogFromButton([&](Colors& dialog) {
        slider(dialog, "R1").setValue(5);
        slider(dialog, "A").setValue(70);
        click(dialog, "CancelButton");
    });
    withDialogFromButton([&](Colors& dialog) {
        EXPECT_EQ(slider(dialog, "R1").value(), 222);
        EXPECT_EQ(slider(dialog, "A").value(), 255);
        EXPECT_DOUBLE_EQ(dialog.windowOpacity(), 1.0);
        click(dialog, "CancelButton");
    });
    EXPECT_TRUE(store.saves.isEmpty());
}

class ColorsOnTopTest : public ColorsTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ColorsOnTopTest, DialogSharesTheMainWindowsBand) {
    const bool onTop = GetParam();
    open().show();
    foldOut();
    // Cleared after being ticked must also leave the dialog in the normal band.
    control<QCheckBox>("AoT").setChecked(true);
    control<QCheckBox>("AoT").setChecked(onTop);
    withDialogFromButton([&](Colors& dialog) {
        // The band is the window manager's to apply once the dialog is mapped.
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_EQ(dialog.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), onTop);
        click(dialog, "CancelButton");
    });
}

INSTANTIATE_TEST_SUITE_P(AoT, ColorsOnTopTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Ticked" : "Cleared"; });
