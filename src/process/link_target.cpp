// SPDX-License-Identifier: MIT
#include "process/user_files.h"

#include <QFileInfo>

namespace kelvora {

namespace {

// As many levels as anyone links a settings file through; a loop ends here.
constexpr int kLinkLevels = 8;

} // namespace

QString linkTarget(const QString& path) {
    QString current = path;
    for (int level = 0; level < kLinkLevels; ++level) {
        const QFileInfo info(current);
        if (!info.isSymLink()) {
            return current;
        }
        const QString next = info.symLinkTarget();
        if (next.isEmpty()) {
            return current;
        }
        current = next;
    }
    return current;
}

} // namespace kelvora
