// SPDX-License-Identifier: MIT
#include "format/number_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

namespace kelvora {
namespace {

bool isPlaceholder(char c) {
    return c == '0' || c == '#';
}

std::size_t countPlaceholders(std::string_view section) {
    return static_cast<std::size_t>(std::count_if(section.begin(), section.end(), isPlaceholder));
}

// The decimal digits of a magnitude, without the point. Position 0 is a spare leading zero that
// takes the carry when rounding turns 9.99 into 10.00. Digits past the stored ones read as '0'.
class DecimalDigits {
public:
    // Returns false only if the text does not fit, which no finite double reaches (the longest,
    // around the smallest normal number, is 326 characters).
    bool assign(double magnitude) {
        m_digits[0] = '0';
        const auto [end, error] =
            std::to_chars(m_digits.data() + 1, m_digits.data() + m_digits.size(), magnitude,
                          std::chars_format::fixed);
        if (error != std::errc{}) {
            return false;
        }
        char* const point = std::find(m_digits.data() + 1, end, '.');
        m_integerLength = static_cast<std::size_t>(point - m_digits.data());
        m_count = static_cast<std::size_t>(end - m_digits.data());
        if (point != end) {
            std::memmove(point, point + 1, static_cast<std::size_t>(end - point - 1));
            --m_count;
        }
        return true;
    }

    void timesHundred() { m_integerLength += 2; }

    // The shortest decimal form decides, not the binary value behind it: 1.005 (stored as
    // 1.00499999999999989...) rounds to 1.01, as its reader expects, while exact binary halves
    // such as 0.125 round away from zero as well.
    void roundTo(std::size_t decimals) {
        const std::size_t kept = m_integerLength + decimals;
        if (kept >= m_count) {
            return;
        }
        const bool up = m_digits[kept] >= '5';
        m_count = kept;
        if (!up) {
            return;
        }
        std::size_t i = kept;
        while (m_digits[--i] == '9') {
            m_digits[i] = '0';
        }
        ++m_digits[i];
    }

    char at(std::size_t index) const { return index < m_count ? m_digits[index] : '0'; }
    std::size_t integerLength() const { return m_integerLength; }

    std::size_t firstSignificant() const {
        std::size_t i = 0;
        while (i < m_integerLength && at(i) == '0') {
            ++i;
        }
        return i;
    }

    bool isZero() const {
        return std::all_of(m_digits.begin(),
                           m_digits.begin() + static_cast<std::ptrdiff_t>(m_count),
                           [](char c) { return c == '0'; });
    }

private:
    std::array<char, 400> m_digits;
    std::size_t m_integerLength = 0;
    std::size_t m_count = 0;
};

} // namespace

void AppendFormat(std::string& text, double value, std::string_view pattern,
                  std::string_view decimalSeparator) {
    if (std::isnan(value)) {
        text += "NaN";
        return;
    }
    if (std::isinf(value)) {
        text += value < 0 ? "-Inf" : "Inf";
        return;
    }

    const std::size_t pointAt = pattern.find('.');
    const bool hasPoint = pointAt != std::string_view::npos;
    const std::string_view integerSection = pattern.substr(0, pointAt);
    const std::string_view fractionSection =
        hasPoint ? pattern.substr(pointAt + 1) : std::string_view{};

    DecimalDigits digits;
    if (!digits.assign(std::fabs(value))) {
        text += '?';
        return;
    }
    // Shifting the decimal digits instead of multiplying the double keeps the shortest form
    // exact and cannot overflow to infinity.
    if (pattern.find('%') != std::string_view::npos) {
        digits.timesHundred();
    }
    digits.roundTo(countPlaceholders(fractionSection));

    const std::size_t integerLength = digits.integerLength();
    const std::size_t firstDigit = digits.firstSignificant();
    const std::size_t digitCount = integerLength - firstDigit;
    const std::size_t placeholders = countPlaceholders(integerSection);

    // Grown once for the longest text the pattern can give (sign, every pattern byte, all digits
    // and the separator) and trimmed at the end, so rendering allocates at most once, and not at
    // all into a buffer that has held such a text before.
    const std::size_t start = text.size();
    text.resize(start + 1 + pattern.size() + digitCount + decimalSeparator.size());
    char* out = text.data() + start;
    if (std::signbit(value) && !digits.isZero()) {
        *out++ = '-';
    }

    const auto appendDigits = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            *out++ = digits.at(i);
        }
    };

    std::size_t placeholderIndex = 0;
    for (const char c : integerSection) {
        if (!isPlaceholder(c)) {
            *out++ = c;
            continue;
        }
        if (placeholderIndex == 0 && digitCount > placeholders) {
            appendDigits(firstDigit, integerLength - placeholders);
        }
        const std::size_t fromRight = placeholders - 1 - placeholderIndex;
        if (fromRight < digitCount) {
            *out++ = digits.at(integerLength - 1 - fromRight);
        } else if (c == '0') {
            *out++ = '0';
        }
        ++placeholderIndex;
    }
    if (placeholders == 0) {
        appendDigits(firstDigit, integerLength);
    }

    if (hasPoint) {
        out = std::copy(decimalSeparator.begin(), decimalSeparator.end(), out);
        std::size_t decimalIndex = integerLength;
        for (const char c : fractionSection) {
            *out++ = isPlaceholder(c) ? digits.at(decimalIndex++) : c;
        }
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
}

std::string Format(double value, std::string_view pattern, std::string_view decimalSeparator) {
    std::string text;
    AppendFormat(text, value, pattern, decimalSeparator);
    return text;
}

} // namespace kelvora
