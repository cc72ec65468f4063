// SPDX-License-Identifier: MIT
#include "process/linux/regular_file.h"
#include "process/user_files.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace kelvora {

namespace {

// Sibling names tried before a file is left where it is.
constexpr int kAsideNames = 99;
constexpr int kTempAttempts = 16;
// A name made, removed and made again between two looks is given up on.
constexpr int kOpenAttempts = 3;
constexpr std::chrono::milliseconds kLockPoll{20};
constexpr mode_t kPermissionBits = 0777;

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

void closeKeepingErrno(int descriptor) {
    const int error = errno;
    close(descriptor);
    errno = error;
}

// What sits at a name, looked at without opening it: a link is the link, a
// FIFO is never waited for.
struct Entry {
    int descriptor = -1;
    struct stat info {};

    Entry(int folder, const char* name) {
        descriptor = openat(folder, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (descriptor >= 0 && fstat(descriptor, &info) != 0) {
            closeKeepingErrno(descriptor);
            descriptor = -1;
        }
    }
    ~Entry() {
        if (descriptor >= 0) {
            closeKeepingErrno(descriptor);
        }
    }
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;

    bool exists() const { return descriptor >= 0; }
    bool isFile() const { return exists() && S_ISREG(info.st_mode); }
};

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens the very file the entry looked at, through the descriptor's own
// link in /proc, so nothing put at the name since is ever opened. Without
// /proc the name is opened again and must still be that file.
int reopen(const Entry& entry, int folder, const char* name, int flags) {
    const int plain = flags | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(entry.descriptor);
    const int opened = open(self.constData(), plain);
    if (opened >= 0 || errno != ENOENT) {
        return opened;
    }
    const int again = openat(folder, name, plain | O_NOFOLLOW);
    struct stat info {};
    if (again >= 0 && (fstat(again, &info) != 0 || !sameFile(info, entry.info))) {
        close(again);
        errno = ELOOP;
        return -1;
    }
    return again;
}

FileStatus statusOfOpenError(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return FileStatus::Missing;
    case EACCES:
    case EPERM:
        return FileStatus::Unreadable;
    case ELOOP:
        // Something else put at the name since it was looked at.
        return FileStatus::NotAFile;
    default:
        return FileStatus::Failed;
    }
}

FileAttributes attributesOf(const struct stat& info) {
    return {static_cast<std::uint32_t>(info.st_mode & kPermissionBits),
            static_cast<std::uint32_t>(info.st_gid), true};
}

FileContents readOpenFile(int descriptor, qint64 largest, const FileAttributes& attributes) {
    struct stat info {};
    if (fstat(descriptor, &info) != 0) {
        return {FileStatus::Failed, {}, attributes};
    }
    // One byte more than the size shows a file that grew while it was read.
    QByteArray bytes(static_cast<qsizetype>(std::min<qint64>(info.st_size, largest)) + 1,
                     Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() > largest) {
                return {FileStatus::Unreadable, {}, attributes};
            }
            bytes.resize(static_cast<qsizetype>(std::min<qint64>(bytes.size() * 2, largest + 1)));
        }
        const ssize_t got = read(descriptor, bytes.data() + filled,
                                 static_cast<std::size_t>(bytes.size() - filled));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return {FileStatus::Failed, {}, attributes};
        }
        if (got == 0) {
            break;
        }
        filled += got;
    }
    bytes.resize(filled);
    return {FileStatus::Read, bytes, attributes};
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

QByteArray tempName(const QByteArray& name) {
    return name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".new";
}

// Writes the copy whole with the mode, and where this process may give it
// the group, of the file it replaces, and flushes it to the disk. The owner
// is whoever writes it: the user whose rights the process acts with.
bool fillCopy(int descriptor, const QByteArray& bytes, const FileAttributes& attributes) {
    bool written = writeAll(descriptor, bytes);
    if (attributes.known) {
        struct stat info {};
        if (fstat(descriptor, &info) == 0 && info.st_gid != attributes.group) {
            // Only a group of the user's own can be given; else the new
            // file keeps the user's, as any editor's copy would.
            [[maybe_unused]] const int given =
                fchown(descriptor, static_cast<uid_t>(-1), static_cast<gid_t>(attributes.group));
        }
        written = fchmod(descriptor, static_cast<mode_t>(attributes.mode)) == 0 && written;
    }
    return fsync(descriptor) == 0 && written;
}

