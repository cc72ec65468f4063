// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace kelvora {

// The folder of the programs' own settings files: "Kelvora" in the user's
// settings folder, $XDG_CONFIG_HOME (default ~/.config) on Linux, the roaming
// application data (%APPDATA%) on Windows. Only this user's folder: no
// system-wide folder is ever consulted. Empty when the system names no such
// folder.
QString userSettingsFolder();

// Where settings files were kept before they had a folder of their own: the
// user's settings folder itself.
QString earlierUserSettingsFolder();

} // namespace kelvora
