// SPDX-License-Identifier: MIT
#include "process/window_system.h"

#include <QByteArray>

namespace kelvora {

void preferPlacingWindowSystem() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    }
}

} // namespace kelvora
