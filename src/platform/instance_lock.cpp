// SPDX-License-Identifier: MIT
#include "platform/instance_lock.h"

#include "platform/user_files.h"

#ifdef Q_OS_WIN
#include <windows.h>

#include <string>
#else
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kelvora {

namespace {

// Anything but letters, digits, '.', '-' and '_' becomes '_': a display name
// may hold a host name, a path or worse.
QString fileNameSafe(const QString& text) {
    constexpr qsizetype kLongest = 64;
    QString safe = text.left(kLongest);
    for (QChar& c : safe) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'_';
        if (!plain) {
            c = u'_';
        }
    }
    return safe;
}

} // namespace

QString displayKey(const QString& x11Display, const QString& waylandDisplay) {
    if (!x11Display.isEmpty()) {
        // [host]:display[.screen]; the screen does not make another display,
        // and an empty host or "unix" is the local one.
        const qsizetype colon = x11Display.lastIndexOf(u':');
        if (colon >= 0) {
            const QString host = x11Display.left(colon);
            const QString number = x11Display.mid(colon + 1).section(u'.', 0, 0);
            bool isNumber = false;
            number.toUInt(&isNumber);
            if (isNumber) {
                const bool local = host.isEmpty() || host == u"unix";
                return QStringLiteral("x11-") + (local ? QString() : fileNameSafe(host) + u'-') +
                       number;
            }
        }
        return QStringLiteral("x11-") + fileNameSafe(x11Display);
    }
    // Wayland clients connect to "wayland-0" when nothing names a socket.
    return QStringLiteral("wl-") +
           fileNameSafe(waylandDisplay.isEmpty() ? QStringLiteral("wayland-0") : waylandDisplay);
}

#ifdef Q_OS_WIN

// A named mutex in the session's own namespace: one per user and desktop,
// gone with the last handle, which the system closes when the process ends,
// killed or not.
InstanceLock::InstanceLock(const QString& programTitle) {
    const std::wstring name = (QStringLiteral("Local\\kelvora-") + programTitle).toStdWString();
    m_mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    // No handle at all means some other kind of object holds the name, which
    // is no instance of this program.
    m_anotherInstanceRuns = m_mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
}

InstanceLock::~InstanceLock() {
    if (m_mutex != nullptr) {
        CloseHandle(m_mutex);
    }
}

#else

namespace {

enum class Outcome { Held, HeldByAnother, Unusable };

bool isPrivateFolderOf(int folder, uid_t user) {
    struct stat info {};
    return fstat(folder, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == user;
}

int openFolder(const char* path) {
    return open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// The lock's folder is chosen without looking at the environment, so that
// every start of one user finds the same lock whatever XDG_RUNTIME_DIR or
// TMPDIR say (a shell that unset them, su, sudo -E). The runtime folder the
// login manager makes for the session, /run/user/<uid>, is XDG_RUNTIME_DIR's
// usual value anyway; where there is none (containers, systems without one)
// a folder of the user's own in /tmp serves. A folder owned by anyone else,
// or a link, is never used. -1 when there is no usable folder.
int openLockFolder() {
    const uid_t user = geteuid();
    const QByteArray runtime = "/run/user/" + QByteArray::number(user);
    int folder = openFolder(runtime.constData());
    if (folder >= 0 && isPrivateFolderOf(folder, user)) {
        return folder;
    }
    if (folder >= 0) {
        close(folder);
    }
    const QByteArray own = "/tmp/kelvora-" + QByteArray::number(user);
    mkdir(own.constData(), S_IRWXU);
    folder = openFolder(own.constData());
    if (folder >= 0 && isPrivateFolderOf(folder, user)) {
        // Made by this user with a looser umask, or loosened since.
        fchmod(folder, S_IRWXU);
        return folder;
    }
    if (folder >= 0) {
        close(folder);
    }
    return -1;
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
        const int opened = openRegularFile(folder, name, O_RDONLY, created);
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

InstanceLock::InstanceLock(const QString& programTitle) {
    m_folder = openLockFolder();
    if (m_folder < 0) {
        return;
    }
    const QString base =
        QStringLiteral("kelvora-") + fileNameSafe(programTitle) + u'-' +
        displayKey(qEnvironmentVariable("DISPLAY"), qEnvironmentVariable("WAYLAND_DISPLAY"));
    // Something odd at the name, which nothing the program makes leaves
    // there, moves the lock to the next name; every start meets the same
    // obstacle and so agrees on the same next name.
    const std::array<const char*, 3> suffixes{".lock", "-2.lock", "-3.lock"};
    for (const char* suffix : suffixes) {
        const QByteArray name = base.toUtf8() + suffix;
        switch (lockAt(m_folder, name.constData(), m_file)) {
        case Outcome::Held:
            m_name = name;
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
    if (m_file >= 0) {
        // Removed while still locked, so that no start can lock this file
        // after it is gone from the folder.
        struct stat locked {};
        struct stat now {};
        if (fstat(m_file, &locked) == 0 &&
            fstatat(m_folder, m_name.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
            sameFile(locked, now)) {
            unlinkat(m_folder, m_name.constData(), 0);
        }
        close(m_file);
    }
    if (m_folder >= 0) {
        close(m_folder);
    }
}

#endif

} // namespace kelvora
