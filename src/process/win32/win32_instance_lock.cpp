// SPDX-License-Identifier: MIT
#include "process/instance_lock.h"

#include <windows.h>

#include <string>

namespace kelvora {

// A named mutex in the session's own namespace: one per user and desktop,
// gone with the last handle, which the system closes when the process ends,
// killed or not.
struct InstanceLock::Handle {
    HANDLE mutex = nullptr;
};

InstanceLock::InstanceLock(const QString& programTitle) : m_handle(std::make_unique<Handle>()) {
    const std::wstring name = (QStringLiteral("Local\\kelvora-") + programTitle).toStdWString();
    m_handle->mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    // No handle at all means some other kind of object holds the name, which
    // is no instance of this program.
    m_anotherInstanceRuns = m_handle->mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
}

InstanceLock::~InstanceLock() {
    if (m_handle->mutex != nullptr) {
        CloseHandle(m_handle->mutex);
    }
}

} // namespace kelvora
