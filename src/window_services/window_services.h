#pragma once

#include <cstdint>

class QWidget;

namespace kelvora {

// Operations on a top-level window. Each takes the window and the value every
// time and keeps nothing; the state lives in the window system. A window that
// has no native window yet gets one, hidden.

// Puts the window into the topmost band, or back into the normal band, without
// re-creating, hiding or moving it.
void SetAlwaysOnTop(QWidget& window, bool onTop);

// Hands the left-button drag that is under way to the window system, which
// moves the window with the pointer until the button is released. Where the
// window system has no move of its own the window follows the pointer itself.
void BeginWindowDrag(QWidget& window);

// Makes the whole window uniformly translucent: 0 transparent, 255 opaque.
void SetWindowAlpha(QWidget& window, std::uint8_t alpha);

} // namespace kelvora
