// SPDX-License-Identifier: MIT
#include "platform/linux/mount_info.h"

#include "parsing/text_scanner.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <utility>

namespace kelvora {

namespace {

constexpr std::string_view kRootMountPoint = "/";
// Entry 0 when no removable medium is mounted; it then reads as a drive
// with no medium, like an empty floppy drive.
constexpr std::string_view kNoMediumMountPoint = "/media";
constexpr std::string_view kRemovableMountAreas[] = {"/media", "/run/media"};
constexpr unsigned kLoopMajor = 7;

// Memory, compressed images and space on another machine: none of them is
// a local drive, whatever device numbers they carry.
constexpr std::string_view kExcludedTypes[] = {
    "tmpfs",          "ramfs", "devtmpfs",   "squashfs",    "nfs",   "nfs4", "cifs",
    "smb3",           "smbfs", "ncpfs",      "afs",         "ceph",  "9p",   "glusterfs",
    "fuse.glusterfs", "sshfs", "fuse.sshfs", "fuse.rclone", "davfs",
};

// The kernel writes space, tab, newline and backslash in paths as \ooo.
std::string unescape(std::string_view field) {
    constexpr std::size_t codeLength = 3;
    std::string text;
    text.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto code = field[i] == '\\' && i + codeLength < field.size()
                              ? parseWhole<unsigned>(field.substr(i + 1, codeLength), 8)
                              : std::nullopt;
        if (code && *code <= 0377) {
            text.push_back(static_cast<char>(*code));
            i += codeLength;
        } else {
            text.push_back(field[i]);
        }
    }
    return text;
}

std::optional<MountEntry> parseLine(std::string_view line) {
    // Spaces inside paths are escaped, so each space ends a field.
    Fields fields(line, FieldSeparator::eachSpace);
    const auto mountId = fields.next();
    const auto parentId = fields.next();
    const auto device = fields.next();
    const auto fsRoot = fields.next();
    const auto mountPoint = fields.next();
    const auto options = fields.next();
    if (!options) {
        return std::nullopt;
    }
    const auto colon = device->find(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const auto major = parseWhole<unsigned>(device->substr(0, colon));
    const auto minor = parseWhole<unsigned>(device->substr(colon + 1));
    if (!parseWhole<unsigned>(*mountId) || !parseWhole<unsigned>(*parentId) || !major || !minor ||
        !mountPoint->starts_with('/')) {
        return std::nullopt;
    }
    // Optional fields (shared:N, master:N, ...) run up to a lone hyphen.
    for (auto field = fields.next(); field != "-"; field = fields.next()) {
        if (!field) {
            return std::nullopt;
        }
    }
    const auto fsType = fields.next();
    const auto source = fields.next();
    const auto superOptions = fields.next();
    if (!superOptions || fsType->empty()) {
        return std::nullopt;
    }
    MountEntry entry;
    entry.major = *major;
    entry.minor = *minor;
    entry.fsRoot = unescape(*fsRoot);
    entry.mountPoint = unescape(*mountPoint);
    entry.fsType = std::string(*fsType);
    entry.source = unescape(*source);
    return entry;
}

bool isLocal(const MountEntry& mount) {
    // Containers run on an overlay root; it is the only drive they have.
    if (mount.fsType == "overlay") {
        return mount.mountPoint == kRootMountPoint;
    }
    if (std::ranges::find(kExcludedTypes, mount.fsType) != std::end(kExcludedTypes) ||
        mount.major == kLoopMajor) {
        return false;
    }
    // A ZFS dataset is named after its pool and has no device node of its own.
    return mount.fsType == "zfs" || mount.source.starts_with("/dev/") || mount.major != 0;
}

bool isUnderRemovableArea(std::string_view mountPoint) {
    return std::ranges::any_of(kRemovableMountAreas, [mountPoint](std::string_view area) {
        return mountPoint.starts_with(area) &&
               (mountPoint.size() == area.size() || mountPoint[area.size()] == '/');
    });
}

// Which of two mounts of one filesystem names it in the list.
bool showsMoreThan(const MountEntry& mount, const MountEntry& chosen) {
    if (chosen.mountPoint == kRootMountPoint) {
        return false;
    }
    return mount.mountPoint == kRootMountPoint || mount.fsRoot.size() < chosen.fsRoot.size();
}

} // namespace

std::vector<MountEntry> parseMountInfo(std::string_view text) {
    std::vector<MountEntry> entries;
    CompleteLines lines(text);
    while (const auto line = lines.next()) {
        if (auto entry = parseLine(*line)) {
            entries.push_back(std::move(*entry));
        }
    }
    return entries;
}

std::vector<Drive> selectDrives(const std::vector<MountEntry>& mounts,
                                const RemovableDevice& isRemovable) {
    std::map<std::string_view, std::size_t> topmost;
    for (std::size_t i = 0; i < mounts.size(); ++i) {
        topmost[mounts[i].mountPoint] = i;
    }

    // One mount per filesystem, in the order the filesystems were first mounted.
    std::vector<const MountEntry*> filesystems;
    std::map<std::pair<unsigned, unsigned>, std::size_t> byDevice;
    for (std::size_t i = 0; i < mounts.size(); ++i) {
        const MountEntry& mount = mounts[i];
        if (topmost[mount.mountPoint] != i || !isLocal(mount)) {
            continue;
        }
        const auto [slot, added] =
            byDevice.try_emplace({mount.major, mount.minor}, filesystems.size());
        if (added) {
            filesystems.push_back(&mount);
        } else if (showsMoreThan(mount, *filesystems[slot->second])) {
            filesystems[slot->second] = &mount;
        }
    }

    const MountEntry* removable = nullptr;
    std::vector<std::string> others;
    for (const MountEntry* mount : filesystems) {
        if (mount->mountPoint == kRootMountPoint) {
            continue;
        }
        if (removable == nullptr &&
            (isUnderRemovableArea(mount->mountPoint) || isRemovable(mount->major, mount->minor))) {
            removable = mount;
        } else {
            others.push_back(mount->mountPoint);
        }
    }
    std::ranges::sort(others);

    const auto drive = [](std::string_view mountPoint) {
        return Drive{.text = std::string(mountPoint), .root = std::string(mountPoint)};
    };
    std::vector<Drive> drives;
    drives.reserve(others.size() + 2);
    drives.push_back(drive(removable != nullptr ? std::string_view(removable->mountPoint)
                                                : kNoMediumMountPoint));
    drives.push_back(drive(kRootMountPoint));
    for (const std::string& mountPoint : others) {
        drives.push_back(drive(mountPoint));
    }
    return drives;
}

} // namespace kelvora
