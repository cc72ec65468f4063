// SPDX-License-Identifier: MIT
#include "window_services/win_shade.h"

#include "texts/shared_texts.h"
#include "widgets/fonts.h"
#include "widgets/pictures.h"
#include "widgets/twips.h"
#include "window_services/window_services.h"

#include <QCloseEvent>
#include <QMouseEvent>

#include <algorithm>

namespace kelvora {

namespace {

constexpr int kClientWidth = 3915;
constexpr int kClientHeight = 525;

// Per row (0 drive, 1 memory, 2 CPU): the track, the bar, which starts at
// this width until the first refresh, and the caption over them.
struct RowPlaces {
    Place MF;
    Place Marker;
    Place Stat;
};

constexpr RowPlaces kRowPlaces[] = {
    {{"MF0", 0, 0, 3915, 165}, {"Marker0", 0, 0, 1305, 165}, {"Stat0", 1185, 0, 1635, 165}},
    {{"MF1", 0, 180, 3915, 165}, {"Marker1", 0, 180, 1305, 165}, {"Stat1", 1170, 180, 1635, 165}},
    {{"MF2", 0, 360, 3915, 165}, {"Marker2", 0, 360, 1305, 165}, {"Stat2", 1170, 360, 1635, 165}},
};

} // namespace

WinShade::WinShade()
    : TitledWindow(Qt::Window | Qt::FramelessWindowHint), m_background(stripBackground(1)) {
    setObjectName(QStringLiteral("WinShade"));
    setWindowTitle(QString::fromUtf8(shared::kStripCaption));
    setFixedSize(toPixels(kClientWidth), toPixels(kClientHeight));
    keepFrameFixed(*this);

    const QFont font = tahoma(6.75, QFont::Normal);
    for (int row = 0; row < 3; ++row) {
        const RowPlaces& where = kRowPlaces[row];
        m_MF[row] = new ShapeFrame(this);
        place(*m_MF[row], where.MF);

        m_Marker[row] = new Bar(this, Bar::Outline::Drawn);
        // Bars take no input: clicks and drags over them reach the strip.
        m_Marker[row]->setAttribute(Qt::WA_TransparentForMouseEvents);
        place(*m_Marker[row], where.Marker);

        m_Stat[row] = new QLabel(QString::fromUtf8(shared::kStripPlaceholder), this);
        m_Stat[row]->setFont(font);
        m_Stat[row]->setAlignment(Qt::AlignCenter);
        m_Stat[row]->setTextFormat(Qt::PlainText);
        place(*m_Stat[row], where.Stat);
        setTextColour(*m_Stat[row], Qt::black);
    }
}

void WinShade::load(std::optional<std::uint8_t> alpha, const QWidget& mainWindow,
                    const std::array<QColor, 3>& barColours) {
    if (alpha) {
        SetWindowAlpha(*this, *alpha);
    }
    const QRect main = mainWindow.frameGeometry();
    const float left = static_cast<float>(toTwips(main.x())) +
                       static_cast<float>(toTwips(main.width()) - toTwips(width())) / 2.0f;
    const float top = static_cast<float>(toTwips(main.y())) +
                      static_cast<float>(toTwips(main.height()) - toTwips(height())) / 2.0f;
    move(toPixels(left), toPixels(top));
    for (int row = 0; row < 3; ++row) {
        m_Marker[row]->setFillColour(barColours[row]);
    }
    for (QLabel* caption : m_Stat) {
        caption->raise();
    }
}

double WinShade::trackWidthTwips(int row) const {
    return toTwips(m_MF[row]->width());
}

void WinShade::setMarkerWidthTwips(int row, double twips) {
    m_Marker[row]->setWidthTwips(twips);
}

void WinShade::setStatCaption(int row, const QString& text) {
    // Measuring text is the dearest part of a refresh; a hidden strip is
    // fitted when it is shown.
    if (setCaption(*m_Stat[row], text) && isVisible()) {
        fitStatCaption(row);
    }
}

// A readout wider than its laid-out box grows both ways about the box's
// centre, so that it stays centred and is not cut off at either end.
void WinShade::fitStatCaption(int row) {
    QLabel& caption = *m_Stat[row];
    const QRect laidOut = toPixels(kRowPlaces[row].Stat);
    const int textWidth = std::clamp(caption.sizeHint().width(), laidOut.width(), width());
    const int left = std::clamp(laidOut.center().x() - textWidth / 2, 0, width() - textWidth);
    caption.setGeometry(left, laidOut.y(), textWidth, laidOut.height());
}

void WinShade::showEvent(QShowEvent*) {
    for (int row = 0; row < 3; ++row) {
        fitStatCaption(row);
    }
}

void WinShade::paintEvent(QPaintEvent*) {
    paintGround(*this, m_background, stripBackground);
}

void WinShade::mousePressEvent(QMouseEvent* event) {
    m_dragBegun = false;
    m_pressedAt = mapFromGlobal(event->globalPosition().toPoint());
    event->ignore();
}

// One drag per press. The strip follows the pointer from the first motion,
// already away from the press, keeping the point pressed under the pointer;
// on Wayland, where the compositor's own move does that, a second move
// request would start another move when the first ends and swallow the next
// click (the first half of a double-click).
void WinShade::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::LeftButton && !m_dragBegun) {
        m_dragBegun = true;
        BeginWindowDrag(*this, m_pressedAt);
    }
}

void WinShade::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    emit doubleClicked();
}

// The strip has no close box; when the window system closes it anyway the
// user gets the main window back rather than an invisible program.
void WinShade::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit doubleClicked();
}

} // namespace kelvora
