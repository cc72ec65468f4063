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

    // True only when a live process of the same build holds the lock. A lock
    // that cannot be made at all (no runtime folder, a read-only or full
    // one) says nothing about other instances: the program then runs.
    bool anotherInstanceRuns() const { return m_anotherInstanceRuns; }

private:
    QLockFile m_lock;
    bool m_anotherInstanceRuns;
};

} // namespace kelvora
