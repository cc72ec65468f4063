// SPDX-License-Identifier: MIT
#include "parsing/conversions.h"

#include "parsing/text_scanner.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>

namespace kelvora {

namespace {

template <typename Int> std::optional<Int> toWhole(std::string_view text) {
    const auto number = parseNumber(text);
    if (!number) {
        return std::nullopt;
    }
    const double whole = std::nearbyint(*number);
    if (whole < static_cast<double>(std::numeric_limits<Int>::min()) ||
        whole > static_cast<double>(std::numeric_limits<Int>::max())) {
        return std::nullopt;
    }
    return static_cast<Int>(whole);
}

} // namespace

std::optional<double> parseNumber(std::string_view text) {
    text = trimBlanks(text);
    if (text.empty()) {
        return std::nullopt;
    }
    // from_chars would take "inf" and "nan"; only digits, sign, point and
    // exponent make a stored number.
    for (const char c : text) {
        const bool allowed = (c >= '0' && c <= '9') || c == '-' || c == '.' || c == 'e' || c == 'E';
        if (!allowed) {
            return std::nullopt;
        }
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<float> toSingle(std::string_view text) {
    const auto number = parseNumber(text);
    if (!number || std::fabs(*number) > FLT_MAX) {
        return std::nullopt;
    }
    return static_cast<float>(*number);
}

std::optional<std::int16_t> toInt16(std::string_view text) {
    return toWhole<std::int16_t>(text);
}
std::optional<std::int32_t> toInt32(std::string_view text) {
    return toWhole<std::int32_t>(text);
}
std::optional<std::uint8_t> toByte(std::string_view text) {
    return toWhole<std::uint8_t>(text);
}

std::string singleToText(float value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

} // namespace kelvora
