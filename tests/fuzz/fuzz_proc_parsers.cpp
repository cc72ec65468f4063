// SPDX-License-Identifier: MIT
#include "platform/linux/mount_info.h"
#include "platform/linux/proc_parsers.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void checkProcStat(std::string_view text) {
    const auto ticks = kelvora::parseProcStat(text);
    if (!ticks) {
        return;
    }
    // Idle and iowait are two of the fields the total sums.
    check(ticks->idle <= ticks->total);
    check(ticks->processorLines <= static_cast<std::size_t>(std::ranges::count(text, '\n')));
}

void checkProcMeminfo(std::string_view text) {
    const auto memory = kelvora::parseProcMeminfo(text);
    if (!memory) {
        return;
    }
    // The file counts in kilobytes.
    check(memory->total % 1024 == 0 && memory->available % 1024 == 0);
}

void checkMountInfo(std::string_view text) {
    const auto mounts = kelvora::parseMountInfo(text);
    check(mounts.size() <= static_cast<std::size_t>(std::ranges::count(text, '\n')));
    for (const kelvora::MountEntry& mount : mounts) {
        check(mount.mountPoint.starts_with('/') && !mount.fsType.empty());
    }
    // Whether a device is removable comes from the input too, so that both
    // ways of filling entry 0 are taken.
    const unsigned char salt = text.empty() ? 0 : static_cast<unsigned char>(text.front());
    const kelvora::RemovableDevice isRemovable = [salt](unsigned major, unsigned minor) {
        return ((major ^ minor ^ salt) & 1U) != 0;
    };
    const auto drives = kelvora::selectDrives(mounts, isRemovable);
    check(drives.size() >= 2 && drives[1].root == "/");
    std::set<std::string> roots;
    for (const kelvora::Drive& drive : drives) {
        check(drive.text == drive.root && drive.root.starts_with('/'));
        check(roots.insert(drive.root).second);
    }
}

} // namespace

// Input: the text of a /proc file; each parser gets the same bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkProcStat(text);
    checkProcMeminfo(text);
    checkMountInfo(text);
    return 0;
}
