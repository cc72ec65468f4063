// SPDX-License-Identifier: MIT
#include "meter/readouts.h"

#include "format/number_format.h"
#include "texts/shared_texts.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <limits>

namespace kelvora {

std::optional<double> divide(double part, double whole) {
    if (whole == 0) {
        return std::nullopt;
    }
    return part / whole;
}

bool composeReadout(TickText& readout, std::string_view prefix, double figure,
                    const UnitState& unit, double share, std::string_view separator) {
    const std::optional<double> inUnit = divide(figure, unit.divisor);
    if (!inUnit) {
        return false;
    }
    std::string& text = readout.restart();
    text += prefix;
    AppendFormat(text, *inUnit, unit.pattern, separator);
    text += shared::kOpenBracket;
    AppendFormat(text, share, shared::kPercentPattern, separator);
    text += shared::kCloseBracket;
    return true;
}

const QString& composeStripCaption(TickText& caption, std::string_view prefix,
                                   const TickText& readout) {
    std::string& text = caption.restart();
    text += prefix;
    text += readout.utf8();
    return caption.text();
}

const QString& composeLoad(TickText& readout, std::string_view prefix, int percent) {
    std::string& text = readout.restart();
    text += prefix;
    char digits[12];
    text.append(digits, std::to_chars(std::begin(digits), std::end(digits), percent).ptr);
    text += shared::kPercentSign;
    return readout.text();
}

std::int16_t loadReading(std::int32_t reading) {
    using Limits = std::numeric_limits<std::int16_t>;
    return static_cast<std::int16_t>(
        std::clamp<std::int32_t>(reading, Limits::min(), Limits::max()));
}

} // namespace kelvora
