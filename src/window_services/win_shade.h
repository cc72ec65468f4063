// SPDX-License-Identifier: MIT
#pragma once

#include "widgets/controls.h"

#include <QImage>
#include <QLabel>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

namespace kelvora {

// The thin borderless strip that can stand in for the main window: per row
// (0 drive, 1 memory, 2 CPU) a track `MF`, a bar `Marker` and a caption `Stat`.
class WinShade : public TitledWindow {
    Q_OBJECT
public:
    WinShade();

    // The strip's load: opacity (none when the stored value was unreadable),
    // centred over `mainWindow`, bar colours, captions in front of the bars.
    void load(std::optional<std::uint8_t> alpha, const QWidget& mainWindow,
              const std::array<QColor, 3>& barColours);

    double trackWidthTwips(int row) const;
    void setMarkerWidthTwips(int row, double twips);
    void setStatCaption(int row, const QString& text);

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void fitStatCaption(int row);

    QImage m_background;
    std::array<ShapeFrame*, 3> m_MF{};
    std::array<Bar*, 3> m_Marker{};
    std::array<QLabel*, 3> m_Stat{};
    // Set once the current press has handed its drag to BeginWindowDrag.
    bool m_dragBegun = false;
    // The strip's point under the pointer when the button went down.
    QPoint m_pressedAt;
};

} // namespace kelvora
