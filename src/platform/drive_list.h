// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace kelvora {

struct Drive {
    std::string text; // as the drive list shows it
    std::string root; // what the drive's space is asked for with
};

// Entry 0 of the list stands for removable media, entry 1 for the drive the
// system runs from: the default, and the fallback when a drive cannot be read.
inline constexpr int kRemovableDriveIndex = 0;
inline constexpr int kRootDriveIndex = 1;

// The drives to choose from, in list order, read afresh.
// Linux: entry 0 is the first filesystem mounted from removable media, or
// "/media" (a drive with no medium) when there is none; entry 1 is "/"; then
// the other local filesystems in mount-point order. Network filesystems are
// left out: a hung server would freeze the thread that asks for their space.
// Windows: entry 0 is "a:" when drive A exists, otherwise the first
// removable drive, or "a:" (a drive with no medium) when there is none;
// entry 1 is the drive Windows is installed on, normally "c:"; then the other
// drive letters in order. Text and root are the letter and a colon, "c:".
std::vector<Drive> listDrives();

} // namespace kelvora
