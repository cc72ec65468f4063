// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Stored settings are text. A read gives empty when the text is not a number
// that parseNumber accepts, or when the number, converted as each function
// says, lies outside the target type. Parsing never depends on the C locale,
// which QApplication changes.

namespace kelvora {

// A decimal number: an optional '-', digits with at most one '.' among
// them ("5.", ".5"), and an optional exponent ("e" or "E", an optional '-',
// digits); spaces and tabs are allowed around it. Empty for anything else
// (a '+', a comma, infinities, NaN, hex, any other character) and for a
// number that overflows a double or underflows it to zero ("1e-400").
std::optional<double> parseNumber(std::string_view text);

// The number as the nearest float; empty when its magnitude exceeds the
// largest float.
std::optional<float> toSingle(std::string_view text);
// The number rounded to the nearest whole number, halves to even ("2.5"
// reads 2, "3.5" reads 4, "1e2" reads 100), then checked against the type's
// range.
std::optional<std::int16_t> toInt16(std::string_view text);
std::optional<std::int32_t> toInt32(std::string_view text);
std::optional<std::uint8_t> toByte(std::string_view text);

// Shortest decimal text that reads back to the same value ("1500", "1507.5").
std::string singleToText(float value);

} // namespace kelvora
