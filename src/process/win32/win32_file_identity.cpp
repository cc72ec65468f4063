// SPDX-License-Identifier: MIT
#include "process/file_identity.h"

namespace kelvora {

// Windows keeps no user's settings where another user's program could be
// led: %APPDATA% is the user's own, and an administrator's run has its own.
bool hasAdministratorFileRights() {
    return false;
}

std::optional<FileOwner> userOwning(const QString&) {
    return std::nullopt;
}

FileIdentity::FileIdentity(const std::optional<FileOwner>&) {}

FileIdentity::~FileIdentity() = default;

} // namespace kelvora
