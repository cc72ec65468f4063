// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

namespace kelvora {

// What reading a file found at its name.
enum class FileStatus {
    // Nothing there.
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

// The permission bits and group a rewrite hands on to the new copy.
struct FileAttributes {
    std::uint32_t mode = 0;
    std::uint32_t group = 0;
    bool known = false;
};

struct FileContents {
    FileStatus status = FileStatus::Missing;
    QByteArray bytes;
    // Of a regular file, whether read whole or not.
    FileAttributes attributes;
};

// Whether the folder's own name may be a symbolic link; the folders above it
// are reached as the system reaches them.
enum class FolderLinks { Follow, Refuse };
enum class MakeFolder { IfMissing, Never };

// Who owns a file or folder, as the system numbers users and groups.
struct FileOwner {
    std::uint32_t user = 0;
    std::uint32_t group = 0;
};

// A folder of a user's files, held open from the moment it is looked at, so
// that every step works in the folder that was opened however its path
// changes meanwhile. No step follows a symbolic link at a file's name, waits
// for a FIFO, or writes anywhere but in this folder.
class UserFolder {
public:
    // Opens the folder at `path`, making it and any missing folder above it
    // (private to the user) when asked; isOpen() tells whether that worked.
    UserFolder(const QString& path, MakeFolder make, FolderLinks links);
    ~UserFolder();
    UserFolder(UserFolder&& other) noexcept;
    UserFolder& operator=(UserFolder&&) = delete;
    UserFolder(const UserFolder&) = delete;
    UserFolder& operator=(const UserFolder&) = delete;

    bool isOpen() const;
    const QString& path() const { return m_path; }
    // Of the folder that was opened; none where the system keeps no owner.
    std::optional<FileOwner> owner() const;

    // The regular file `name`, read without any step that can block.
    FileContents read(const QString& name, qint64 largest) const;
    // False when `name` is a regular file this process may not write (its
    // mode, a read-only filesystem, an immutable flag); true when nothing is
    // there.
    bool mayWrite(const QString& name) const;
    // Replaces `name` with `bytes` atomically: a crash leaves the old file or
    // the new one. The copy gets `attributes` where they are known and this
    // process may give them. False, with the old file untouched, when the
    // copy could not be written whole (a full disk, a read-only folder).
    bool replace(const QString& name, const QByteArray& bytes,
                 const FileAttributes& attributes) const;
    // Renames the regular file `name` to the first free name
    // "<name>.<suffix>", "<name>.<suffix>-2", ...; never over another file.
    bool moveAside(const QString& name, const QString& suffix) const;
    // Removes `name` when it is a regular file or a symbolic link (the link,
    // never what it names); anything else stays.
    bool remove(const QString& name) const;

private:
    friend class FileLock;
    QString m_path;
    // The open folder's descriptor where the system has them.
    int m_descriptor = -1;
};

// Where a file's contents live when its path is a symbolic link (followed a
// few levels, as the system would); the path itself otherwise.
QString linkTarget(const QString& path);

// The line end a file made from nothing gets: what the system's own text
// files use.
QByteArray lineEndOfNewFiles();

// An advisory lock on the regular file `name` in `folder`, made when
// missing, held until the object goes; the system releases it with the
// process, so no stale lock can outlive its holder. Tries for at most
// `wait`; anything else at the name (a folder, a FIFO, a link) is never
// opened, and then the lock is simply not held.
class FileLock {
public:
    FileLock(const UserFolder& folder, const QString& name, std::chrono::milliseconds wait);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return m_held; }

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
    bool m_held = false;
};

} // namespace kelvora
