#include "meter/fonts.h"

#include <QFont>
#include <QStringList>

namespace kelvora {

void installFontSubstitutes() {
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("DejaVu Sans Condensed"),
                                                          QStringLiteral("DejaVu Sans")});
}

} // namespace kelvora
