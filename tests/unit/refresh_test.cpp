// SPDX-License-Identifier: MIT
// The two refresh ticks and unit switching.

#include "form1_fixture.h"

#include "window_services/shade_mode.h"

#include <cmath>

using namespace kelvora;

namespace {

int barPixels(double share, int framePixels) {
    return toPixels(share * toTwips(framePixels));
}

} // namespace

TEST_F(Form1Test, TickRendersTheReadoutsOfBothRows) {
    open();
    EXPECT_EQ(caption("dFree"), QStringLiteral("Free: 12.34 GB (25.0%)"));
    EXPECT_EQ(caption("dUsed"), QStringLiteral("Used: 37.02 GB (75.0%)"));
    EXPECT_EQ(caption("mFree"), QStringLiteral("Free: 256.00 MB (25.0%)"));
    EXPECT_EQ(caption("mUsed"), QStringLiteral("Used: 768.00 MB (75.0%)"));
    EXPECT_EQ(control("DDX").width(), barPixels(0.75, control("DDF").width()));
    EXPECT_EQ(control("MDX").width(), barPixels(0.75, control("MDF").width()));
    EXPECT_EQ(stripCaption(0), QStringLiteral("HDD  Free: 12.34 GB (25.0%)"));
    EXPECT_EQ(stripCaption(1), QStringLiteral("RAM  Free: 256.00 MB (25.0%)"));
    EXPECT_FALSE(strip().isVisible());
    EXPECT_EQ(strip().findChild<QWidget*>(QStringLiteral("Marker0"))->width(),
              barPixels(0.75, strip().findChild<QWidget*>(QStringLiteral("MF0"))->width()));
    // The root of the selected entry is what the drive is asked for by.
    EXPECT_EQ(os.lastRoot, "/");
}

TEST_F(Form1Test, LongStripReadoutsStayWholeAndCentred) {
    open().show();
    QTest::mouseClick(&control("DDX"), Qt::LeftButton);
    ShadeMode(*form, form->shade(), 2);
    fire("AutoRF");
    QLabel* caption = strip().findChild<QLabel*>(QStringLiteral("Stat0"));
    ASSERT_EQ(caption->text(), QStringLiteral("HDD  Free: 13 250 000 000 B (25.0%)"));
    const QRect laidOut = toPixels(1185, 0, 1635, 165);
    EXPECT_GE(caption->width(), std::min(caption->sizeHint().width(), strip().width()));
    EXPECT_GE(caption->x(), 0);
    EXPECT_LE(caption->geometry().right(), strip().width());
    // Centred on its laid-out box, unless a font this wide pushes it against
    // an end of the strip.
    const bool pinned = caption->x() == 0 || caption->geometry().right() == strip().width() - 1;
    if (!pinned) {
        EXPECT_NEAR(caption->geometry().center().x(), laidOut.center().x(), 1);
    }
}

TEST_F(Form1Test, EveryFigureOfATickIsItsOwnQuery) {
    open();
    const int drives = os.geometry.calls();
    const int memories = os.memory.calls();
    fire("AutoRF");
    EXPECT_EQ(os.geometry.calls() - drives, 10);
    EXPECT_EQ(os.memory.calls() - memories, 14);
}

TEST_F(Form1Test, FullDriveFillsItsFrame) {
    setDrive(0, kDriveTotal);
    open();
    EXPECT_EQ(control("DDX").width(), control("DDF").width());
    EXPECT_EQ(caption("dFree"), QStringLiteral("Free: 0.00 GB (0.0%)"));
}

TEST_F(Form1Test, UnreadableDriveFallsBackToTheRootDrive) {
    open();
    auto& list = control<QComboBox>("DYSK");
    list.setCurrentIndex(2);
    os.geometry.push(std::nullopt);
    setDrive(kDriveFree / 2, kDriveTotal);
    os.geometry.push(std::nullopt);
    // The first query of the tick for entry 0 fails; the nested tick for the
    // root drive then reads half the free space.
    list.setCurrentIndex(0);
    EXPECT_EQ(list.currentIndex(), 1);
    EXPECT_EQ(caption("Stat0"), QStringLiteral("HDD"));
    EXPECT_EQ(caption("dFree"), QStringLiteral("Free: 6.17 GB (12.5%)"));
    EXPECT_EQ(os.lastRoot, "/");
}

struct FailedDriveQueryCase {
    int query; // of the tick, counted from 0
    int selected;
    const char* dFree;
    const char* dUsed;
    double bar;
    double marker;
};

