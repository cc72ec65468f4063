// SPDX-License-Identifier: MIT
#pragma once

#include "platform/drive_list.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Reading the drive list out of /proc/self/mountinfo, without touching the
// operating system: the caller supplies the text and the removable test.
namespace kelvora {

struct MountEntry {
    unsigned major = 0;
    unsigned minor = 0;
    std::string fsRoot; // the directory of the filesystem seen at the mount point
    std::string mountPoint;
    std::string fsType;
    std::string source;
};

// One entry per well-formed line, in the file's (mount) order. A malformed
// line, or a last line cut off without its newline, is left out.
std::vector<MountEntry> parseMountInfo(std::string_view text);

// Whether the block device major:minor holds removable media.
using RemovableDevice = std::function<bool(unsigned major, unsigned minor)>;

// The drive list of listDrives() made from `mounts`. A mount point mounted
// over is judged by its topmost mount. A filesystem mounted at several
// places is listed once: at "/" if it is the root filesystem, otherwise at
// the mount showing the most of it (the shortest fsRoot, the earlier of
// equals). Filesystems mounted under /media or /run/media count as
// removable whatever `isRemovable` says.
std::vector<Drive> selectDrives(const std::vector<MountEntry>& mounts,
                                const RemovableDevice& isRemovable);

} // namespace kelvora
