// SPDX-License-Identifier: MIT
#include "platform/user_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <thread>

#ifdef Q_OS_WIN
#include <QLockFile>
#include <QSaveFile>
#else
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kelvora {

namespace {

// As many levels as anyone links a settings file through; a loop ends here.
constexpr int kLinkLevels = 8;
// Sibling names tried before a file is left where it is.
constexpr int kAsideNames = 99;

QString asideName(const QString& path, const QString& suffix, int number) {
    QString name = path + u'.' + suffix;
    if (number > 1) {
        name += u'-' + QString::number(number);
    }
    return name;
}

#ifndef Q_OS_WIN

constexpr int kTempAttempts = 16;
constexpr std::chrono::milliseconds kLockPoll{20};

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

bool isRoot() {
    return geteuid() == 0;
}

// What a run as root makes in a user's folder belongs to that folder's
// owner; anyone else can only make their own files, which is what they want.
// False when root could not give it away.
bool giveToOwnerOfFolder(int descriptor, const QString& folder) {
    struct stat owner {};
    return !isRoot() || (stat(native(folder).constData(), &owner) == 0 &&
                         fchown(descriptor, owner.st_uid, owner.st_gid) == 0);
}

} // namespace

// Folders are made private to the user, as the XDG rules ask of a settings
// folder.
bool makeUserFolders(const QString& folder) {
    const QByteArray name = native(folder);
    struct stat info {};
    if (stat(name.constData(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    if (errno != ENOENT) {
        return false;
    }
    const QString parent = QFileInfo(folder).path();
    if (parent == folder || !makeUserFolders(parent)) {
        return false;
    }
    if (mkdir(name.constData(), 0700) != 0) {
        return errno == EEXIST;
    }
    const int descriptor = open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor >= 0) {
        giveToOwnerOfFolder(descriptor, parent);
        close(descriptor);
    }
    return true;
}

namespace {

FileStatus statusOfOpenError(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return FileStatus::Missing;
    case EACCES:
    case EPERM:
        return FileStatus::Unreadable;
    case ELOOP:
        // A link put in the file's place since it was looked at.
        return FileStatus::NotAFile;
    default:
        return FileStatus::Failed;
    }
}

FileContents readOpenFile(int descriptor, qint64 largest) {
    struct stat info {};
    if (fstat(descriptor, &info) != 0) {
        return {FileStatus::Failed, {}};
    }
    if (!S_ISREG(info.st_mode)) {
        return {FileStatus::NotAFile, {}};
    }
    if (info.st_size > largest) {
        return {FileStatus::Unreadable, {}};
    }
    // One byte more than the size shows a file that grew while it was read.
    QByteArray bytes(static_cast<qsizetype>(info.st_size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() > largest) {
                return {FileStatus::Unreadable, {}};
            }
            bytes.resize(static_cast<qsizetype>(std::min<qint64>(bytes.size() * 2, largest + 1)));
        }
        const ssize_t got = read(descriptor, bytes.data() + filled,
                                 static_cast<std::size_t>(bytes.size() - filled));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return {FileStatus::Failed, {}};
        }
        if (got == 0) {
            break;
        }
        filled += got;
    }
    bytes.resize(filled);
    return {FileStatus::Read, bytes};
}

bool writeAll(int descriptor, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(descriptor, bytes.constData() + done,
                                    static_cast<std::size_t>(bytes.size() - done));
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return false;
        }
        done += wrote;
    }
    return true;
}

QByteArray tempName(const QByteArray& path) {
    return path + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".new";
}

