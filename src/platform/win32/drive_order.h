// SPDX-License-Identifier: MIT
#pragma once

#include "platform/drive_list.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

// The order of the Windows drive list, without touching the operating
// system: the caller supplies which letters exist and which are removable.
namespace kelvora {

// One bit per drive letter, bit 0 for A to bit 25 for Z, as GetLogicalDrives
// reports them. Higher bits are ignored.
using DriveLetters = std::uint32_t;

// Whether the present drive `letter` ('a' to 'z') takes removable media.
using RemovableLetter = std::function<bool(char letter)>;

// The lower-case letter of the drive a Windows directory path such as
// "C:\WINDOWS" lies on, or 'c' when the path does not start with a drive
// letter and a colon (an empty path stands for a failed query).
char systemDriveLetter(std::string_view windowsDirectory);

// The drive list of listDrives() on Windows, each entry's text and root the
// letter and a colon in lower case ("c:"):
// entry 0 is "a:" when A is present, otherwise the first present removable
// drive, otherwise "a:" anyway (a drive with no medium);
// entry 1 is the drive of `systemLetter` ('a' to 'z'), listed even when it is
// not in `present`, so the list always has both entries;
// then the other present letters in letter order.
// The system drive is never taken for entry 0; only when it is A and no other
// drive is removable do both entries read "a:". `isRemovable` is asked only
// about present letters, and only until entry 0 is found.
std::vector<Drive> orderDrives(DriveLetters present, const RemovableLetter& isRemovable,
                               char systemLetter);

} // namespace kelvora