// A failed query reads as zeros. Where those zeros land shows which figure
// each query of a tick feeds: only a whole of a division falls back to the
// root drive, so a tick that read a part first would miss an unreadable drive.
TEST_F(Form1Test, EachDriveQueryOfATickFeedsOneFigureInAFixedOrder) {
    const char* normalFree = "Free: 12.34 GB (25.0%)";
    const char* normalUsed = "Used: 37.02 GB (75.0%)";
    const FailedDriveQueryCase cases[] = {
        {0, 1, normalFree, normalUsed, 0.75, 0.75},
        {1, 2, normalFree, normalUsed, 0.0, 0.75},
        {2, 2, "Free: 0.00 GB (25.0%)", normalUsed, 0.75, 0.75},
        {3, 1, normalFree, normalUsed, 0.75, 0.75},
        {4, 2, "Free: 12.34 GB (0.0%)", normalUsed, 0.75, 0.75},
        {5, 2, normalFree, "Used: 0.00 GB (75.0%)", 0.75, 0.75},
        {6, 1, normalFree, normalUsed, 0.75, 0.75},
        {7, 2, normalFree, "Used: 37.02 GB (0.0%)", 0.75, 0.75},
        {8, 1, normalFree, normalUsed, 0.75, 0.75},
        {9, 2, normalFree, normalUsed, 0.75, 0.0},
    };
    for (const FailedDriveQueryCase& c : cases) {
        SCOPED_TRACE(c.query);
        open();
        control<QComboBox>("DYSK").setCurrentIndex(2);
        for (int query = 0; query < c.query; ++query) {
            os.geometry.push(driveOf(kDriveFree, kDriveTotal));
        }
        os.geometry.push(std::nullopt);
        fire("AutoRF");
        EXPECT_EQ(control<QComboBox>("DYSK").currentIndex(), c.selected);
        EXPECT_EQ(caption("dFree"), QString::fromUtf8(c.dFree));
        EXPECT_EQ(caption("dUsed"), QString::fromUtf8(c.dUsed));
        EXPECT_EQ(control("DDX").width(), barPixels(c.bar, control("DDF").width()));
        EXPECT_EQ(strip().findChild<QWidget*>(QStringLiteral("Marker0"))->width(),
                  barPixels(c.marker, strip().findChild<QWidget*>(QStringLiteral("MF0"))->width()));
    }
}

TEST_F(Form1Test, FailingRootDriveEndsTheFallbackWithoutRecursion) {
    open();
    const QString memoryBefore = caption("mFree");
    os.memory.set(PhysicalMemory{.total = 1073741824, .available = 536870912});
    os.geometry.fail();
    control<QComboBox>("DYSK").setCurrentIndex(2);
    EXPECT_EQ(control<QComboBox>("DYSK").currentIndex(), 1);
    // The drive comes first, so the failing ticks never reached memory.
    EXPECT_EQ(caption("mFree"), memoryBefore);
    EXPECT_LE(os.geometry.calls(), 30);
}

TEST_F(Form1Test, FirstDriveEntryIsCaptionedFdd) {
    open();
    control<QComboBox>("DYSK").setCurrentIndex(0);
    EXPECT_EQ(caption("Stat0"), QStringLiteral("FDD"));
    // The caption stays right-aligned against the bar.
    EXPECT_EQ(control("Stat0").geometry(), toPixels(120, 180, 360, 195));
    EXPECT_EQ(os.lastRoot, "/media");
    EXPECT_EQ(stripCaption(0).left(5), QStringLiteral("HDD  "));
    control<QComboBox>("DYSK").setCurrentIndex(2);
    EXPECT_EQ(caption("Stat0"), QStringLiteral("HDD"));
}

struct CpuCase {
    int load;
    bool failed;
    const char* used;
    const char* free;
    double share;
};

TEST_F(Form1Test, CpuTickWritesLabelsBarAndStrip) {
    const CpuCase cases[] = {
        {0, false, "Used: 0%", "Free: 100%", 0.0},   {42, false, "Used: 42%", "Free: 58%", 0.42},
        {100, false, "Used: 100%", "Free: 0%", 1.0}, {105, false, "Used: 105%", "Free: -5%", 1.05},
        {0, true, "Used: -1%", "Free: 101%", 0.0},
    };
    open();
    for (const CpuCase& c : cases) {
        setNextLoad(c.load);
        if (c.failed)
            os.processors.push(std::nullopt);
        fire("CpuRef");
        EXPECT_EQ(caption("pUsed"), QString::fromUtf8(c.used)) << c.load;
        EXPECT_EQ(caption("pFree"), QString::fromUtf8(c.free)) << c.load;
        EXPECT_EQ(stripCaption(2), QStringLiteral("CPU  ") + QString::fromUtf8(c.free));
        const int expected = barPixels(c.share, control("PDF").width());
        EXPECT_EQ(control("PDX").isHidden() ? 0 : control("PDX").width(), expected) << c.load;
    }
}

