// SPDX-License-Identifier: MIT
// The options row, the window services and the switch to the strip.

#include "form1_fixture.h"

#include "widgets/fonts.h"
#include "window_services/shade_mode.h"
#include "window_services/window_services.h"

#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

using namespace kelvora;

namespace {

const char* const kOptionControls[] = {"Interval", "DYSK", "AoT", "LoadColors"};

} // namespace

class FoldTest : public Form1Test {
public:
    // Runs the animation timers until both have stopped; the heights reached.
    std::vector<double> animate() {
        std::vector<double> heights;
        for (int tick = 0; tick < 40 && (timer("Rozwin").isActive() || timer("Zwin").isActive());
             ++tick) {
            fire(timer("Rozwin").isActive() ? "Rozwin" : "Zwin");
            if (heights.empty() || heights.back() != form->outerHeightTwips())
                heights.push_back(form->outerHeightTwips());
        }
        return heights;
    }
    void clickConfig() { QTest::mouseClick(&control("Config"), Qt::LeftButton); }
    bool optionsEnabled() const {
        for (const char* name : kOptionControls)
            if (!control(name).isEnabled())
                return false;
        return true;
    }
};

TEST_F(FoldTest, FoldsOutInNineStepsAndBackInNine) {
    open();
    EXPECT_FALSE(optionsEnabled());
    clickConfig();
    EXPECT_TRUE(optionsEnabled());
    EXPECT_EQ(animate(),
              (std::vector<double>{2195, 2245, 2295, 2345, 2395, 2445, 2495, 2545, 2595}));
    // The whole options row is inside the client area now.
    EXPECT_GE(form->height(), toPixels(2115));
    clickConfig();
    EXPECT_FALSE(optionsEnabled());
    EXPECT_EQ(animate(),
              (std::vector<double>{2545, 2495, 2445, 2395, 2345, 2295, 2245, 2195, 2145}));
    EXPECT_EQ(form->height(), 113);
}

TEST_F(FoldTest, AClickReversesTheAnimationFromTheHeightReached) {
    open();
    clickConfig();
    for (int i = 0; i < 3; ++i)
        fire("Rozwin");
    EXPECT_DOUBLE_EQ(form->outerHeightTwips(), 2295);
    clickConfig();
    EXPECT_FALSE(timer("Rozwin").isActive());
    EXPECT_EQ(animate(), (std::vector<double>{2245, 2195, 2145}));

    clickConfig();
    animate();
    clickConfig();
    fire("Zwin");
    fire("Zwin");
    EXPECT_DOUBLE_EQ(form->outerHeightTwips(), 2495);
    clickConfig();
    EXPECT_FALSE(timer("Zwin").isActive());
    EXPECT_EQ(animate(), (std::vector<double>{2545, 2595}));
}

// The keys that press a button toggle the row as a click does; a held key's
// repeats do not, nor does any other key.
TEST_F(FoldTest, SpaceAndEnterToggleTheRowAsAClickDoes) {
    open();
    const struct {
        Qt::Key key;
        bool autoRepeat;
        bool toggles;
    } cases[] = {
        {Qt::Key_Space, false, true}, {Qt::Key_Return, false, true}, {Qt::Key_Enter, false, true},
        {Qt::Key_Space, true, false}, {Qt::Key_Tab, false, false},   {Qt::Key_O, false, false},
    };
    bool rowOpen = false;
    for (const auto& c : cases) {
        QKeyEvent press(QEvent::KeyPress, c.key, Qt::NoModifier, QString(), c.autoRepeat);
        QApplication::sendEvent(&control("Config"), &press);
        rowOpen = rowOpen != c.toggles;
        EXPECT_EQ(optionsEnabled(), rowOpen) << c.key << (c.autoRepeat ? " repeated" : "");
    }
}

TEST_F(Form1Test, IntervalStopsAndRestartsTheDriveAndMemoryRefresh) {
    open();
    auto& interval = control<QComboBox>("Interval");
    interval.setCurrentIndex(6);
    EXPECT_FALSE(timer("AutoRF").isActive());
    EXPECT_TRUE(timer("CpuRef").isActive());
    interval.setCurrentIndex(0);
    EXPECT_TRUE(timer("AutoRF").isActive());
    EXPECT_EQ(timer("AutoRF").interval(), 1);
    interval.setCurrentIndex(5);
    EXPECT_EQ(timer("AutoRF").interval(), 2000);
}

TEST_F(Form1Test, StoppedRefreshFreezesDriveAndMemoryButNotCpu) {
    store.set(Key::Interval, QStringLiteral("6"));
    open();
    const QString drive = caption("dFree");
    setDrive(0, kDriveTotal);
    setNextLoad(30);
    QTest::qWait(600);
    EXPECT_EQ(caption("dFree"), drive);
    EXPECT_EQ(caption("pUsed"), QStringLiteral("Used: 30%"));
    control<QComboBox>("Interval").setCurrentIndex(0);
    QTest::qWait(50);
    EXPECT_EQ(caption("dFree"), QStringLiteral("Free: 0.00 GB (0.0%)"));
}

