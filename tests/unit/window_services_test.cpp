// SPDX-License-Identifier: MIT
// Dragging the strip: everywhere but on Wayland the strip follows the
// pointer itself, so that the point pressed stays under it; the offscreen
// platform runs that path as X11 and Windows do.

#include "window_services/win_shade.h"
#include "window_services/window_services.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace kelvora;

namespace {

constexpr QPoint kStart(100, 100);
// The first small movement that turns a press into a drag; the point pressed
// is under the pointer again from there on.
constexpr QPoint kFirstStep(2, 1);

class StripDragTest : public ::testing::Test {
public:
    StripDragTest() {
        strip.show();
        strip.move(kStart);
    }

    // Sends one mouse event to `target` (the strip or one of its labels) at a
    // point given in screen coordinates, as the window system would.
    void send(QWidget& target, QEvent::Type type, QPoint global, Qt::MouseButton button,
              Qt::MouseButtons buttons) {
        QCursor::setPos(global);
        QMouseEvent event(type, QPointF(target.mapFromGlobal(global)), QPointF(global), button,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(&target, &event);
    }
    // Press, the first small step, a move to `delta` from the press in a few
    // steps, release: what a short drag delivers.
    void drag(QWidget& target, QPoint from, QPoint delta, Qt::MouseButton button,
              Qt::MouseButtons held) {
        send(target, QEvent::MouseButtonPress, from, button, held);
        send(target, QEvent::MouseMove, from + kFirstStep, Qt::NoButton, held);
        send(target, QEvent::MouseMove, from + delta / 2, Qt::NoButton, held);
        send(target, QEvent::MouseMove, from + delta, Qt::NoButton, held);
        send(target, QEvent::MouseButtonRelease, from + delta, button, held & ~button);
        // What the event loop does between two user actions.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QWidget& target(const char* name) {
        if (!name)
            return strip;
        auto* label = strip.findChild<QLabel*>(QString::fromLatin1(name));
        EXPECT_NE(label, nullptr) << name;
        return label ? *static_cast<QWidget*>(label) : strip;
    }

    WinShade strip;
};

struct DragCase {
    const char* name;
    const char* target; // a label of the strip, or null for its surface
    Qt::MouseButton button;
    Qt::MouseButtons held;
    bool moves;
};

class StripDragCaseTest : public StripDragTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(StripDragCaseTest, FollowsThePointerOnlyWithTheLeftButtonAlone) {
    const DragCase& c = GetParam();
    const QPoint grab = kStart + QPoint(30, 5);
    const QPoint delta(120, 64);
    drag(target(c.target), grab, delta, c.button, c.held);
    EXPECT_EQ(strip.pos(), c.moves ? kStart + delta : kStart);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, StripDragCaseTest,
    ::testing::Values(DragCase{"SurfaceLeft", nullptr, Qt::LeftButton, Qt::LeftButton, true},
                      DragCase{"LabelLeft", "Stat1", Qt::LeftButton, Qt::LeftButton, true},
                      DragCase{"SurfaceRight", nullptr, Qt::RightButton, Qt::RightButton, false},
                      DragCase{"SurfaceMiddle", nullptr, Qt::MiddleButton, Qt::MiddleButton, false},
                      DragCase{"LeftWithRight", nullptr, Qt::LeftButton,
                               Qt::LeftButton | Qt::RightButton, false},
                      DragCase{"LabelLeftWithMiddle", "Stat2", Qt::LeftButton,
                               Qt::LeftButton | Qt::MiddleButton, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StripDragTest, EveryDragStartsAfreshAndEndsWithTheRelease) {
    drag(strip, kStart + QPoint(10, 10), QPoint(50, 20), Qt::LeftButton, Qt::LeftButton);
    const QPoint dropped = kStart + QPoint(50, 20);
    ASSERT_EQ(strip.pos(), dropped);
    // Moving with no button held after the release leaves the strip alone.
    send(strip, QEvent::MouseMove, strip.pos() + QPoint(200, 200), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(strip.pos(), dropped);
    // A second drag, grabbed at another point, moves it on by its own distance.
    drag(strip, strip.pos() + QPoint(200, 20), QPoint(-80, 40), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(strip.pos(), dropped + QPoint(-80, 40));
}

TEST_F(StripDragTest, AClickWithoutMovementLeavesTheStripWhereItWas) {
    const QPoint at = kStart + QPoint(40, 10);
    send(strip, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    send(strip, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(strip.pos(), kStart);
}

} // namespace
