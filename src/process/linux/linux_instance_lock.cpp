// SPDX-License-Identifier: MIT
#include "process/instance_lock.h"
#include "process/linux/regular_file.h"
#include "process/linux/user_entry.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kelvora {

namespace {

enum class Outcome { Held, HeldByAnother, Unusable };

bool isPrivateFolderOf(int folder, uid_t user) {
    struct stat info {};
    return fstat(folder, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == user;
}

int openFolder(const char* path) {
    return open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// The folder at `path` when it is this user's own and no link, made private
// to the user when asked; -1 otherwise.
int ownFolder(const QByteArray& path, uid_t user, bool make) {
    if (make) {
        mkdir(path.constData(), S_IRWXU);
    }
    const int folder = openFolder(path.constData());
    if (folder >= 0 && isPrivateFolderOf(folder, user)) {
        if (make) {
            // Made by this user with a looser umask, or loosened since.
            fchmod(folder, S_IRWXU);
        }
        return folder;
    }
    if (folder >= 0) {
        close(folder);
    }
    return -1;
}

// The lock's folder is chosen without looking at the environment, so that
// every start of one user finds the same lock whatever XDG_RUNTIME_DIR,
// TMPDIR or HOME say (a shell that unset them, su, sudo -E). The runtime
// folder the login manager makes for the session, /run/user/<uid>, is
// XDG_RUNTIME_DIR's usual value anyway; where there is none (containers,
// systems without one) a folder of the user's own in /tmp serves, and where
// another user took that name first, one in the user's own cache folder. A
// folder owned by anyone else, or a link, is never used. -1 when there is no
// usable folder.
int openLockFolder() {
    const uid_t user = geteuid();
    int folder = ownFolder("/run/user/" + QByteArray::number(user), user, false);
    if (folder < 0) {
        folder = ownFolder("/tmp/kelvora-" + QByteArray::number(user), user, true);
    }
    // The home the system lists, which no environment changes.
    const std::optional<UserEntry> entry = userEntry(user);
    const QByteArray home = entry ? entry->home : QByteArray();
    if (folder < 0 && !home.isEmpty()) {
        const QByteArray cache = home + "/.cache";
        mkdir(cache.constData(), S_IRWXU);
        folder = ownFolder(cache + "/kelvora", user, true);
    }
    return folder;
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Nothing but a regular file is ever opened, and never in a way that waits:
// a FIFO, device, folder or link at the path makes the name unusable.
Outcome lockAt(int folder, const char* name, int& file) {
    // An instance that ends removes the file it locked; a start that locked
    // the removed file in that moment has to lock the new one instead.
    constexpr int kTries = 3;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        bool created = false;
        const int opened = openRegularFileAt(folder, name, O_RDONLY, true, created);
        if (opened < 0) {
            return Outcome::Unusable;
        }
        if (flock(opened, LOCK_EX | LOCK_NB) != 0) {
            const bool busy = errno == EWOULDBLOCK;
            close(opened);
            return busy ? Outcome::HeldByAnother : Outcome::Unusable;
        }
        struct stat locked {};
        struct stat now {};
        if (fstat(opened, &locked) == 0 && fstatat(folder, name, &now, AT_SYMLINK_NOFOLLOW) == 0 &&
            sameFile(now, locked)) {
            file = opened;
            return Outcome::Held;
        }
        close(opened);
    }
    return Outcome::Unusable;
}

} // namespace

struct InstanceLock::Handle {
    int folder = -1;
    int file = -1;
    QByteArray name;
};

InstanceLock::InstanceLock(const QString& programTitle) : m_handle(std::make_unique<Handle>()) {
    Handle& lock = *m_handle;
    lock.folder = openLockFolder();
    if (lock.folder < 0) {
        return;
    }
    const QString base = instanceLockName(programTitle);
    // Something odd at the name, which nothing the program makes leaves
    // there, moves the lock to the next name; every start meets the same
    // obstacle and so agrees on the same next name.
    const std::array<const char*, 3> suffixes{".lock", "-2.lock", "-3.lock"};
    for (const char* suffix : suffixes) {
        const QByteArray name = base.toUtf8() + suffix;
        switch (lockAt(lock.folder, name.constData(), lock.file)) {
        case Outcome::Held:
            lock.name = name;
            return;
        case Outcome::HeldByAnother:
            m_anotherInstanceRuns = true;
            return;
        case Outcome::Unusable:
            break;
        }
    }
}

InstanceLock::~InstanceLock() {
    const Handle& lock = *m_handle;
    if (lock.file >= 0) {
        // Removed while still locked, so that no start can lock this file
        // after it is gone from the folder.
        struct stat locked {};
        struct stat now {};
        if (fstat(lock.file, &locked) == 0 &&
            fstatat(lock.folder, lock.name.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
            sameFile(locked, now)) {
            unlinkat(lock.folder, lock.name.constData(), 0);
        }
        close(lock.file);
    }
    if (lock.folder >= 0) {
        close(lock.folder);
    }
}

} // namespace kelvora
