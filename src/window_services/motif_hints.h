// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

namespace kelvora {

// Takes the resize and maximise functions out of the hints a window system
// gives window managers for the window's native window (on X11 the Motif
// hints, which Qt writes with resizing always allowed), keeping every other
// function and decoration Qt chose. Does nothing where the window system has
// no such hints or the window has no native window yet.
void dropResizeFunctions(QWidget& window);

} // namespace kelvora
