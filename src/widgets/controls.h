// SPDX-License-Identifier: MIT
#pragma once

#include "widgets/twips.h"

#include <QCheckBox>
#include <QColor>
#include <QLabel>
#include <QWidget>

#include <optional>

class QKeyEvent;

namespace kelvora {

// The thin outline that shows a bar's full scale. It takes no input, so clicks
// and double-clicks on it reach the window surface beneath.
class ShapeFrame : public QWidget {
public:
    explicit ShapeFrame(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A filled bar; the strip's bars are outlined, the others are not. Given a
// focus policy it shows when it has the keyboard focus.
class Bar : public QWidget {
public:
    enum class Outline { None, Drawn };

    Bar(QWidget* parent, Outline outline);

    QColor fillColour() const { return m_fill; }
    void setFillColour(const QColor& colour);
    // Width in twips; a negative width draws nothing.
    void setWidthTwips(double twips);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill;
    Outline m_outline;
};

// A meter's bar: it shows a share of the width of its frame, its full scale,
// which screen readers get as a value from 0 to 100 under the bar's
// accessible name whenever they ask. Like a battery level it is never
// announced unasked: a meter's level changes all the time.
class LevelBar : public Bar {
    Q_OBJECT
public:
    LevelBar(QWidget* parent, const QWidget& frame);

    // Sizes the bar to `share` of its frame; nothing is clamped, so a share
    // above 1 reaches beyond the frame and one below 0 draws nothing.
    void setLevel(double share);
    // The share the bar shows, in percent: 0 to 100.
    double percent() const;

private:
    const QWidget& m_frame;
    // None until the first reading: the bar shows its laid-out width then.
    std::optional<double> m_share;
};

// A caption that works as a button: a click, or Space or Enter while it has
// the keyboard focus, activates it, and screen readers see a button with a
// press action. Only the keyboard gives it the focus, so a click leaves its
// looks alone; its double-clicks stop at it.
class ButtonLabel : public QLabel {
    Q_OBJECT
public:
    ButtonLabel(const QString& text, QWidget* parent);

    // For a caption that folds something out and in: screen readers then
    // read it as expandable, and expanded or collapsed as given here.
    void setExpanded(bool expanded);
    std::optional<bool> expanded() const { return m_expanded; }

signals:
    void activated();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<bool> m_expanded;
};

// The drop shadow drawn behind a caption: a copy of its text, offset and in
// another colour. Screen readers never see it, so the caption is read once.
class ShadowLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
};

// A top-level window of the program: screen readers see a window (a frame,
// to AT-SPI) named by its title, as they see a standard main window, and
// read its title on request.
class TitledWindow : public QWidget {
    Q_OBJECT
public:
    explicit TitledWindow(Qt::WindowFlags flags);
};

// A check box on a ground of its own colour whose caption, when wider than
// the box, wraps onto further lines inside the box's height, as a narrow
// check box shows a long caption, rather than being cut off. The whole box
// takes the clicks.
class WrappingCheckBox : public QCheckBox {
public:
    WrappingCheckBox(const QString& caption, const QColor& ground, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QColor m_ground;
};

// Watches a control: a press and release of the left button inside it is one
// click, and its double-clicks stop there instead of reaching the window
// surface, where they would switch to the strip. The control's own mouse
// handling is left alone, so the second press of a double-click is not a
// click of its own.
class ClickFilter : public QObject {
    Q_OBJECT
public:
    explicit ClickFilter(QWidget& control);

signals:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_control;
    bool m_pressed = false;
};

void setTextColour(QWidget& control, const QColor& colour);

// Names a control after its layout name and puts it at its place.
void place(QWidget& control, const Place& where);

// Replaces a readout's text only when it changed, so an unchanged readout
// costs no repaint; true when it changed.
bool setCaption(QLabel& label, const QString& text);

} // namespace kelvora
