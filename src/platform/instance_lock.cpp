#include "platform/instance_lock.h"

#include <QStandardPaths>

namespace kelvora {

namespace {

QString lockPath(const QString& programTitle) {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + u'/' + programTitle +
           QStringLiteral(".lock");
}

} // namespace

InstanceLock::InstanceLock(const QString& programTitle)
    : m_lock(lockPath(programTitle)), m_held(m_lock.tryLock(0)) {}

} // namespace kelvora
