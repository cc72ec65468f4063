// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace kelvora {

// Renders value with a number pattern and returns UTF-8 text.
//
// Pattern characters: "0" and "#" are digit placeholders, the first "." is the decimal point
// (printed as decimalSeparator), and every other byte (blanks, letters, a further ".", "%")
// prints as itself where it stands. A "%" anywhere in the pattern multiplies the value by 100.
// The value is rounded, halves away from zero, to as many decimals as there are placeholders
// after the point. Integer digits fill the placeholders before the point from the right; a "0"
// without a digit prints "0", a "#" without one prints nothing, and digits beyond the leftmost
// placeholder all print in front of it, so a number is never cut. An integer part of 0 has no
// digit. A pattern without placeholders before the point gets the integer digits just before
// the point, or at its end when it has no point.
//
// A negative value whose rounded form is not zero starts the text with "-". Never fails: NaN
// gives "NaN", infinities give "Inf" or "-Inf".
std::string Format(double value, std::string_view pattern, std::string_view decimalSeparator);

// The same text, appended to text.
void AppendFormat(std::string& text, double value, std::string_view pattern,
                  std::string_view decimalSeparator);

} // namespace kelvora