// Writes the copy whole, with the owner and mode of `model` (when there is
// one; else of a new file in `folder`), and flushes it to the disk.
bool fillCopy(int descriptor, const QByteArray& bytes, const struct stat* model,
              const QString& folder) {
    bool written = writeAll(descriptor, bytes);
    if (model != nullptr) {
        // Only root can give a file away; for anyone else the owner is
        // already right and the group stays their own when the call fails.
        if (fchown(descriptor, model->st_uid, model->st_gid) != 0) {
            written = written && !isRoot();
        }
        written = fchmod(descriptor, model->st_mode & 07777) == 0 && written;
    } else {
        written = giveToOwnerOfFolder(descriptor, folder) && written;
    }
    return fsync(descriptor) == 0 && written;
}

enum class Copy { Named, Failed, Unsupported };

// The copy as an unnamed file in the folder, named `temp` only once it is
// whole: a crash while it is written leaves nothing in the user's folder.
// Unsupported where the filesystem or a missing /proc offers no such file.
Copy writeUnnamedCopy(const QByteArray& path, const QByteArray& bytes, const struct stat* model,
                      const QString& folder, QByteArray& temp) {
#ifdef O_TMPFILE
    const int descriptor = open(native(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return Copy::Unsupported;
    }
    Copy copy = Copy::Failed;
    if (fillCopy(descriptor, bytes, model, folder)) {
        copy = Copy::Unsupported;
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(descriptor);
        for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
            const QByteArray name = tempName(path);
            if (linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) ==
                0) {
                temp = name;
                copy = Copy::Named;
                break;
            }
            if (errno != EEXIST) {
                break;
            }
        }
    }
    close(descriptor);
    return copy;
#else
    return Copy::Unsupported;
#endif
}

// The copy as a new file beside `path` that nobody else can have opened.
Copy writeNamedCopy(const QByteArray& path, const QByteArray& bytes, const struct stat* model,
                    const QString& folder, QByteArray& temp) {
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
        const QByteArray name = tempName(path);
        const int descriptor =
            open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor < 0 && errno == EEXIST) {
            continue;
        }
        if (descriptor < 0) {
            return Copy::Failed;
        }
        const bool written = fillCopy(descriptor, bytes, model, folder);
        if (close(descriptor) == 0 && written) {
            temp = name;
            return Copy::Named;
        }
        unlink(name.constData());
        return Copy::Failed;
    }
    return Copy::Failed;
}

#endif

} // namespace

QString linkTarget(const QString& path) {
    QString current = path;
    for (int level = 0; level < kLinkLevels; ++level) {
        const QFileInfo info(current);
        if (!info.isSymLink()) {
            return current;
        }
        const QString next = info.symLinkTarget();
        if (next.isEmpty()) {
            return current;
        }
        current = next;
    }
    return current;
}

#ifdef Q_OS_WIN

FileContents readUserFile(const QString& path, qint64 largest) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return {FileStatus::Missing, {}};
    }
    if (!info.isFile() || info.isSymLink()) {
        return {FileStatus::NotAFile, {}};
    }
    if (info.size() > largest) {
        return {FileStatus::Unreadable, {}};
    }
    // Another program holding the file open without sharing is the usual
    // reason for a failed open here, and it passes.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {FileStatus::Failed, {}};
    }
    QByteArray bytes = file.read(largest + 1);
    if (bytes.size() > largest) {
        return {FileStatus::Unreadable, {}};
    }
    return {FileStatus::Read, bytes};
}

bool makeUserFolders(const QString& folder) {
    return QDir().mkpath(folder);
}

bool replaceUserFile(const QString& path, const QByteArray& bytes, const QString&) {
    if (!makeUserFolders(QFileInfo(path).path())) {
        return false;
    }
    // QSaveFile renames its copy into place even when the data never reached
    // it (a full disk): only a copy that was flushed whole replaces the file.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()) {
        return file.commit();
    }
    file.cancelWriting();
    return false;
}

bool moveAside(const QString& path, const QString& suffix) {
    if (!QFileInfo(path).isFile()) {
        return false;
    }
    for (int number = 1; number <= kAsideNames; ++number) {
        const QString candidate = asideName(path, suffix, number);
        if (!QFileInfo::exists(candidate)) {
            return QFile::rename(path, candidate);
        }
    }
    return false;
}

