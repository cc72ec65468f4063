// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// Signed 64-bit fixed-point numbers with four decimals: the integer counts
// ten-thousandths. Results that leave the 64-bit range saturate at its ends
// instead of wrapping, so an absurd input gives an absurd but ordered value.
namespace kelvora::fixed {

inline constexpr std::int64_t kScale = 10'000;

// `value` rounded to the nearest ten-thousandth, halves to even.
// `value` must be finite.
std::int64_t fromDouble(double value);

double toDouble(std::int64_t value);

std::int64_t subtract(std::int64_t minuend, std::int64_t subtrahend);

// `value` times a whole number; exact unless it saturates.
std::int64_t multiply(std::int64_t value, std::int64_t factor);

// The greatest whole number not above `value`.
std::int64_t floorToWhole(std::int64_t value);

} // namespace kelvora::fixed
