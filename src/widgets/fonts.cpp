// SPDX-License-Identifier: MIT
#include "widgets/fonts.h"

#include <QStringList>

namespace kelvora {

QFont tahoma(double points, QFont::Weight weight) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

void installFontSubstitutes() {
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("DejaVu Sans Condensed"),
                                                          QStringLiteral("DejaVu Sans")});
}

} // namespace kelvora
