#pragma once

#include <QString>

namespace kelvora {

// The folder of the user's own settings files: $XDG_CONFIG_HOME (default
// ~/.config) on Linux, the roaming application data (%APPDATA%) on Windows.
// Only this user's folder: no system-wide folder is ever consulted.
QString userSettingsFolder();

} // namespace kelvora