TEST_F(Form1Test, AlwaysOnTopFollowsTheCheckBox) {
    open();
    form->show();
    auto& check = control<QCheckBox>("AoT");
    check.setChecked(true);
    EXPECT_TRUE(form->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(form->isVisible());
    check.setChecked(false);
    EXPECT_FALSE(form->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
}

namespace {

// Where the dark pixels of an image lie, one band of rows at a time: the lines
// of a caption.
struct InkBand {
    int top, bottom, left, right;
};

std::vector<InkBand> inkBands(const QImage& image) {
    std::vector<InkBand> bands;
    bool inBand = false;
    for (int y = 0; y < image.height(); ++y) {
        int left = image.width();
        int right = -1;
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 150) {
                left = std::min(left, x);
                right = x;
            }
        }
        if (right < 0) {
            inBand = false;
            continue;
        }
        if (!inBand)
            bands.push_back({y, y, left, right});
        inBand = true;
        InkBand& band = bands.back();
        band.bottom = y;
        band.left = std::min(band.left, left);
        band.right = std::max(band.right, right);
    }
    return bands;
}

// The ink of one line of text drawn on a canvas with room for all of it.
InkBand wholeLine(const QString& text, const QWidget& control, const QColor& ground) {
    QImage canvas(400, 60, QImage::Format_RGB32);
    canvas.fill(ground);
    QPainter painter(&canvas);
    painter.setFont(control.font());
    painter.setPen(control.palette().color(QPalette::WindowText));
    painter.drawText(20, 40, text);
    painter.end();
    const std::vector<InkBand> bands = inkBands(canvas);
    EXPECT_EQ(bands.size(), 1u) << text.toStdString();
    return bands.empty() ? InkBand{} : bands.front();
}

struct CaptionCase {
    const char* name;
    const Texts& (*texts)();
    QStringList lines;
};

} // namespace

class AoTCaptionTest : public Form1Test, public ::testing::WithParamInterface<CaptionCase> {};

// Each line of the caption shows as wide and as high as it is drawn with room
// to spare: no pixel column or row of it is cut off by the box.
TEST_P(AoTCaptionTest, ShowsItsCaptionWholeOnItsGrey) {
    // Qt's offscreen platform has fonts only on Linux; on Windows it draws
    // text without any face, which says nothing about the caption. The
    // Windows programs are looked at under wine instead.
    if (QFontDatabase::families().isEmpty()) {
        GTEST_SKIP() << "the offscreen platform has no fonts here";
    }
    // The face the programs draw with where Tahoma is missing.
    installFontSubstitutes();
    open(GetParam().texts()).show();
    QTest::mouseClick(&control("Config"), Qt::LeftButton);
    auto& box = control<QCheckBox>("AoT");
    const QImage shot = box.grab().toImage();
    const QColor grey(226, 226, 226);
    EXPECT_EQ(shot.pixelColor(shot.width() - 1, 0), grey);
    EXPECT_EQ(shot.pixelColor(shot.width() - 1, shot.height() - 1), grey);
    const std::vector<InkBand> bands = inkBands(shot);
    ASSERT_EQ(bands.size(), static_cast<std::size_t>(GetParam().lines.size()));
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const QString& line = GetParam().lines[static_cast<int>(i)];
        const InkBand whole = wholeLine(line, box, grey);
        EXPECT_EQ(bands[i].right - bands[i].left, whole.right - whole.left) << line.toStdString();
        EXPECT_EQ(bands[i].bottom - bands[i].top, whole.bottom - whole.top) << line.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, AoTCaptionTest,
                         ::testing::Values(CaptionCase{"English", englishTexts, {"Always on top"}},
                                           CaptionCase{
                                               "Polish", polishTexts, {"Zawsze na", "wierzchu"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form1Test, ShadeModeSwapsCornerOnCorner) {
    store.set(Key::Left, QStringLiteral("1500"));
    store.set(Key::Top, QStringLiteral("3000"));
    store.set(Key::Alpha, QStringLiteral("64"));
    open().show();
    ShadeSlot& slot = form->shade();
    EXPECT_EQ(ShadeMode(*form, slot, 0), std::optional<std::int16_t>(1));

    EXPECT_EQ(ShadeMode(*form, slot, 2), std::nullopt);
    ASSERT_NE(slot.existing(), nullptr);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(slot.existing()->isVisible());
    EXPECT_EQ(slot.existing()->pos(), form->pos());
    EXPECT_NEAR(slot.existing()->windowOpacity(), 64 / 255.0, 0.01);
    EXPECT_EQ(ShadeMode(*form, slot, 0), std::optional<std::int16_t>(2));
    // Unknown modes change nothing.
    EXPECT_EQ(ShadeMode(*form, slot, 3), std::nullopt);
    EXPECT_EQ(ShadeMode(*form, slot, -1), std::nullopt);
    EXPECT_TRUE(slot.existing()->isVisible());

    slot.existing()->move(300, 400);
    EXPECT_EQ(ShadeMode(*form, slot, 1), std::nullopt);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(slot.existing(), nullptr);
    // The window system places the frame and then reports the move.
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->pos() == QPoint(300, 400); }, 2000))
        << form->pos().x() << "," << form->pos().y();
    EXPECT_EQ(ShadeMode(*form, slot, 0), std::optional<std::int16_t>(1));
}

