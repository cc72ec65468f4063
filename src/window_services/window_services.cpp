// SPDX-License-Identifier: MIT
#include "window_services/window_services.h"

#include "window_services/motif_hints.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace kelvora {

namespace {

QWindow& nativeWindow(QWidget& window) {
    window.winId();
    return *window.windowHandle();
}

// Moves a window with the pointer until the left button comes up, keeping the
// point grabbed under the pointer. It removes itself on release, so nothing
// outlives the drag.
class PointerFollower : public QObject {
    Q_OBJECT
public:
    // `grabOffset`: where the pointer stays, from the window's position.
    PointerFollower(QWidget& window, QPoint grabOffset)
        : QObject(&window), m_window(window), m_grabOffset(grabOffset) {
        m_window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) {
            m_window.move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() -
                          m_grabOffset);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            deleteLater();
        }
        return false;
    }

private:
    QWidget& m_window;
    QPoint m_grabOffset;
};

// Qt writes a window's hints for the window manager afresh when it makes a
// native window: at the first show, and on X11 at the next show after a
// change of band, which makes a new X window inside the same QWindow without
// telling the widget. So the hints are written again before each show, and
// once the window is mapped when it is another native window by then.
class FixedFrame : public QObject {
    Q_OBJECT
public:
    explicit FixedFrame(QWidget& window) : QObject(&window), m_window(window) {
        m_window.installEventFilter(this);
    }

    void write() {
        // QWindow::winId() would make a native window that is not there.
        QWindow* handle = m_window.windowHandle();
        if (handle && handle->handle()) {
            dropResizeFunctions(m_window);
            m_writtenTo = handle->winId();
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_window &&
            (event->type() == QEvent::WinIdChange || event->type() == QEvent::Show)) {
            write();
            if (QWindow* handle = m_window.windowHandle()) {
                handle->installEventFilter(this);
            }
        } else if (watched == m_window.windowHandle() && event->type() == QEvent::Expose &&
                   m_window.windowHandle()->winId() != m_writtenTo) {
            write();
        }
        return false;
    }

private:
    QWidget& m_window;
    WId m_writtenTo = 0;
};

void setOnTopFlag(QWidget& window, bool onTop) {
    window.windowHandle()->setFlag(Qt::WindowStaysOnTopHint, onTop);
    if (auto* frame = window.findChild<FixedFrame*>(QString(), Qt::FindDirectChildrenOnly)) {
        frame->write();
    }
}

// Holds the on-top band asked for while a window is not shown, and puts the
// window there once the window manager has mapped it (its first exposure).
// A window mapped straight into the topmost band leaves Qt wrong by the
// frame's border about where it is under some managers (IceWM), so every
// start and close would move it; a mapped window changes band in place. It
// removes itself then, so nothing outlives the show.
class PendingOnTop : public QObject {
    Q_OBJECT
public:
    PendingOnTop(QWidget& window, bool onTop) : QObject(&window), m_window(window), m_onTop(onTop) {
        m_window.installEventFilter(this);
    }
    void set(bool onTop) { m_onTop = onTop; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A widget has its native window by the time it hears it is shown.
        if (watched == &m_window && event->type() == QEvent::Show) {
            m_window.windowHandle()->installEventFilter(this);
        } else if (watched == m_window.windowHandle() && event->type() == QEvent::Expose &&
                   m_window.windowHandle()->isExposed()) {
            setOnTopFlag(m_window, m_onTop);
            deleteLater();
        }
        return false;
    }

private:
    QWidget& m_window;
    bool m_onTop;
};

} // namespace

void SetAlwaysOnTop(QWidget& window, bool onTop) {
    if (!window.isVisible()) {
        auto* pending = window.findChild<PendingOnTop*>(QString(), Qt::FindDirectChildrenOnly);
        if (pending) {
            pending->set(onTop);
        } else {
            new PendingOnTop(window, onTop);
        }
        return;
    }
    // QWidget::setWindowFlag would re-create the native window, which hides
    // it and lets the window manager shift it; the QWindow flag is applied
    // live.
    nativeWindow(window);
    setOnTopFlag(window, onTop);
}

void keepFrameFixed(QWidget& window) {
    if (!window.findChild<FixedFrame*>(QString(), Qt::FindDirectChildrenOnly)) {
        new FixedFrame(window);
    }
}

// A window system's own move holds the window by the point under the pointer
// when the move begins. With Qt on X11 that is the point of the last pointer
// event, which lies past the press by the motion that began the drag, and it
// cannot be given another. So the window follows the pointer itself wherever
// it may place itself; only a Wayland compositor keeps that to its own move.
void BeginWindowDrag(QWidget& window, QPoint grabbed) {
    if (window.findChild<PointerFollower*>(QString(), Qt::FindDirectChildrenOnly)) {
        return;
    }
    if (!windowPositionsKnown() && nativeWindow(window).startSystemMove()) {
        return;
    }
    const QPoint grabOffset = window.mapToGlobal(grabbed) - window.pos();
    // The motion that began the drag is made up at once.
    window.move(QCursor::pos() - grabOffset);
    new PointerFollower(window, grabOffset);
}

void SetWindowAlpha(QWidget& window, std::uint8_t alpha) {
    window.setWindowOpacity(alpha / 255.0);
    // The opacity reaches the X server with the next repaint.
    window.update();
}

bool windowPositionsKnown() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace kelvora

#include "window_services.moc"
