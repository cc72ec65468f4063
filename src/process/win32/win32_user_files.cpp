// SPDX-License-Identifier: MIT
#include "process/user_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

namespace kelvora {

namespace {

// Sibling names tried before a file is left where it is.
constexpr int kAsideNames = 99;

} // namespace

UserFolder::UserFolder(const QString& path, MakeFolder make, FolderLinks) : m_path(path) {
    if (!path.isEmpty() && make == MakeFolder::IfMissing) {
        QDir().mkpath(path);
    }
}

UserFolder::~UserFolder() = default;

UserFolder::UserFolder(UserFolder&& other) noexcept
    : m_path(std::move(other.m_path)), m_descriptor(other.m_descriptor) {}

bool UserFolder::isOpen() const {
    return !m_path.isEmpty() && QFileInfo(m_path).isDir();
}

std::optional<FileOwner> UserFolder::owner() const {
    return std::nullopt;
}

FileContents UserFolder::read(const QString& name, qint64 largest) const {
    const QString path = QDir(m_path).filePath(name);
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        return {FileStatus::Missing, {}, {}};
    }
    if (!info.isFile() || info.isSymLink()) {
        return {FileStatus::NotAFile, {}, {}};
    }
    if (info.size() > largest) {
        return {FileStatus::Unreadable, {}, {}};
    }
    // Another program holding the file open without sharing is the usual
    // reason for a failed open here, and it passes.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {FileStatus::Failed, {}, {}};
    }
    QByteArray bytes = file.read(largest + 1);
    if (bytes.size() > largest) {
        return {FileStatus::Unreadable, {}, {}};
    }
    return {FileStatus::Read, bytes, {}};
}

bool UserFolder::mayWrite(const QString& name) const {
    // The read-only attribute is how Windows users pin a file.
    const QFileInfo info(QDir(m_path).filePath(name));
    return !info.exists() || (info.isFile() && info.isWritable());
}

bool UserFolder::replace(const QString& name, const QByteArray& bytes,
                         const FileAttributes&) const {
    if (!isOpen()) {
        return false;
    }
    // QSaveFile renames its copy into place even when the data never reached
    // it (a full disk): only a copy that was flushed whole replaces the file.
    QSaveFile file(QDir(m_path).filePath(name));
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()) {
        return file.commit();
    }
    file.cancelWriting();
    return false;
}

bool UserFolder::moveAside(const QString& name, const QString& suffix) const {
    const QString path = QDir(m_path).filePath(name);
    if (!QFileInfo(path).isFile()) {
        return false;
    }
    for (int number = 1; number <= kAsideNames; ++number) {
        QString candidate = path + u'.' + suffix;
        if (number > 1) {
            candidate += u'-' + QString::number(number);
        }
        if (!QFileInfo::exists(candidate)) {
            return QFile::rename(path, candidate);
        }
    }
    return false;
}

bool UserFolder::remove(const QString& name) const {
    const QFileInfo info(QDir(m_path).filePath(name));
    return (info.isFile() || info.isSymLink()) && QFile::remove(info.filePath());
}

// Notepad before Windows 10 shows a file without carriage returns as one
// line.
QByteArray lineEndOfNewFiles() {
    return QByteArrayLiteral("\r\n");
}

struct FileLock::Handle {
    explicit Handle(const QString& path) : lock(path) {}
    QLockFile lock;
};

FileLock::FileLock(const UserFolder& folder, const QString& name, std::chrono::milliseconds wait)
    : m_handle(std::make_unique<Handle>(QDir(folder.path()).filePath(name))) {
    m_held = m_handle->lock.tryLock(static_cast<int>(wait.count()));
}

FileLock::~FileLock() = default;

} // namespace kelvora
