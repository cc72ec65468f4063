#include "meter/controls.h"

#include "meter/twips.h"

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

Bar::Bar(QWidget* parent, bool clickable, bool outlined) : QWidget(parent), m_outlined(outlined) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (!clickable)
        setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Bar::setFillColour(const QColor& colour) {
    if (colour == m_fill)
        return;
    m_fill = colour;
    update();
}

void Bar::setWidthTwips(double twips) {
    const int pixels = twips > 0 ? toPixels(twips) : 0;
    if (pixels == width())
        return;
    resize(pixels, height());
    // A widget of width 0 still counts as shown; hide it so that it neither
    // paints nor takes clicks.
    setVisible(pixels > 0);
}

void Bar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_fill);
    if (m_outlined) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void Bar::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
}

void Bar::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        emit clicked();
}

// The press of a double-click already made the first click; the second
// press arrives as this event and is not a click of its own.
void Bar::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

bool DoubleClickBlocker::eventFilter(QObject*, QEvent* event) {
    return event->type() == QEvent::MouseButtonDblClick;
}

void place(QWidget& control, const QString& name, int left, int top, int width, int height) {
    control.setObjectName(name);
    control.setGeometry(toPixels(left, top, width, height));
}

void setCaption(QLabel& label, const QString& text) {
    if (label.text() == text)
        return;
    label.setText(text);
}

} // namespace kelvora
