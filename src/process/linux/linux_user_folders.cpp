// SPDX-License-Identifier: MIT
#include "process/user_folders.h"

#include <QDir>
#include <QFile>

#include <pwd.h>
#include <unistd.h>

#include <vector>

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
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && entry.pw_dir != nullptr && QDir::isAbsolutePath(entry.pw_dir)) {
        return QDir::cleanPath(QFile::decodeName(entry.pw_dir));
    }
    return {};
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
