#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>

namespace kelvora {

// The thin outline that shows a bar's full scale. It takes no input, so clicks
// and double-clicks on it reach the window surface beneath.
class ShapeFrame : public QWidget {
public:
    explicit ShapeFrame(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A filled bar. When `clickable`, a press and release on it is one click and
// double-clicks go nowhere; otherwise it is transparent to the mouse.
class Bar : public QWidget {
    Q_OBJECT
public:
    Bar(QWidget* parent, bool clickable, bool outlined);

    QColor fillColour() const { return m_fill; }
    void setFillColour(const QColor& colour);
    // Width in twips; a negative width draws nothing.
    void setWidthTwips(double twips);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QColor m_fill;
    bool m_outlined;
    bool m_pressed = false;
};

// A caption that acts on a single click and keeps double-clicks to itself.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

// Keeps double-clicks on the controls it is installed on from reaching the
// window surface, where they would switch to the strip.
class DoubleClickBlocker : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Names a control after its layout name and puts it at its place in twips.
void place(QWidget& control, const QString& name, int left, int top, int width, int height);

// Replaces a readout's text only when it changed, so an unchanged readout
// costs no repaint.
void setCaption(QLabel& label, const QString& text);

} // namespace kelvora
