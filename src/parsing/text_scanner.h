// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>
#include <system_error>
#include <type_traits>

// Small pieces for reading the text of /proc files, the mount table and
// stored settings. Views only: nothing here copies or allocates, and nothing
// depends on the C locale, which QApplication changes.
namespace kelvora {

inline constexpr std::string_view kBlanks = " \t";

// The lines of a text that end with a newline, without it. A last line cut
// off before its newline is not handed out; complete() tells whether there
// was one.
class CompleteLines {
public:
    explicit CompleteLines(std::string_view text) : m_rest(text) {}

    std::optional<std::string_view> next() {
        const auto end = m_rest.find('\n');
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        const auto line = m_rest.substr(0, end);
        m_rest.remove_prefix(end + 1);
        return line;
    }

    // Once next() has given empty: whether the text ended with a newline
    // (or was empty), so that no line was cut off.
    bool complete() const { return m_rest.empty(); }

private:
    std::string_view m_rest;
};

enum class FieldSeparator {
    // Runs of spaces and tabs part the fields, and blanks at either end of
    // the line are ignored, as /proc/stat and /proc/meminfo align columns.
    blankRuns,
    // Every single space ends a field, so fields may be empty; tabs are
    // field text. The mount table writes this, escaping blanks in paths.
    eachSpace,
};

// The fields of one line, in order.
class Fields {
public:
    Fields(std::string_view line, FieldSeparator separator)
        : m_rest(line), m_separator(separator) {}

    std::optional<std::string_view> next() {
        return m_separator == FieldSeparator::blankRuns ? nextAfterBlanks() : nextBeforeSpace();
    }

private:
    std::optional<std::string_view> nextAfterBlanks() {
        const auto start = m_rest.find_first_not_of(kBlanks);
        if (start == std::string_view::npos) {
            m_rest = {};
            return std::nullopt;
        }
        m_rest.remove_prefix(start);
        const auto end = std::min(m_rest.find_first_of(kBlanks), m_rest.size());
        const auto field = m_rest.substr(0, end);
        m_rest.remove_prefix(end);
        return field;
    }

    std::optional<std::string_view> nextBeforeSpace() {
        if (m_ended) {
            return std::nullopt;
        }
        const auto end = m_rest.find(' ');
        const auto field = m_rest.substr(0, end);
        if (end == std::string_view::npos) {
            m_ended = true;
        } else {
            m_rest.remove_prefix(end + 1);
        }
        return field;
    }

    std::string_view m_rest;
    FieldSeparator m_separator;
    bool m_ended = false;
};

// `text` without the spaces and tabs at either end.
inline std::string_view trimBlanks(std::string_view text) {
    const auto start = text.find_first_not_of(kBlanks);
    if (start == std::string_view::npos) {
        return {};
    }
    return text.substr(start, text.find_last_not_of(kBlanks) - start + 1);
}

// `text` as a whole number in `base`: every character a digit of the base,
// after a '-' for signed types; no blanks, no '+', no prefix. Empty when
// anything else is in the text or the number does not fit `Int`.
template <typename Int> std::optional<Int> parseWhole(std::string_view text, int base = 10) {
    static_assert(std::is_integral_v<Int>);
    Int value = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (error != std::errc{} || stop != end) {
        return std::nullopt;
    }
    return value;
}

} // namespace kelvora
