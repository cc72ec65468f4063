// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <optional>
#include <sys/types.h>

namespace kelvora {

// What the system's user list says of a user; none when it has no entry.
struct UserEntry {
    QByteArray name;
    // Empty unless the entry names an absolute path.
    QByteArray home;
    gid_t group = 0;
};
std::optional<UserEntry> userEntry(uid_t user);

} // namespace kelvora
