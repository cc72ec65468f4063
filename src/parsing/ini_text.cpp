// SPDX-License-Identifier: MIT
#include "parsing/ini_text.h"

#include <algorithm>

namespace kelvora {

namespace {

constexpr std::string_view kUtf8Mark("\xEF\xBB\xBF");
constexpr std::string_view kBlanks(" \t\r\n\v\f");

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool isLineBreak(char c) {
    return c == '\n' || c == '\r';
}

} // namespace

bool isEditableText(std::string_view bytes) {
    return bytes.find('\0') == std::string_view::npos && !bytes.starts_with("\xFF\xFE") &&
           !bytes.starts_with("\xFE\xFF");
}

// One line of the file: its text is [begin, end), the next line starts at
// `next`, so the line end lies between.
struct IniText::Line {
    std::size_t begin;
    std::size_t end;
    std::size_t next;
};

enum class LineKind { Blank, Section, Key, Other };

struct IniText::ParsedLine {
    LineKind kind;
    // The section's or the key's name.
    std::string_view name;
    // Of a key: where its value starts, after "=" and any blanks.
    std::size_t valueBegin;
};

IniText::IniText(std::string bytes, std::string_view newLineEnd)
    : m_bytes(std::move(bytes)), m_newLineEnd(newLineEnd) {}

std::optional<std::string_view> IniText::value(std::string_view section,
                                               std::string_view key) const {
    std::optional<std::string_view> found;
    bool inSection = false;
    forEachLine([&](const Line& line, const ParsedLine& parsed) {
        if (parsed.kind == LineKind::Section) {
            inSection = parsed.name == section;
        } else if (inSection && parsed.kind == LineKind::Key && parsed.name == key) {
            found =
                std::string_view(m_bytes).substr(parsed.valueBegin, line.end - parsed.valueBegin);
        }
    });
    return found;
}

void IniText::set(std::string_view section, std::string_view key, std::string_view text) {
    std::optional<Line> keyLine;
    std::size_t keyValueBegin = 0;
    std::optional<std::size_t> sectionEnd;
    bool inSection = false;
    bool endsBlank = true;
    forEachLine([&](const Line& line, const ParsedLine& parsed) {
        if (parsed.kind == LineKind::Section) {
            inSection = parsed.name == section;
        }
        // A new key goes after the section's last line that holds anything,
        // before the blank lines that part it from the next.
        if (inSection && parsed.kind != LineKind::Blank) {
            sectionEnd = line.next;
        }
        if (inSection && parsed.kind == LineKind::Key && parsed.name == key) {
            keyLine = line;
            keyValueBegin = parsed.valueBegin;
        }
        endsBlank = parsed.kind == LineKind::Blank;
    });
    if (keyLine) {
        m_bytes.replace(keyValueBegin, keyLine->end - keyValueBegin, text);
        return;
    }
    const std::string end = lineEnd();
    const std::size_t at = sectionEnd.value_or(m_bytes.size());
    std::string added;
    if (at > 0 && !isLineBreak(m_bytes[at - 1])) {
        added += end;
    }
    if (!sectionEnd) {
        if (!endsBlank) {
            added += end;
        }
        added += '[';
        added += section;
        added += ']';
        added += end;
    }
    added += key;
    added += '=';
    added += text;
    added += end;
    m_bytes.insert(at, added);
}

bool IniText::holdsAnySection(std::span<const std::string_view> sections) const {
    bool found = false;
    forEachLine([&](const Line&, const ParsedLine& parsed) {
        found =
            found || (parsed.kind == LineKind::Section &&
                      std::find(sections.begin(), sections.end(), parsed.name) != sections.end());
    });
    return found;
}

template <typename Visit> void IniText::forEachLine(Visit visit) const {
    const std::size_t size = m_bytes.size();
    std::size_t begin = 0;
    while (begin < size) {
        std::size_t end = begin;
        while (end < size && !isLineBreak(m_bytes[end])) {
            ++end;
        }
        std::size_t next = end;
        if (next < size) {
            const bool crlf = m_bytes[next] == '\r' && next + 1 < size && m_bytes[next + 1] == '\n';
            next += crlf ? 2 : 1;
        }
        const Line line{begin, end, next};
        visit(line, parse(line));
        begin = next;
    }
}

IniText::ParsedLine IniText::parse(const Line& line) const {
    std::string_view text = std::string_view(m_bytes).substr(line.begin, line.end - line.begin);
    if (line.begin == 0 && text.starts_with(kUtf8Mark)) {
        text.remove_prefix(kUtf8Mark.size());
    }
    const std::string_view content = trimmed(text);
    if (content.empty()) {
        return {LineKind::Blank, {}, 0};
    }
    if (content.front() == '[') {
        // QSettings reads "[Section] ; note" as the section "Section".
        const std::size_t closing = content.find(']');
        if (closing != std::string_view::npos && closing > 0) {
            return {LineKind::Section, content.substr(1, closing - 1), 0};
        }
        return {LineKind::Other, {}, 0};
    }
    const std::size_t equals = text.find('=');
    if (content.front() == ';' || content.front() == '#' || equals == std::string_view::npos) {
        return {LineKind::Other, {}, 0};
    }
    const std::string_view key = trimmed(text.substr(0, equals));
    if (key.empty()) {
        return {LineKind::Other, {}, 0};
    }
    std::size_t valueBegin = static_cast<std::size_t>(text.data() - m_bytes.data()) + equals + 1;
    while (valueBegin < line.end && (m_bytes[valueBegin] == ' ' || m_bytes[valueBegin] == '\t')) {
        ++valueBegin;
    }
    return {LineKind::Key, key, valueBegin};
}

// New lines end as the file's first line does, so a file with CRLF or CR line
// ends keeps one kind.
std::string IniText::lineEnd() const {
    const std::size_t lf = m_bytes.find('\n');
    const std::size_t cr = m_bytes.find('\r');
    if (cr != std::string::npos && (lf == std::string::npos || cr < lf)) {
        return cr + 1 == lf ? "\r\n" : "\r";
    }
    return lf != std::string::npos ? "\n" : m_newLineEnd;
}

} // namespace kelvora
