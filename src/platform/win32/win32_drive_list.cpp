// SPDX-License-Identifier: MIT
#include "platform/drive_list.h"
#include "platform/win32/drive_order.h"

#include <windows.h>

#include <string_view>

namespace kelvora {

namespace {

std::string_view windowsDirectory(char (&buffer)[MAX_PATH + 1]) {
    const UINT length = GetSystemWindowsDirectoryA(buffer, sizeof buffer);
    // 0 is a failure, and a length beyond the buffer is the size it would need.
    if (length == 0 || length >= sizeof buffer) {
        return {};
    }
    return {buffer, length};
}

} // namespace

// None of these calls reads a medium: GetLogicalDrives, GetDriveTypeA and
// GetSystemWindowsDirectoryA ask about drives, never what is in them, so an
// empty floppy or card reader asks the user for nothing while the list is made.
std::vector<Drive> listDrives() {
    char buffer[MAX_PATH + 1] = {};
    const auto isRemovable = [](char letter) {
        const char root[] = {letter, ':', '\\', '\0'};
        return GetDriveTypeA(root) == DRIVE_REMOVABLE;
    };
    return orderDrives(GetLogicalDrives(), isRemovable,
                       systemDriveLetter(windowsDirectory(buffer)));
}

} // namespace kelvora
