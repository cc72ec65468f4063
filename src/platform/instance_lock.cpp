#include "platform/instance_lock.h"

#include <QStandardPaths>

namespace kelvora {

namespace {

// The user's own folder for files that live as long as a session. Windows
// has none by that name and Qt gives the home folder instead, where the lock
// would sit among the user's documents; the user's temporary folder serves.
QString lockFolder() {
#ifdef Q_OS_WIN
    return QStandardPaths::writableLocation(QStandardPaths::TempLocation);
#else
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
#endif
}

// Empty when Qt has no such folder to offer (it could make neither the
// user's runtime folder nor its own fallback): after an empty folder the name
// would put the lock in the root folder of the filesystem. Without a lock the
// instance test is skipped and the program runs.
QString lockPath(const QString& programTitle) {
    const QString folder = lockFolder();
    return folder.isEmpty() ? QString() : folder + u'/' + programTitle + QStringLiteral(".lock");
}

bool heldByAnother(QLockFile& lock) {
    return !lock.fileName().isEmpty() && !lock.tryLock(0) &&
           lock.error() == QLockFile::LockFailedError;
}

} // namespace

InstanceLock::InstanceLock(const QString& programTitle)
    : m_lock(lockPath(programTitle)), m_anotherInstanceRuns(heldByAnother(m_lock)) {}

} // namespace kelvora
