// SPDX-License-Identifier: MIT
#include "process/linux/user_entry.h"

#include <pwd.h>

#include <vector>

namespace kelvora {

std::optional<UserEntry> userEntry(uid_t user) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(user, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr) {
        return std::nullopt;
    }
    const bool absolute = entry.pw_dir != nullptr && entry.pw_dir[0] == '/';
    return UserEntry{QByteArray(entry.pw_name), absolute ? QByteArray(entry.pw_dir) : QByteArray(),
                     entry.pw_gid};
}

} // namespace kelvora
