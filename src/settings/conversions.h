#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Stored settings are text. These conversions are strict: text that is not a
// whole decimal number, or a number outside the target type, is a failed read.
// Parsing never depends on the C locale, which QApplication changes.

namespace kelvora {

// A decimal number, surrounding blanks allowed. Fractions and exponents are
// accepted; infinities, NaN, hex and trailing junk are not.
std::optional<double> parseNumber(std::string_view text);

std::optional<float> toSingle(std::string_view text);
// Fractions round to the nearest whole number, halves to even, before the
// range check, as the settings' original readers did.
std::optional<std::int16_t> toInt16(std::string_view text);
std::optional<std::int32_t> toInt32(std::string_view text);
std::optional<std::uint8_t> toByte(std::string_view text);

// Shortest decimal text that reads back to the same value ("1500", "1507.5").
std::string singleToText(float value);

} // namespace kelvora
