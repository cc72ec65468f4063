#include "platform/mount_info.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <map>
#include <optional>
#include <utility>

namespace kelvora {

namespace {

constexpr std::string_view rootMountPoint = "/";
// Entry 0 when no removable medium is mounted; it then reads as a drive
// with no medium, like an empty floppy drive.
constexpr std::string_view noMediumMountPoint = "/media";
constexpr std::string_view removableMountAreas[] = {"/media", "/run/media"};
constexpr unsigned loopMajor = 7;

// Memory, compressed images and space on another machine: none of them is
// a local drive, whatever device numbers they carry.
constexpr std::string_view excludedTypes[] = {
    "tmpfs",          "ramfs", "devtmpfs",   "squashfs",    "nfs",   "nfs4", "cifs",
    "smb3",           "smbfs", "ncpfs",      "afs",         "ceph",  "9p",   "glusterfs",
    "fuse.glusterfs", "sshfs", "fuse.sshfs", "fuse.rclone", "davfs",
};

// mountinfo separates its fields by single spaces; spaces inside paths are escaped.
class Fields {
public:
    explicit Fields(std::string_view line) : m_rest(line) {}

    std::optional<std::string_view> next() {
        if (!m_rest) {
            return std::nullopt;
        }
        const auto end = m_rest->find(' ');
        const auto field = m_rest->substr(0, end);
        if (end == std::string_view::npos) {
            m_rest.reset();
        } else {
            m_rest->remove_prefix(end + 1);
        }
        return field;
    }

private:
    std::optional<std::string_view> m_rest;
};

template <typename Number> bool parseNumber(std::string_view text, Number& value, int base = 10) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc{} && end == text.data() + text.size();
}

// The kernel writes space, tab, newline and backslash in paths as \ooo.
std::string unescape(std::string_view field) {
    constexpr std::size_t codeLength = 3;
    std::string text;
    text.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        unsigned code = 0;
        if (field[i] == '\\' && i + codeLength < field.size() &&
            parseNumber(field.substr(i + 1, codeLength), code, 8) && code <= 0377) {
            text.push_back(static_cast<char>(code));
            i += codeLength;
        } else {
            text.push_back(field[i]);
        }
    }
    return text;
}

std::optional<MountEntry> parseLine(std::string_view line) {
    Fields fields(line);
    const auto mountId = fields.next();
    const auto parentId = fields.next();
    const auto device = fields.next();
    const auto fsRoot = fields.next();
    const auto mountPoint = fields.next();
    const auto options = fields.next();
    if (!options) {
        return std::nullopt;
    }
    unsigned mountNumber = 0;
    unsigned parentNumber = 0;
    MountEntry entry;
    const auto colon = device->find(':');
    if (!parseNumber(*mountId, mountNumber) || !parseNumber(*parentId, parentNumber) ||
        colon == std::string_view::npos || !parseNumber(device->substr(0, colon), entry.major) ||
        !parseNumber(device->substr(colon + 1), entry.minor) || !mountPoint->starts_with('/')) {
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
    entry.fsRoot = unescape(*fsRoot);
    entry.mountPoint = unescape(*mountPoint);
    entry.fsType = std::string(*fsType);
    entry.source = unescape(*source);
    return entry;
}

bool isLocal(const MountEntry& mount) {
    // Containers run on an overlay root; it is the only drive they have.
    if (mount.fsType == "overlay") {
        return mount.mountPoint == rootMountPoint;
    }
    if (std::ranges::find(excludedTypes, mount.fsType) != std::end(excludedTypes) ||
        mount.major == loopMajor) {
        return false;
    }
    // A ZFS dataset is named after its pool and has no device node of its own.
    return mount.fsType == "zfs" || mount.source.starts_with("/dev/") || mount.major != 0;
}

bool isUnderRemovableArea(std::string_view mountPoint) {
    return std::ranges::any_of(removableMountAreas, [mountPoint](std::string_view area) {
        return mountPoint.starts_with(area) &&
               (mountPoint.size() == area.size() || mountPoint[area.size()] == '/');
    });
}

// Which of two mounts of one filesystem names it in the list.
bool showsMoreThan(const MountEntry& mount, const MountEntry& chosen) {
    if (chosen.mountPoint == rootMountPoint) {
        return false;
    }
    return mount.mountPoint == rootMountPoint || mount.fsRoot.size() < chosen.fsRoot.size();
}

} // namespace

std::vector<MountEntry> parseMountInfo(std::string_view text) {
    std::vector<MountEntry> entries;
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (end == std::string_view::npos) {
            break;
        }
        if (auto entry = parseLine(text.substr(0, end))) {
            entries.push_back(std::move(*entry));
        }
        text.remove_prefix(end + 1);
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
        if (mount->mountPoint == rootMountPoint) {
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
    drives.push_back(
        drive(removable != nullptr ? std::string_view(removable->mountPoint) : noMediumMountPoint));
    drives.push_back(drive(rootMountPoint));
    for (const std::string& mountPoint : others) {
        drives.push_back(drive(mountPoint));
    }
    return drives;
}

} // namespace kelvora
