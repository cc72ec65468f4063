// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kelvora {

// Text the store can edit line by line without changing a byte of the rest:
// any 8-bit encoding with ASCII line ends. UTF-16 (Notepad's "Unicode") and
// binary files are not.
bool isEditableText(std::string_view bytes);

// An INI file as the bytes it holds, in the layout QSettings writes. Lines
// end in "\n", "\r\n" or a lone "\r"; a UTF-8 mark before the first line is
// no part of it. Lines are found afresh on each use, so an edit never has to
// keep anything else in step, and every byte an edit does not own stays as
// it was.
class IniText {
public:
    // `newLineEnd` ends the lines of a text that has none yet.
    IniText(std::string bytes, std::string_view newLineEnd);

    // The raw value of the key's last line in the section (a later line
    // overrides an earlier one, in a repeated section too), blanks after "="
    // left out.
    std::optional<std::string_view> value(std::string_view section, std::string_view key) const;

    // Replaces the value of the line `value` reads, or adds the key at the
    // end of the section's last appearance, or the section at the end, in
    // the text's own line ends. `text` holds no line break.
    void set(std::string_view section, std::string_view key, std::string_view text);

    // Whether any of `sections` appears.
    bool holdsAnySection(std::span<const std::string_view> sections) const;

    const std::string& bytes() const { return m_bytes; }

private:
    struct Line;
    struct ParsedLine;
    template <typename Visit> void forEachLine(Visit visit) const;
    ParsedLine parse(const Line& line) const;
    std::string lineEnd() const;

    std::string m_bytes;
    std::string m_newLineEnd;
};

} // namespace kelvora
