// SPDX-License-Identifier: MIT
#include "process/window_system.h"

namespace kelvora {

// DISPLAY means nothing to Qt here: wine and the X servers people run on
// Windows set it too, and the native platform is the one to use.
void preferPlacingWindowSystem() {}

} // namespace kelvora
