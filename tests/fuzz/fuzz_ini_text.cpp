// SPDX-License-Identifier: MIT
#include "parsing/ini_text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

constexpr std::array<std::string_view, 4> kSections = {"Pozycja", "Ustawienia", "Kolory", "Own"};
constexpr std::array<std::string_view, 4> kKeys = {"Left", "interval", "R1", "k"};
constexpr std::array<std::string_view, 4> kValues = {"0", "-1507.5", "### ##0.00 MB", ""};

std::size_t commonPrefix(std::string_view a, std::string_view b) {
    std::size_t length = 0;
    while (length < a.size() && length < b.size() && a[length] == b[length]) {
        ++length;
    }
    return length;
}

} // namespace

// Input: the file's bytes, then one byte that picks the section, key and
// value a save writes. Whatever the file holds, the save changes at most one
// value's text or adds lines: the bytes around stay, and it reads back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelvora;
    if (size == 0) {
        return 0;
    }
    const std::string before(reinterpret_cast<const char*>(data), size - 1);
    const unsigned pick = data[size - 1];
    const std::string_view section = kSections[pick % 4];
    const std::string_view key = kKeys[(pick / 4) % 4];
    const std::string_view value = kValues[(pick / 16) % 4];
    if (!isEditableText(before)) {
        return 0;
    }
    IniText text(before, "\r\n");
    const std::optional<std::string_view> other = text.value("Own", "other");
    const std::string otherBefore = other ? std::string(*other) : std::string("-");
    text.set(section, key, value);
    const std::string& after = text.bytes();

    const std::optional<std::string_view> read = text.value(section, key);
    check(read.has_value() && *read == value);
    if (!(section == "Own" && key == "other")) {
        const std::optional<std::string_view> otherAfter = text.value("Own", "other");
        check((otherAfter ? std::string(*otherAfter) : std::string("-")) == otherBefore);
    }
    // What lies between the common start and the common end was one value:
    // no line of the file was touched but the one that holds it.
    const std::size_t prefix = commonPrefix(before, after);
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::string_view removed =
        std::string_view(before).substr(prefix, before.size() - prefix - suffix);
    check(removed.find_first_of("\r\n") == std::string_view::npos);
    check(after.size() >= before.size() - removed.size());
    return 0;
}
