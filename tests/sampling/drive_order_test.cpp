// SPDX-License-Identifier: MIT
#include "platform/win32/drive_order.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace kelvora {
namespace {

using Texts = std::vector<std::string>;

DriveLetters letters(std::string_view names) {
    DriveLetters mask = 0;
    for (const char letter : names) {
        mask |= DriveLetters{1} << (letter - 'a');
    }
    return mask;
}

TEST(OrderDrivesTest, RemovableSlotFirstThenSystemDriveThenTheRest) {
    const struct {
        const char* name;
        DriveLetters present;
        std::string_view removable;
        char system;
        Texts expected;
    } cases[] = {
        {"only c:", letters("c"), "", 'c', {"a:", "c:"}},
        {"a: and c:", letters("ac"), "a", 'c', {"a:", "c:"}},
        {"a: whatever type it reports", letters("acd"), "", 'c', {"a:", "c:", "d:"}},
        {"a: before a removable b:", letters("abce"), "be", 'c', {"a:", "c:", "b:", "e:"}},
        {"no a:, a removable e:", letters("cde"), "e", 'c', {"e:", "c:", "d:"}},
        {"two removable drives", letters("cdfg"), "fg", 'c', {"f:", "c:", "d:", "g:"}},
        {"system drive d:", letters("cde"), "", 'd', {"a:", "d:", "c:", "e:"}},
        {"system drive d: and a removable c:", letters("cd"), "c", 'd', {"c:", "d:"}},
        {"removable system drive", letters("ce"), "ce", 'c', {"e:", "c:"}},
        {"removable system drive alone", letters("e"), "e", 'e', {"a:", "e:"}},
        {"wine", letters("cz"), "", 'c', {"a:", "c:", "z:"}},
        {"empty mask", 0, "", 'c', {"a:", "c:"}},
        {"system drive missing from the mask", letters("d"), "", 'c', {"a:", "c:", "d:"}},
        {"bits above z:", letters("cz") | 0xFC000000u, "", 'c', {"a:", "c:", "z:"}},
        {"every letter",
         letters("abcdefghijklmnopqrstuvwxyz"),
         "",
         'c',
         {"a:", "c:", "b:", "d:", "e:", "f:", "g:", "h:", "i:", "j:", "k:", "l:", "m:",
          "n:", "o:", "p:", "q:", "r:", "s:", "t:", "u:", "v:", "w:", "x:", "y:", "z:"}},
        {"system drive a:", letters("a"), "a", 'a', {"a:", "a:"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const RemovableLetter isRemovable = [&c](char letter) {
            EXPECT_NE(c.present & letters({&letter, 1}), 0u) << "asked about absent " << letter;
            return c.removable.find(letter) != std::string_view::npos;
        };

        Texts texts;
        for (const Drive& drive : orderDrives(c.present, isRemovable, c.system)) {
            EXPECT_EQ(drive.root, drive.text);
            texts.push_back(drive.text);
        }
        EXPECT_EQ(texts, c.expected);
    }
}

TEST(SystemDriveLetterTest, TakesTheLetterOfTheWindowsDirectory) {
    const struct {
        std::string_view directory;
        char expected;
    } cases[] = {
        {"C:\\WINDOWS", 'c'},
        {"D:\\Windows", 'd'},
        {"e:\\windows", 'e'},
        {"Z:", 'z'},
        // A failed query, and paths that name no drive letter.
        {"", 'c'},
        {"D", 'c'},
        {"\\\\server\\share\\Windows", 'c'},
        {"1:\\Windows", 'c'},
        {"@:\\Windows", 'c'},
        {"[:\\Windows", 'c'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.directory);
        EXPECT_EQ(systemDriveLetter(c.directory), c.expected);
    }
}

} // namespace
} // namespace kelvora
