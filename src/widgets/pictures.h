// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPointF>

#include <array>

class QWidget;

namespace kelvora {

// The program's pictures are drawn in code, so there is no resource file to
// keep in step with them. `scale` is the screen's device pixel ratio,
// rounded up: the pictures keep their logical size.

// Brushed-metal texture of the main window: 479 × 142, 16 greys 208-249.
QImage mainBackground(int scale);
// Light-grey ground of the strip: 287 × 49, greys 180-238.
QImage stripBackground(int scale);
// Draws `ground` unscaled at the widget's top-left corner, first remaking it
// with `make` when the screen's pixel ratio is not the one it was made for.
void paintGround(QWidget& widget, QImage& ground, QImage (*make)(int scale));
// The program's icon is a triangle whose corners have colours of their own,
// blended across it: purple at the apex, green and yellow at the base. Every
// picture of it, in the window, the desktop's files and the scalable icon,
// is made from these corners: the apex, then the left and the right corner
// of the base, at `size` pixels.
struct IconCorner {
    QPointF at;
    QColor colour;
};
std::array<IconCorner, 3> programIconCorners(int size);

QIcon programIcon();
// The same triangle at any square size, for the icon files the desktop uses.
QImage programIconImage(int size);
// The colour button: three stripes in a black box, white margin transparent,
// kColorsButtonPictureSize logical pixels square.
inline constexpr int kColorsButtonPictureSize = 20;
QImage colorsButtonPicture(int scale);
// The same picture for plain and dense screens.
QIcon colorsButtonIcon();

} // namespace kelvora