TEST_F(Form1Test, PolishBuildUsesItsPrefixes) {
    open(polishTexts());
    setNextLoad(42);
    fire("CpuRef");
    EXPECT_EQ(caption("pFree"), QStringLiteral("Wolne: 58%"));
    EXPECT_EQ(caption("dUsed"), QStringLiteral("Zajęte: 37.02 GB (75.0%)"));
    EXPECT_EQ(stripCaption(2), QStringLiteral("CPU  Wolne: 58%"));
}

TEST_F(Form1Test, FourClicksReturnToTheUnitWithTheTablesPattern) {
    open();
    const char* memoryTexts[] = {"Free: 0.25 GB (25.0%)", "Free:  268 435 456 B (25.0%)",
                                 "Free:  262 144 KB (25.0%)", "Free:  256.00 MB (25.0%)"};
    for (const char* expected : memoryTexts) {
        QTest::mouseClick(&control("MDX"), Qt::LeftButton);
        EXPECT_EQ(caption("mFree"), QString::fromUtf8(expected));
    }
    EXPECT_EQ(form->memoryUnit().pattern, "### ##0.00 MB");
    // The drive row never moved.
    EXPECT_EQ(form->driveUnit().counter, 3);
    EXPECT_EQ(caption("dFree"), QStringLiteral("Free: 12.34 GB (25.0%)"));
}

// A unit steps once for a click and once for a double-click, and never for
// a press that ends outside the bar or for another button.
TEST_F(Form1Test, OnlyAClickOnABarStepsItsUnit) {
    enum class Gesture { Click, DoubleClick, ReleasedOutside, RightClick };
    struct Row {
        const char* what;
        Gesture gesture;
        int counter;
    };
    const Row rows[] = {
        {"a click", Gesture::Click, 0},
        {"a double-click", Gesture::DoubleClick, 0},
        {"a press released outside the bar", Gesture::ReleasedOutside, 3},
        {"a right click", Gesture::RightClick, 3},
    };
    for (const Row& row : rows) {
        open();
        form->show();
        QWidget& bar = control("DDX");
        switch (row.gesture) {
        case Gesture::Click:
            QTest::mouseClick(&bar, Qt::LeftButton);
            break;
        case Gesture::DoubleClick:
            // The window system's order for a double-click.
            QTest::mousePress(&bar, Qt::LeftButton);
            QTest::mouseRelease(&bar, Qt::LeftButton);
            QTest::mouseDClick(&bar, Qt::LeftButton);
            QTest::mouseRelease(&bar, Qt::LeftButton);
            break;
        case Gesture::ReleasedOutside:
            QTest::mousePress(&bar, Qt::LeftButton);
            QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(bar.width() + 5, 2));
            break;
        case Gesture::RightClick:
            QTest::mouseClick(&bar, Qt::RightButton);
            break;
        }
        EXPECT_EQ(form->driveUnit().counter, row.counter) << row.what;
        EXPECT_TRUE(form->isVisible()) << row.what;
    }
}

TEST_F(Form1Test, StoredCounterOutsideTheTableOnlyAdvances) {
    store.set(Key::HDDCounter, QStringLiteral("-1"));
    open();
    QTest::mouseClick(&control("DDX"), Qt::LeftButton);
    EXPECT_EQ(form->driveUnit().counter, 0);
    EXPECT_EQ(caption("dFree"), QStringLiteral("Free: 13 250 000 000 B (25.0%)"));

    store.set(Key::HDDCounter, QStringLiteral("7"));
    open();
    QTest::mouseClick(&control("DDX"), Qt::LeftButton);
    EXPECT_EQ(form->driveUnit().counter, 8);
    EXPECT_EQ(form->driveUnit().pattern, "0.00 GB");
}

TEST_F(Form1Test, UnitClickRefreshesWhileTheTimerIsStopped) {
    store.set(Key::Interval, QStringLiteral("6"));
    open();
    ASSERT_FALSE(timer("AutoRF").isActive());
    os.memory.set(PhysicalMemory{.total = 1073741824, .available = 536870912});
    QTest::mouseClick(&control("DDX"), Qt::LeftButton);
    EXPECT_EQ(caption("dFree"), QStringLiteral("Free: 13 250 000 000 B (25.0%)"));
    EXPECT_EQ(caption("mFree"), QStringLiteral("Free: 512.00 MB (50.0%)"));
}

TEST_F(Form1Test, UnitChoicePersistsThroughCloseAndStart) {
    open();
    QTest::mouseClick(&control("DDX"), Qt::LeftButton);
    QTest::mouseClick(&control("DDX"), Qt::LeftButton);
    form->close();
    open();
    EXPECT_EQ(form->driveUnit().counter, 1);
    EXPECT_EQ(form->driveUnit().pattern, "### ### ##0 KB");
    EXPECT_EQ(form->driveUnit().divisor, 1024);
    EXPECT_EQ(caption("dFree"), QStringLiteral("Free: 12 939 453 KB (25.0%)"));
}