bool removeUserFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink() && QFile::remove(path);
}

FileLock::FileLock(const QString& path, std::chrono::milliseconds wait)
    : m_lock(std::make_unique<QLockFile>(path)) {
    m_held = m_lock->tryLock(static_cast<int>(wait.count()));
}

FileLock::~FileLock() = default;

#else

FileContents readUserFile(const QString& path, qint64 largest) {
    const QByteArray name = native(path);
    struct stat info {};
    if (lstat(name.constData(), &info) != 0) {
        return {errno == ENOENT || errno == ENOTDIR ? FileStatus::Missing : FileStatus::Failed, {}};
    }
    if (!S_ISREG(info.st_mode)) {
        return {FileStatus::NotAFile, {}};
    }
    if (info.st_size > largest) {
        return {FileStatus::Unreadable, {}};
    }
    // What sits at the path may change between the look and the open: the
    // open neither follows a link nor waits for a FIFO's writer.
    const int descriptor = open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return {statusOfOpenError(errno), {}};
    }
    FileContents contents = readOpenFile(descriptor, largest);
    close(descriptor);
    return contents;
}

bool replaceUserFile(const QString& path, const QByteArray& bytes, const QString& attributesFrom) {
    const QString folder = QFileInfo(path).path();
    if (!makeUserFolders(folder)) {
        return false;
    }
    const QByteArray name = native(path);
    struct stat model {};
    const QByteArray modelName = attributesFrom.isEmpty() ? name : native(attributesFrom);
    const bool hasModel = lstat(modelName.constData(), &model) == 0 && S_ISREG(model.st_mode);
    const struct stat* attributes = hasModel ? &model : nullptr;

    QByteArray temp;
    Copy copy = writeUnnamedCopy(name, bytes, attributes, folder, temp);
    if (copy == Copy::Unsupported) {
        copy = writeNamedCopy(name, bytes, attributes, folder, temp);
    }
    if (copy != Copy::Named) {
        return false;
    }
    if (rename(temp.constData(), name.constData()) == 0) {
        return true;
    }
    unlink(temp.constData());
    return false;
}

bool moveAside(const QString& path, const QString& suffix) {
    struct stat info {};
    if (lstat(native(path).constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    for (int number = 1; number <= kAsideNames; ++number) {
        const QByteArray candidate = native(asideName(path, suffix, number));
        if (lstat(candidate.constData(), &info) == 0 || errno != ENOENT) {
            continue;
        }
        return rename(native(path).constData(), candidate.constData()) == 0;
    }
    return false;
}

bool removeUserFile(const QString& path) {
    const QByteArray name = native(path);
    struct stat info {};
    return lstat(name.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
           unlink(name.constData()) == 0;
}

int openRegularFile(int folder, const char* name, int flags, bool& created) {
    struct stat info {};
    const bool existed = fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0;
    if (existed ? !S_ISREG(info.st_mode) : errno != ENOENT) {
        return -1;
    }
    // What sits at the name may change between the look and the open.
    const int descriptor =
        openat(folder, name, flags | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        return -1;
    }
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(descriptor);
        return -1;
    }
    created = !existed;
    return descriptor;
}

FileLock::FileLock(const QString& path, std::chrono::milliseconds wait) {
    bool created = false;
    const int descriptor = openRegularFile(AT_FDCWD, native(path).constData(), O_RDWR, created);
    if (descriptor < 0) {
        return;
    }
    m_descriptor = descriptor;
    if (created) {
        giveToOwnerOfFolder(descriptor, QFileInfo(path).path());
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
            m_held = true;
            return;
        }
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            return;
        }
        std::this_thread::sleep_for(kLockPoll);
    }
}

FileLock::~FileLock() {
    if (m_descriptor >= 0) {
        close(m_descriptor);
    }
}

#endif

} // namespace kelvora
