// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>

#include <cstdint>

class QWidget;

namespace kelvora {

// Operations on a top-level window. Each takes the window and the value every
// time and keeps nothing; the state lives in the window system. A window that
// has no native window yet gets one, hidden.

// Puts the window into the topmost band, or back into the normal band, without
// re-creating, hiding or moving it. A window not shown yet goes there once
// the window manager has mapped it.
void SetAlwaysOnTop(QWidget& window, bool onTop);

// Moves the window with the pointer for the left-button drag under way, until
// the button is released. `grabbed` is the point of the window (in its own
// coordinates) that was pressed: it is brought under the pointer at once,
// however far the pointer went before the drag began, and stays there.
void BeginWindowDrag(QWidget& window, QPoint grabbed);

// Makes the whole window uniformly translucent: 0 transparent, 255 opaque.
void SetWindowAlpha(QWidget& window, std::uint8_t alpha);

// Keeps the window's frame fixed for the window managers that take equal
// minimum and maximum sizes only as advice: the window offers them no resize
// and no maximise function, from when its native window is made and after
// every change of its band here. The program still sets its size itself.
void keepFrameFixed(QWidget& window);

// False where the window system keeps a window's place on the screen from
// the program (Wayland): the position Qt reports there is made up once the
// window is shown, and the program's own moves are not carried out.
bool windowPositionsKnown();

} // namespace kelvora
