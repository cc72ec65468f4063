// SPDX-License-Identifier: MIT
#include "process/file_identity.h"
#include "process/linux/user_entry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <grp.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kelvora {

namespace {

constexpr uid_t kAdministrator = 0;
// As many groups as getgrouplist is asked for at first; it says when more.
constexpr int kUsualGroups = 64;

// The system's own call, not the C library's: that one changes the groups
// of every thread of the process, and only this thread's file steps are
// meant.
bool setThreadGroups(const std::vector<gid_t>& groups) {
    return syscall(SYS_setgroups, groups.size(), groups.data()) == 0;
}

// setfsuid reports the identity it replaced, never a failure; asking with
// an impossible value reads the one in force.
bool setFileUser(uid_t user) {
    setfsuid(user);
    return static_cast<uid_t>(setfsuid(static_cast<uid_t>(-1))) == user;
}

bool setFileGroup(gid_t group) {
    setfsgid(group);
    return static_cast<gid_t>(setfsgid(static_cast<gid_t>(-1))) == group;
}

// The user's primary group and the groups the system lists the user in; a
// user the system has no entry for has only the group given.
std::vector<gid_t> groupsOf(uid_t user, gid_t& group) {
    const std::optional<UserEntry> entry = userEntry(user);
    if (!entry) {
        return {group};
    }
    group = entry->group;
    std::vector<gid_t> groups(kUsualGroups);
    int count = kUsualGroups;
    if (getgrouplist(entry->name.constData(), group, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (getgrouplist(entry->name.constData(), group, groups.data(), &count) < 0) {
            return {group};
        }
    }
    groups.resize(static_cast<std::size_t>(count));
    return groups;
}

} // namespace

bool hasAdministratorFileRights() {
    return geteuid() == kAdministrator;
}

std::optional<FileOwner> userOwning(const QString& path) {
    if (!hasAdministratorFileRights() || path.isEmpty()) {
        return std::nullopt;
    }
    // The deepest owner that is not the administrator decides: a link or a
    // folder the user put anywhere along the path makes it the user's, so
    // that no link can lead the run into a folder only the administrator
    // could write.
    QString current = QDir::cleanPath(path);
    for (;;) {
        struct stat info {};
        if (lstat(QFile::encodeName(current).constData(), &info) == 0 &&
            info.st_uid != kAdministrator) {
            return FileOwner{static_cast<std::uint32_t>(info.st_uid),
                             static_cast<std::uint32_t>(info.st_gid)};
        }
        const QString parent = QFileInfo(current).path();
        if (parent == current) {
            return std::nullopt;
        }
        current = parent;
    }
}

FileIdentity::FileIdentity(const std::optional<FileOwner>& owner) {
    if (!owner) {
        return;
    }
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> own(static_cast<std::size_t>(std::max(count, 0)));
    if (count < 0 || getgroups(count, own.data()) != count) {
        m_held = false;
        return;
    }
    m_groups.assign(own.begin(), own.end());
    m_switched = true;
    gid_t group = owner->group;
    const std::vector<gid_t> groups = groupsOf(owner->user, group);
    // Groups and group first: once the user is set, the rights to change
    // them are gone until it is set back.
    m_held = setThreadGroups(groups) && setFileGroup(group) && setFileUser(owner->user);
}

FileIdentity::~FileIdentity() {
    if (!m_switched) {
        return;
    }
    setFileUser(geteuid());
    setFileGroup(getegid());
    setThreadGroups(std::vector<gid_t>(m_groups.begin(), m_groups.end()));
}

} // namespace kelvora
