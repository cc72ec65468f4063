// SPDX-License-Identifier: MIT
#include "platform/user_folders.h"

#include <QDir>

#ifdef Q_OS_WIN
#include <shlobj.h>
#endif

namespace kelvora {

namespace {

// A folder of the project's own: a name as plain as "Monitor.ini" may well be
// another program's.
constexpr char16_t kVendorFolder[] = u"Kelvora";

} // namespace

QString earlierUserSettingsFolder() {
#ifdef Q_OS_WIN
    // Settings roam with the user, as Windows programs keep them; Qt's
    // configuration locations are the machine-local folder.
    PWSTR path = nullptr;
    QString folder;
    if (SUCCEEDED(
            SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DONT_VERIFY, nullptr, &path))) {
        folder = QString::fromWCharArray(path);
    }
    CoTaskMemFree(path);
    return folder;
#else
    // A relative value is not a place: the XDG base directory rules say to
    // ignore it, rather than write under whatever folder the program was
    // started from.
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured)) {
        return QDir::cleanPath(configured);
    }
    return QDir::homePath() + QStringLiteral("/.config");
#endif
}

QString userSettingsFolder() {
    const QString base = earlierUserSettingsFolder();
    return base.isEmpty() ? QString() : base + u'/' + QString::fromUtf16(kVendorFolder);
}

} // namespace kelvora
