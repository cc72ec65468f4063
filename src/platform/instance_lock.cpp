// SPDX-License-Identifier: MIT
#include "platform/instance_lock.h"

#include <QSysInfo>

#include <algorithm>
#include <array>
#include <optional>

#ifdef Q_OS_WIN
#include <windows.h>

#include <string>
#else
#include "platform/linux/regular_file.h"

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
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

// The names the local machine answers to in DISPLAY: a display reached
// over the loopback network is the same server as through its socket.
bool isLocalHost(const QString& host) {
    constexpr std::array<QStringView, 6> kLocalNames = {u"",          u"unix", u"localhost",
                                                        u"127.0.0.1", u"::1",  u"[::1]"};
    return std::find(kLocalNames.begin(), kLocalNames.end(), host) != kLocalNames.end() ||
           host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0;
}

// The display number as X reads it: "071" and "+71" are display 71.
std::optional<quint32> displayNumber(QStringView text) {
    if (text.startsWith(u'+')) {
        text = text.sliced(1);
    }
    bool isNumber = !text.isEmpty();
    for (const QChar c : text) {
        isNumber = isNumber && c.isDigit() && c.unicode() < 0x80;
    }
    const quint32 number = text.toUInt(&isNumber);
    return isNumber ? std::optional(number) : std::nullopt;
}

} // namespace

QString displayKey(const QString& x11Display, const QString& waylandDisplay) {
    if (!x11Display.isEmpty()) {
        // [host]:display[.screen]; the screen does not make another display.
        const qsizetype colon = x11Display.lastIndexOf(u':');
        if (colon >= 0) {
            const QString host = x11Display.left(colon);
            const std::optional<quint32> number =
                displayNumber(x11Display.mid(colon + 1).section(u'.', 0, 0));
            if (number) {
                return QStringLiteral("x11-") +
                       (isLocalHost(host) ? QString() : fileNameSafe(host) + u'-') +
                       QString::number(*number);
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

// The user's home as the system lists it, which no environment changes.
QByteArray listedHome(uid_t user) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(user, &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        entry.pw_dir == nullptr || entry.pw_dir[0] != '/') {
        return {};
    }
    return QByteArray(entry.pw_dir);
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
    const QByteArray home = listedHome(user);
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
