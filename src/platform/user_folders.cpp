#include "platform/user_folders.h"

#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <shlobj.h>
#endif

namespace kelvora {

QString userSettingsFolder() {
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
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
#endif
}

} // namespace kelvora
