// SPDX-License-Identifier: MIT
#include "process/user_folders.h"

#include <shlobj.h>

namespace kelvora {

// Settings roam with the user, as Windows programs keep them; Qt's
// configuration locations are the machine-local folder.
QString earlierUserSettingsFolder() {
    PWSTR path = nullptr;
    QString folder;
    if (SUCCEEDED(
            SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DONT_VERIFY, nullptr, &path))) {
        folder = QString::fromWCharArray(path);
    }
    CoTaskMemFree(path);
    return folder;
}

} // namespace kelvora
