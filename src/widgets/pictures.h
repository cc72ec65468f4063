// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QImage>

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
// A triangle shaded from purple at the apex to green and yellow at the base.
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
