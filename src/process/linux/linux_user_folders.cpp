// SPDX-License-Identifier: MIT
#include "process/linux/user_entry.h"
#include "process/user_folders.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

namespace kelvora {

namespace {

// A relative value is not a place: the XDG base directory rules say to
// ignore it, rather than write under whatever folder the program was
// started from.
QString absoluteFromEnvironment(const char* name) {
    const QString value = qEnvironmentVariable(name);
    return !value.isEmpty() && QDir::isAbsolutePath(value) ? QDir::cleanPath(value) : QString();
}

// HOME when it is an absolute path, else the system's entry for the user.
QString homeFolder() {
    const QString home = absoluteFromEnvironment("HOME");
    if (!home.isEmpty()) {
        return home;
    }
    // Services and cron jobs may start without HOME; the system's entry for
    // the user names it then, as glib and Qt find it.
    const std::optional<UserEntry> entry = userEntry(geteuid());
    return entry && !entry->home.isEmpty() ? QDir::cleanPath(QFile::decodeName(entry->home))
                                           : QString();
}

} // namespace

QString earlierUserSettingsFolder() {
    const QString configured = absoluteFromEnvironment("XDG_CONFIG_HOME");
    if (!configured.isEmpty()) {
        return configured;
    }
    const QString home = homeFolder();
    return home.isEmpty() ? QString() : home + QStringLiteral("/.config");
}

} // namespace kelvora
