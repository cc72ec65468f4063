// SPDX-License-Identifier: MIT
// Windows gives a window a fixed frame through the window's own style, which
// Qt sets from Qt::MSWindowsFixedSizeDialogHint: there is nothing to add.
#include "window_services/motif_hints.h"

namespace kelvora {

void dropResizeFunctions(QWidget&) {}

} // namespace kelvora
