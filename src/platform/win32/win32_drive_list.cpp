#include "platform/drive_list.h"

#include <windows.h>

namespace kelvora {

std::vector<Drive> listDrives() {
    constexpr int letters = 26;
    const DWORD present = GetLogicalDrives();
    std::vector<Drive> drives;
    for (int i = 0; i < letters; ++i) {
        if ((present & (DWORD{1} << i)) != 0) {
            const std::string letter{static_cast<char>('a' + i), ':'};
            drives.push_back(Drive{.text = letter, .root = letter});
        }
    }
    return drives;
}

} // namespace kelvora
