// SPDX-License-Identifier: MIT
#pragma once

#include "process/user_files.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace kelvora {

// Whether this process has the system administrator's rights over files
// (root), which no permission bit stops.
bool hasAdministratorFileRights();

// The user a path belongs to, as seen by a run with administrator rights: the
// owner of the deepest existing component of `path` that is not the
// administrator's, and its group. None for anyone else's run, and where
// every component is the administrator's.
std::optional<FileOwner> userOwning(const QString& path);

// For its lifetime, this thread's steps on files are taken with `owner`'s
// filesystem identity (user, the user's own group where the system knows
// the user, else the owner's, and the user's groups), so the kernel
// refuses whatever that user could not do and what is made belongs to that
// user by itself. Without an owner it changes nothing. held() is false when
// the identity could not be taken; nothing may then be done on the owner's
// behalf.
class FileIdentity {
public:
    explicit FileIdentity(const std::optional<FileOwner>& owner);
    ~FileIdentity();
    FileIdentity(const FileIdentity&) = delete;
    FileIdentity& operator=(const FileIdentity&) = delete;

    bool held() const { return m_held; }

private:
    // The thread's own groups, given back when the identity goes.
    std::vector<std::uint32_t> m_groups;
    bool m_switched = false;
    bool m_held = true;
};

} // namespace kelvora