enum class Copy { Named, Failed, Unsupported };

// The copy as an unnamed file in the folder, named `temp` only once it is
// whole: a crash while it is written leaves nothing in the user's folder.
// Unsupported where the filesystem or a missing /proc offers no such file.
Copy writeUnnamedCopy(int folder, const QByteArray& name, const QByteArray& bytes,
                      const FileAttributes& attributes, QByteArray& temp) {
    const int descriptor = openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return Copy::Unsupported;
    }
    Copy copy = Copy::Failed;
    if (fillCopy(descriptor, bytes, attributes)) {
        copy = Copy::Unsupported;
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(descriptor);
        for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
            const QByteArray candidate = tempName(name);
            if (linkat(AT_FDCWD, self.constData(), folder, candidate.constData(),
                       AT_SYMLINK_FOLLOW) == 0) {
                temp = candidate;
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
}

// The copy as a new file in the folder that nobody else can have opened.
Copy writeNamedCopy(int folder, const QByteArray& name, const QByteArray& bytes,
                    const FileAttributes& attributes, QByteArray& temp) {
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
        const QByteArray candidate = tempName(name);
        const int descriptor = openat(folder, candidate.constData(),
                                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor < 0 && errno == EEXIST) {
            continue;
        }
        if (descriptor < 0) {
            return Copy::Failed;
        }
        const bool written = fillCopy(descriptor, bytes, attributes);
        if (close(descriptor) == 0 && written) {
            temp = candidate;
            return Copy::Named;
        }
        unlinkat(folder, candidate.constData(), 0);
        return Copy::Failed;
    }
    return Copy::Failed;
}

// Opens the folder at `path`, making what is missing of it when asked. The
// folders above are reached as the system reaches them; only the last name
// is refused as a link when asked.
int openFolder(const QByteArray& path, MakeFolder make, FolderLinks links) {
    const int noFollow = links == FolderLinks::Refuse ? O_NOFOLLOW : 0;
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | noFollow;
    const int descriptor = open(path.constData(), flags);
    if (descriptor >= 0 || make == MakeFolder::Never || errno != ENOENT) {
        return descriptor;
    }
    const QString folder = QFile::decodeName(path);
    const QString parentPath = QFileInfo(folder).path();
    if (parentPath == folder) {
        return -1;
    }
    const int parent = openFolder(native(parentPath), make, FolderLinks::Follow);
    if (parent < 0) {
        return -1;
    }
    // Folders are made private to the user, as the XDG rules ask of a
    // settings folder.
    const QByteArray leaf = native(QFileInfo(folder).fileName());
    int made = -1;
    if (mkdirat(parent, leaf.constData(), 0700) == 0 || errno == EEXIST) {
        made = openat(parent, leaf.constData(), flags);
    }
    closeKeepingErrno(parent);
    return made;
}

} // namespace

