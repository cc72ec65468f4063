// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace kelvora {

// The unit of one readout row: byte figures are divided by divisor and rendered with pattern.
// The three values are stored and loaded independently; only stepUnit derives the pattern and
// divisor from the counter.
struct UnitState {
    std::int16_t counter;
    std::string pattern;
    std::int32_t divisor;
};

// One click on a row's bar. Advances the counter (4 becomes 0, so the row cycles bytes,
// kilobytes, megabytes, gigabytes). When the new counter names a row of the unit table
// (0 to 3), pattern and divisor take that row and the result is true: the readouts must be
// refreshed now. Any other counter, only reachable from a hand-edited setting, just advances
// and the result is false.
bool stepUnit(UnitState& state);

} // namespace kelvora
