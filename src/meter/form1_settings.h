// SPDX-License-Identifier: MIT
#pragma once

#include "format/unit_table.h"
#include "settings/settings_keys.h"

#include <QColor>

// What the main window shows when nothing is stored; a loading step that
// fails leaves its value at this.
namespace kelvora {

UnitState defaultUnit(Key number, Key format, Key counter);
// Set 0 is the drive bar, 1 memory, 2 CPU.
QColor defaultColour(int set);

} // namespace kelvora