TEST_F(Form1Test, FreshStripShowsPlaceholdersAndTheBarColours) {
    open().show();
    ShadeMode(*form, form->shade(), 2);
    EXPECT_EQ(stripCaption(0), QStringLiteral("---"));
    EXPECT_EQ(stripCaption(2), QStringLiteral("---"));
    EXPECT_EQ(strip().findChild<QWidget*>(QStringLiteral("Marker1"))->width(), toPixels(1305));
    EXPECT_EQ(strip().findChild<Bar*>(QStringLiteral("Marker1"))->fillColour(), QColor(0, 222, 0));
    EXPECT_EQ(strip().size(), QSize(261, 35));
}

TEST_F(Form1Test, ClosingWhileTheStripIsShownStoresTheMainWindowsPlace) {
    store.set(Key::Left, QStringLiteral("1500"));
    open().show();
    ShadeMode(*form, form->shade(), 2);
    form->shade().existing()->move(500, 600);
    form->close();
    EXPECT_EQ(store.value(Key::Left), QStringLiteral("1500"));
}

class DoubleClickTest : public Form1Test,
                        public ::testing::WithParamInterface<std::pair<const char*, bool>> {};

TEST_P(DoubleClickTest, SwitchesToTheStripOnlyWhereListed) {
    const auto [name, switches] = GetParam();
    open().show();
    // Fold out so that the options row can be reached.
    QTest::mouseClick(&control("Config"), Qt::LeftButton);
    for (int i = 0; i < 12; ++i)
        fire("Rozwin");
    QWidget* target = name ? &control(name) : form.get();
    const QPoint where = name ? QPoint(2, 2) : QPoint(5, 5);
    QTest::mouseDClick(target, Qt::LeftButton, {}, where);
    EXPECT_EQ(!form->isVisible(), switches) << (name ? name : "surface");
    EXPECT_EQ(form->shade().existing() && form->shade().existing()->isVisible(), switches);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, DoubleClickTest,
    ::testing::Values(std::pair<const char*, bool>{nullptr, true}, std::pair{"DDF", true},
                      std::pair{"dUsed", true}, std::pair{"dFree", true}, std::pair{"mUsed", true},
                      std::pair{"mFree", true}, std::pair{"pUsed", true}, std::pair{"pFree", true},
                      std::pair{"Stat0", true}, std::pair{"Stat1", true}, std::pair{"Stat2", true},
                      std::pair{"Stat3", true}, std::pair{"Stat4", true}, std::pair{"DDX", false},
                      std::pair{"MDX", false}, std::pair{"PDX", false}, std::pair{"Config", false},
                      std::pair{"Label1", false}, std::pair{"Interval", false},
                      std::pair{"DYSK", false}, std::pair{"AoT", false},
                      std::pair{"LoadColors", false}),
    [](const auto& info) { return std::string(info.param.first ? info.param.first : "surface"); });

struct OtherButtonCase {
    const char* name;
    bool onStrip;
    const char* target; // a label, or null for the surface
    Qt::MouseButton button;
};

class OtherButtonDoubleClickTest : public Form1Test,
                                   public ::testing::WithParamInterface<OtherButtonCase> {};

TEST_P(OtherButtonDoubleClickTest, SwitchesNeitherWay) {
    const OtherButtonCase& c = GetParam();
    open().show();
    if (c.onStrip)
        ShadeMode(*form, form->shade(), 2);
    QWidget& window = c.onStrip ? static_cast<QWidget&>(strip()) : *form;
    QWidget* target = c.target ? window.findChild<QLabel*>(QString::fromLatin1(c.target)) : &window;
    ASSERT_NE(target, nullptr);
    QTest::mouseDClick(target, c.button, {}, QPoint(2, 2));
    EXPECT_EQ(form->isVisible(), !c.onStrip);
    EXPECT_EQ(form->shade().existing() && form->shade().existing()->isVisible(), c.onStrip);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, OtherButtonDoubleClickTest,
    ::testing::Values(OtherButtonCase{"MainSurfaceRight", false, nullptr, Qt::RightButton},
                      OtherButtonCase{"MainSurfaceMiddle", false, nullptr, Qt::MiddleButton},
                      OtherButtonCase{"MainReadoutRight", false, "dFree", Qt::RightButton},
                      OtherButtonCase{"StripSurfaceRight", true, nullptr, Qt::RightButton},
                      OtherButtonCase{"StripCaptionMiddle", true, "Stat1", Qt::MiddleButton}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Form1Test, DoubleClickOnTheStripBringsTheMainWindowBack) {
    open().show();
    ShadeMode(*form, form->shade(), 2);
    WinShade* shown = form->shade().existing();
    QTest::mouseDClick(shown->findChild<QWidget*>(QStringLiteral("Stat1")), Qt::LeftButton);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->shade().existing(), nullptr);
}
