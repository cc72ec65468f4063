// SPDX-License-Identifier: MIT
#include "format/unit_table.h"

#include <array>
#include <limits>
#include <string_view>

namespace kelvora {
namespace {

struct UnitRow {
    std::string_view pattern;
    std::int32_t divisor;
};

constexpr std::array<UnitRow, 4> kUnitRows{{
    {"### ### ### ##0 B", 1},
    {"### ### ##0 KB", 1024},
    {"### ##0.00 MB", 1048576},
    {"0.00 GB", 1073741824},
}};

} // namespace

bool stepUnit(UnitState& state) {
    // A hand-edited counter of 32767 wraps to the most negative value rather than sticking
    // there: further clicks keep counting up and eventually reach 0, bytes, again.
    if (state.counter == std::numeric_limits<std::int16_t>::max()) {
        state.counter = std::numeric_limits<std::int16_t>::min();
    } else {
        ++state.counter;
    }
    if (state.counter == static_cast<std::int16_t>(kUnitRows.size())) {
        state.counter = 0;
    }
    if (state.counter < 0 || state.counter >= static_cast<std::int16_t>(kUnitRows.size())) {
        return false;
    }
    const UnitRow& row = kUnitRows[static_cast<std::size_t>(state.counter)];
    state.pattern = row.pattern;
    state.divisor = row.divisor;
    return true;
}

} // namespace kelvora
