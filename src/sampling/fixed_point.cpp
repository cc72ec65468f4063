// SPDX-License-Identifier: MIT
#include "sampling/fixed_point.h"

#include <cmath>
#include <limits>

namespace kelvora::fixed {

namespace {

using Limits = std::numeric_limits<std::int64_t>;

// -2^63 and 2^63 are exact doubles; every double in [-2^63, 2^63) converts.
constexpr double kLowestAsDouble = -9223372036854775808.0;
constexpr double kBeyondHighest = 9223372036854775808.0;

} // namespace

std::int64_t fromDouble(double value) {
    // nearbyint rounds in the current mode, which is to-nearest-even unless
    // something has changed it; the program never does.
    const double scaled = std::nearbyint(value * static_cast<double>(kScale));
    if (scaled >= kBeyondHighest) {
        return Limits::max();
    }
    if (scaled < kLowestAsDouble) {
        return Limits::min();
    }
    return static_cast<std::int64_t>(scaled);
}

double toDouble(std::int64_t value) {
    return static_cast<double>(value) / static_cast<double>(kScale);
}

std::int64_t subtract(std::int64_t minuend, std::int64_t subtrahend) {
    std::int64_t difference = 0;
    if (__builtin_sub_overflow(minuend, subtrahend, &difference)) {
        return subtrahend < 0 ? Limits::max() : Limits::min();
    }
    return difference;
}

std::int64_t multiply(std::int64_t value, std::int64_t factor) {
    std::int64_t product = 0;
    if (__builtin_mul_overflow(value, factor, &product)) {
        return (value < 0) == (factor < 0) ? Limits::max() : Limits::min();
    }
    return product;
}

std::int64_t floorToWhole(std::int64_t value) {
    const std::int64_t whole = value / kScale;
    return (value % kScale < 0) ? whole - 1 : whole;
}

} // namespace kelvora::fixed
