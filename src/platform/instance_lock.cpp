#include "platform/instance_lock.h"

#include <QStandardPaths>

namespace kelvora {

namespace {

QString lockPath(const QString& programTitle) {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + u'/' + programTitle +
           QStringLiteral(".lock");
}

bool heldByAnother(QLockFile& lock) {
    return !lock.tryLock(0) && lock.error() == QLockFile::LockFailedError;
}

} // namespace

InstanceLock::InstanceLock(const QString& programTitle)
    : m_lock(lockPath(programTitle)), m_anotherInstanceRuns(heldByAnother(m_lock)) {}

} // namespace kelvora
