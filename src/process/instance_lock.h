// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <memory>

namespace kelvora {

// What tells one display from another in the name of the lock: one X
// display however DISPLAY spells it (":0", ":0.0" and "unix:0" are one),
// else the Wayland socket. Only characters that are safe in a file name.
QString displayKey(const QString& x11Display, const QString& waylandDisplay);

// "kelvora-<title>-<display key>" for the display this process was started
// on, a plain file name.
QString instanceLockName(const QString& programTitle);

// Held for the life of the process so that a second instance of the same
// build, started by the same user on the same display, can tell it is not
// alone. The operating system lets go of the lock when the process ends,
// however it ends, so nothing is ever judged stale by age or by process id.
class InstanceLock {
public:
    explicit InstanceLock(const QString& programTitle);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True only when a live process holds the lock. A lock that cannot be
    // made or taken at all (no private folder, something odd at its path, a
    // filesystem without locks) says nothing about other instances: the
    // program then runs.
    bool anotherInstanceRuns() const { return m_anotherInstanceRuns; }

private:
    // What the system holds for this instance: a lock file or a mutex.
    struct Handle;
    std::unique_ptr<Handle> m_handle;
    bool m_anotherInstanceRuns = false;
};

} // namespace kelvora
