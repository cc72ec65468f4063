// SPDX-License-Identifier: MIT
#pragma once

namespace kelvora {

// Chooses the window system Qt connects to, before the application object
// exists: X11 whenever an X display is there and the user named no platform
// (QT_QPA_PLATFORM), because the windows are placed at stored positions and
// the strip is dragged without a title bar, which a Wayland client cannot
// do; XWayland offers X11 on Wayland desktops. Elsewhere the system's own.
void preferPlacingWindowSystem();

} // namespace kelvora