int openRegularFileAt(int folder, const char* name, int flags, bool create, bool& created) {
    created = false;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        const Entry entry(folder, name);
        if (entry.exists()) {
            if (!entry.isFile()) {
                return -1;
            }
            return reopen(entry, folder, name, flags);
        }
        if (errno != ENOENT || !create) {
            return -1;
        }
        // Only a file this call makes is opened here; whatever appeared at
        // the name meanwhile is looked at again.
        const int made = openat(
            folder, name, flags | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (made >= 0) {
            created = true;
            return made;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    return -1;
}

UserFolder::UserFolder(const QString& path, MakeFolder make, FolderLinks links) : m_path(path) {
    if (!path.isEmpty()) {
        m_descriptor = openFolder(native(path), make, links);
    }
}

UserFolder::~UserFolder() {
    if (m_descriptor >= 0) {
        close(m_descriptor);
    }
}

UserFolder::UserFolder(UserFolder&& other) noexcept
    : m_path(std::move(other.m_path)), m_descriptor(other.m_descriptor) {
    other.m_descriptor = -1;
}

bool UserFolder::isOpen() const {
    return m_descriptor >= 0;
}

std::optional<FileOwner> UserFolder::owner() const {
    struct stat info {};
    if (m_descriptor < 0 || fstat(m_descriptor, &info) != 0) {
        return std::nullopt;
    }
    return FileOwner{static_cast<std::uint32_t>(info.st_uid),
                     static_cast<std::uint32_t>(info.st_gid)};
}

FileContents UserFolder::read(const QString& name, qint64 largest) const {
    // No folder, no file in it.
    if (m_descriptor < 0) {
        return {FileStatus::Missing, {}, {}};
    }
    const QByteArray file = native(name);
    const Entry entry(m_descriptor, file.constData());
    if (!entry.exists()) {
        return {statusOfOpenError(errno), {}, {}};
    }
    if (!entry.isFile()) {
        return {FileStatus::NotAFile, {}, {}};
    }
    const FileAttributes attributes = attributesOf(entry.info);
    if (entry.info.st_size > largest) {
        return {FileStatus::Unreadable, {}, attributes};
    }
    const int descriptor = reopen(entry, m_descriptor, file.constData(), O_RDONLY);
    if (descriptor < 0) {
        return {statusOfOpenError(errno), {}, attributes};
    }
    FileContents contents = readOpenFile(descriptor, largest, attributes);
    close(descriptor);
    return contents;
}

bool UserFolder::mayWrite(const QString& name) const {
    const QByteArray file = native(name);
    const Entry entry(m_descriptor, file.constData());
    if (!entry.exists()) {
        return errno == ENOENT;
    }
    if (!entry.isFile()) {
        return false;
    }
    // The system's own answer, whatever decides it (mode, ACL, a read-only
    // mount, an immutable flag); opening without truncating changes nothing.
    const int descriptor = reopen(entry, m_descriptor, file.constData(), O_WRONLY);
    if (descriptor < 0) {
        return false;
    }
    close(descriptor);
    return true;
}

bool UserFolder::replace(const QString& name, const QByteArray& bytes,
                         const FileAttributes& attributes) const {
    if (m_descriptor < 0) {
        return false;
    }
    const QByteArray file = native(name);
    QByteArray temp;
    Copy copy = writeUnnamedCopy(m_descriptor, file, bytes, attributes, temp);
    if (copy == Copy::Unsupported) {
        copy = writeNamedCopy(m_descriptor, file, bytes, attributes, temp);
    }
    if (copy != Copy::Named) {
        return false;
    }
    // A rename replaces whatever is at the name, a link included, and never
    // what a link names.
    if (renameat(m_descriptor, temp.constData(), m_descriptor, file.constData()) == 0) {
        return true;
    }
    unlinkat(m_descriptor, temp.constData(), 0);
    return false;
}

bool UserFolder::moveAside(const QString& name, const QString& suffix) const {
    const QByteArray file = native(name);
    if (!Entry(m_descriptor, file.constData()).isFile()) {
        return false;
    }
    for (int number = 1; number <= kAsideNames; ++number) {
        QString aside = name + u'.' + suffix;
        if (number > 1) {
            aside += u'-' + QString::number(number);
        }
        const QByteArray candidate = native(aside);
        if (renameat2(m_descriptor, file.constData(), m_descriptor, candidate.constData(),
                      RENAME_NOREPLACE) == 0) {
            return true;
        }
        if (errno == EEXIST) {
            continue;
        }
        if (errno != EINVAL && errno != ENOSYS) {
            return false;
        }
        // A filesystem that cannot refuse to replace: look first.
        if (Entry(m_descriptor, candidate.constData()).exists() || errno != ENOENT) {
            continue;
        }
        return renameat(m_descriptor, file.constData(), m_descriptor, candidate.constData()) == 0;
    }
    return false;
}

bool UserFolder::remove(const QString& name) const {
    const QByteArray file = native(name);
    struct stat info {};
    return m_descriptor >= 0 &&
           fstatat(m_descriptor, file.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           (S_ISREG(info.st_mode) || S_ISLNK(info.st_mode)) &&
           unlinkat(m_descriptor, file.constData(), 0) == 0;
}

QByteArray lineEndOfNewFiles() {
    return QByteArrayLiteral("\n");
}

struct FileLock::Handle {
    int descriptor = -1;
};

FileLock::FileLock(const UserFolder& folder, const QString& name, std::chrono::milliseconds wait)
    : m_handle(std::make_unique<Handle>()) {
    bool created = false;
    const int descriptor =
        openRegularFileAt(folder.m_descriptor, native(name).constData(), O_RDONLY, true, created);
    if (descriptor < 0) {
        return;
    }
    m_handle->descriptor = descriptor;
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
    if (m_handle->descriptor >= 0) {
        close(m_handle->descriptor);
    }
}

} // namespace kelvora
