// SPDX-License-Identifier: MIT
#pragma once

#include "format/unit_table.h"
#include "meter/tick_text.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>

// The texts a refresh writes into the readouts, composed in buffers kept from
// tick to tick.
namespace kelvora {

// part / whole; empty when whole is 0, a figure nothing can be divided by: a
// drive without medium (total 0), or a stored unit divisor of 0.
std::optional<double> divide(double part, double whole);

// prefix, the figure in the row's unit, then its share as a percentage in
// brackets, into `readout`: "Free: 12.34 GB (25.0%)". False, with the readout
// left unfinished, when the unit's divisor is 0.
bool composeReadout(TickText& readout, std::string_view prefix, double figure,
                    const UnitState& unit, double share, std::string_view separator);

// The strip repeats a free readout of the main window behind its own prefix.
const QString& composeStripCaption(TickText& caption, std::string_view prefix,
                                   const TickText& readout);

// prefix and a whole percentage: "Used: 42%".
const QString& composeLoad(TickText& readout, std::string_view prefix, int percent);

// A CPU reading as the 16-bit number the readouts show; a wild clock jump
// saturates instead of wrapping into a plausible-looking load.
std::int16_t loadReading(std::int32_t reading);

} // namespace kelvora
