// SPDX-License-Identifier: MIT
#include "platform/win32/drive_order.h"

#include <string>

namespace kelvora {

namespace {

constexpr int kLetterCount = 26;
constexpr char kFloppyLetter = 'a';
// Where Windows is installed when nothing says otherwise.
constexpr char kUsualSystemLetter = 'c';

bool isPresent(DriveLetters present, int index) {
    return (present & (DriveLetters{1} << index)) != 0;
}

char letterAt(int index) {
    return static_cast<char>(kFloppyLetter + index);
}

Drive driveOf(char letter) {
    const std::string root{letter, ':'};
    return Drive{.text = root, .root = root};
}

// A stands for the floppy drive whatever it reports; when it is missing the
// first removable drive takes the slot, and nothing at all leaves "a:",
// which then reads as a drive with no medium.
char removableSlotLetter(DriveLetters present, const RemovableLetter& isRemovable,
                         char systemLetter) {
    for (int i = 0; i < kLetterCount; ++i) {
        const char letter = letterAt(i);
        if (!isPresent(present, i) || letter == systemLetter) {
            continue;
        }
        if (letter == kFloppyLetter || isRemovable(letter)) {
            return letter;
        }
    }
    return kFloppyLetter;
}

} // namespace

char systemDriveLetter(std::string_view windowsDirectory) {
    if (windowsDirectory.size() < 2 || windowsDirectory[1] != ':') {
        return kUsualSystemLetter;
    }
    const char letter = windowsDirectory[0];
    if (letter >= 'A' && letter <= 'Z') {
        return static_cast<char>(letter - 'A' + 'a');
    }
    if (letter >= 'a' && letter <= 'z') {
        return letter;
    }
    return kUsualSystemLetter;
}

std::vector<Drive> orderDrives(DriveLetters present, const RemovableLetter& isRemovable,
                               char systemLetter) {
    const char removableLetter = removableSlotLetter(present, isRemovable, systemLetter);
    std::vector<Drive> drives;
    drives.reserve(kLetterCount);
    drives.push_back(driveOf(removableLetter));
    drives.push_back(driveOf(systemLetter));
    for (int i = 0; i < kLetterCount; ++i) {
        const char letter = letterAt(i);
        if (isPresent(present, i) && letter != removableLetter && letter != systemLetter) {
            drives.push_back(driveOf(letter));
        }
    }
    return drives;
}

} // namespace kelvora
