// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <memory>

class QLockFile;

namespace kelvora {

// What reading a file found at its path.
enum class FileStatus {
    // Nothing there (nor the folder it would be in).
    Missing,
    // A regular file, read whole.
    Read,
    // A folder, FIFO, device, socket or symbolic link: never opened, never
    // replaced.
    NotAFile,
    // A regular file that cannot be read whole: no permission, or larger than
    // the caller's limit.
    Unreadable,
    // A passing failure (out of descriptors, an I/O error): worth another try
    // later, and no reason to touch the file.
    Failed,
};

struct FileContents {
    FileStatus status;
    QByteArray bytes;
};

// Where a file's contents live when its path is a symbolic link (followed a
// few levels, as the system would); the path itself otherwise.
QString linkTarget(const QString& path);

// Reads the file at `path` without following a link and without any step
// that can block: whatever is not a regular file is never opened.
FileContents readUserFile(const QString& path, qint64 largest);

// Makes the folder and any missing one above it; a folder made as root
// belongs to the owner of the folder it is made in. True when it exists.
bool makeUserFolders(const QString& folder);

// Replaces the file at `path` with `bytes` atomically: a crash leaves the
// old file or the new one. The new copy takes the owner, group and mode of
// the file at `attributesFrom` (by default the file it replaces); a file
// made fresh, and any folder made for it, belongs to the owner of the folder
// it is made in, so that a run as root leaves the user's files the user's.
// False, with the old file untouched, when the copy could not be written
// whole (a full disk, a read-only folder).
bool replaceUserFile(const QString& path, const QByteArray& bytes,
                     const QString& attributesFrom = {});

// Moves a regular file to the first free sibling name
// "<path>.<suffix>", "<path>.<suffix>-2", ...; never over another file.
bool moveAside(const QString& path, const QString& suffix);

// Removes the regular file at `path`; anything else is left alone.
bool removeUserFile(const QString& path);

#ifndef Q_OS_WIN
// Opens the regular file `name` in the folder open as `folder` (AT_FDCWD:
// the current one), making it with mode 0600 when absent, without following
// a link and without any step that can wait: a folder, FIFO, device or link
// at the name is never opened. -1 for those and for whatever the system
// refuses; `created` tells whether this call made the file.
int openRegularFile(int folder, const char* name, int flags, bool& created);
#endif

// An advisory lock on a regular file, held until the object goes; the
// system releases it with the process, so no stale lock can outlive its
// holder. Tries for at most `wait`; anything else at the path (a folder, a
// FIFO, a link) is never opened, and then the lock is simply not held.
class FileLock {
public:
    FileLock(const QString& path, std::chrono::milliseconds wait);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return m_held; }

private:
    bool m_held = false;
#ifdef Q_OS_WIN
    std::unique_ptr<QLockFile> m_lock;
#else
    int m_descriptor = -1;
#endif
};

} // namespace kelvora
