#include "window_services/window_services.h"

#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace kelvora {

namespace {

QWindow& nativeWindow(QWidget& window) {
    window.winId();
    return *window.windowHandle();
}

// Moves a window with the pointer until the left button comes up, for window
// systems (no window manager on X11) that refuse a system move. It removes
// itself on release, so nothing outlives the drag.
class PointerFollower : public QObject {
    Q_OBJECT
public:
    explicit PointerFollower(QWidget& window)
        : QObject(&window), m_window(window), m_grabOffset(QCursor::pos() - window.pos()) {
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

} // namespace

void SetAlwaysOnTop(QWidget& window, bool onTop) {
    // QWidget::setWindowFlag would re-create the native window, which hides
    // it and lets the window manager shift it; the QWindow flag is applied
    // live.
    nativeWindow(window).setFlag(Qt::WindowStaysOnTopHint, onTop);
}

void BeginWindowDrag(QWidget& window) {
    if (window.findChild<PointerFollower*>(QString(), Qt::FindDirectChildrenOnly)) {
        return;
    }
    if (!nativeWindow(window).startSystemMove()) {
        new PointerFollower(window);
    }
}

void SetWindowAlpha(QWidget& window, std::uint8_t alpha) {
    window.setWindowOpacity(alpha / 255.0);
    // The opacity reaches the X server with the next repaint.
    window.update();
}

} // namespace kelvora

#include "window_services.moc"
