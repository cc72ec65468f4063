// SPDX-License-Identifier: MIT
#include "platform/drive_list.h"
#include "platform/linux/mount_info.h"

#include <fstream>
#include <sstream>

namespace kelvora {

namespace {

bool holdsOne(const std::string& path) {
    std::ifstream file(path);
    char flag = 0;
    return file.get(flag) && flag == '1';
}

bool isRemovableDevice(unsigned major, unsigned minor) {
    const std::string device =
        "/sys/dev/block/" + std::to_string(major) + ":" + std::to_string(minor);
    // A partition carries no flag of its own; its disk, one level up, does.
    return holdsOne(device + "/removable") || holdsOne(device + "/../removable");
}

} // namespace

std::vector<Drive> listDrives() {
    std::ifstream file("/proc/self/mountinfo");
    std::ostringstream text;
    text << file.rdbuf();
    return selectDrives(parseMountInfo(text.view()), isRemovableDevice);
}

} // namespace kelvora
