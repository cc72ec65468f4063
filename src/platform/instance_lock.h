#pragma once

#include <QLockFile>
#include <QString>

namespace kelvora {

// Held for the life of the process so that a second instance of the same
// build can tell it is not alone. A lock left behind by a killed process is
// taken over.
class InstanceLock {
public:
    explicit InstanceLock(const QString& programTitle);

    // False when another running instance holds the lock.
    bool isHeld() const { return m_held; }

private:
    QLockFile m_lock;
    bool m_held;
};

} // namespace kelvora
