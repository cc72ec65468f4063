// SPDX-License-Identifier: MIT
#include "process/termination_signals.h"

#include <QSocketNotifier>

namespace kelvora {

// Windows ends a program with window messages, which reach the window as a
// close does; no signal to turn into one.
TerminationSignals::TerminationSignals() = default;
TerminationSignals::~TerminationSignals() = default;
void TerminationSignals::onReadable() {}

} // namespace kelvora
