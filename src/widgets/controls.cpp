#include "widgets/controls.h"

#include "widgets/twips.h"

#include <QMouseEvent>
#include <QPainter>

namespace kelvora {

ShapeFrame::ShapeFrame(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

Bar::Bar(QWidget* parent, Outline outline) : QWidget(parent), m_outline(outline) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Bar::setFillColour(const QColor& colour) {
    if (colour == m_fill) {
        return;
    }
    m_fill = colour;
    update();
}

void Bar::setWidthTwips(double twips) {
    const int pixels = twips > 0 ? toPixels(twips) : 0;
    if (pixels == width()) {
        return;
    }
    resize(pixels, height());
    // A widget of width 0 still counts as shown; hide it so that it neither
    // paints nor takes clicks.
    setVisible(pixels > 0);
}

void Bar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_fill);
    if (m_outline == Outline::Drawn) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

ClickFilter::ClickFilter(QWidget& control) : QObject(&control), m_control(control) {
    control.installEventFilter(this);
}

bool ClickFilter::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_pressed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        return false;
    case QEvent::MouseButtonRelease: {
        const auto* release = static_cast<QMouseEvent*>(event);
        const bool click = m_pressed && release->button() == Qt::LeftButton &&
                           m_control.rect().contains(release->position().toPoint());
        m_pressed = false;
        if (click) {
            emit clicked();
        }
        return false;
    }
    case QEvent::MouseButtonDblClick:
        return true;
    default:
        return false;
    }
}

void setTextColour(QWidget& control, const QColor& colour) {
    QPalette palette = control.palette();
    palette.setColor(QPalette::WindowText, colour);
    control.setPalette(palette);
}

void place(QWidget& control, const Place& where) {
    control.setObjectName(QString::fromLatin1(where.name));
    control.setGeometry(toPixels(where));
}

bool setCaption(QLabel& label, const QString& text) {
    if (label.text() == text) {
        return false;
    }
    label.setText(text);
    return true;
}

} // namespace kelvora
