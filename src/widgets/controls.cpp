// SPDX-License-Identifier: MIT
#include "widgets/controls.h"

#include "widgets/accessible_controls.h"
#include "widgets/twips.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

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
    // A dotted line inside the edge, in black or white against the fill: a
    // swatch with the keyboard focus still shows its colour unchanged.
    if (hasFocus()) {
        painter.setPen(QPen(qGray(m_fill.rgb()) < 128 ? Qt::white : Qt::black, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

LevelBar::LevelBar(QWidget* parent, const QWidget& frame)
    : Bar(parent, Outline::None), m_frame(frame) {
    registerAccessibleControls();
}

void LevelBar::setLevel(double share) {
    m_share = share;
    setWidthTwips(share * toTwips(m_frame.width()));
}

double LevelBar::percent() const {
    if (m_frame.width() <= 0) {
        return 0;
    }
    const double share = m_share ? *m_share : static_cast<double>(width()) / m_frame.width();
    return std::clamp(share * 100, 0.0, 100.0);
}

ButtonLabel::ButtonLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setFocusPolicy(Qt::TabFocus);
    registerAccessibleControls();
    connect(new ClickFilter(*this), &ClickFilter::clicked, this, &ButtonLabel::activated);
}

void ButtonLabel::setExpanded(bool expanded) {
    if (m_expanded == expanded) {
        return;
    }
    m_expanded = expanded;
    if (QAccessible::isActive()) {
        QAccessible::State changed;
        changed.expanded = true;
        changed.collapsed = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
}

void ButtonLabel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (!event->isAutoRepeat() &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        emit activated();
        return;
    }
    QLabel::keyPressEvent(event);
}

// The focus is drawn around the caption as the style draws it for other
// controls: where the style shows it only once the keyboard has been used,
// a window that opens with the focus here looks as before.
void ButtonLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) {
        return;
    }
    QPainter painter(this);
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = style()
                     ->itemTextRect(fontMetrics(), contentsRect(), alignment(), true, text())
                     .adjusted(-1, -1, 1, 1)
                     .intersected(rect());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

namespace {

// The classic check box: a 13-pixel box with the caption one pixel beside it.
constexpr int kCheckBoxIndicator = 13;
constexpr int kCheckBoxCaptionLeft = kCheckBoxIndicator + 1;

// Greedy word wrap: as many words on a line as fit `width`, measured by
// their ink, so that no pixel column of a glyph falls outside. A single word
// wider than `width` keeps a line of its own.
QStringList wrapWords(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    QString line;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + u' ' + word;
        if (!line.isEmpty() && metrics.boundingRect(longer).width() > width) {
            lines.append(line);
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty()) {
        lines.append(line);
    }
    return lines;
}

} // namespace

WrappingCheckBox::WrappingCheckBox(const QString& caption, const QColor& ground, QWidget* parent)
    : QCheckBox(caption, parent), m_ground(ground) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

// Lines are spaced by the font's line spacing where the box has room, and
// moved closer, by the glyphs' own height, where it has not: two lines of
// 8 point text fit a 21-pixel box that way, though not at full spacing.
void WrappingCheckBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_ground);

    QStyleOptionButton option;
    initStyleOption(&option);
    QStyleOptionButton indicator = option;
    indicator.rect =
        QRect(0, (height() - kCheckBoxIndicator) / 2, kCheckBoxIndicator, kCheckBoxIndicator);
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &indicator, &painter, this);

    const QFontMetrics metrics = fontMetrics();
    const QStringList lines = wrapWords(text(), metrics, width() - kCheckBoxCaptionLeft);
    if (lines.isEmpty()) {
        return;
    }
    const QRect ink = metrics.tightBoundingRect(text());
    const auto gaps = static_cast<int>(lines.size()) - 1;
    int pitch = metrics.lineSpacing();
    if (gaps > 0) {
        // A pixel of the box's ground above and below the text.
        const int room = (height() - 2 - ink.height()) / gaps;
        pitch = std::clamp(room, ink.height() + 1, pitch);
    }
    const int block = gaps * pitch + ink.height();
    int baseline = (height() - block) / 2 - ink.top();
    painter.setFont(font());
    painter.setPen(option.palette.color(QPalette::WindowText));
    int widest = 0;
    for (const QString& line : lines) {
        painter.drawText(kCheckBoxCaptionLeft, baseline, line);
        widest = std::max(widest, metrics.boundingRect(line).width());
        baseline += pitch;
    }
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = QRect(kCheckBoxCaptionLeft, (height() - block) / 2, widest, block)
                         .adjusted(-1, -1, 1, 1)
                         .intersected(rect());
        focus.backgroundColor = m_ground;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

bool WrappingCheckBox::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}

TitledWindow::TitledWindow(Qt::WindowFlags flags) : QWidget(nullptr, flags) {
    registerAccessibleControls();
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
