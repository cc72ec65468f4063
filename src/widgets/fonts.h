// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>

namespace kelvora {

// The face every window's texts are laid out in.
QFont tahoma(double points, QFont::Weight weight);

// The layout is measured in Tahoma. Where it is missing, DejaVu Sans
// Condensed lays text out within a pixel of it; plain DejaVu Sans is 12 %
// wider and would overrun the captions' places.
void installFontSubstitutes();

} // namespace kelvora
