// SPDX-License-Identifier: MIT
#include "process/user_folders.h"

namespace kelvora {

namespace {

// A folder of the project's own: a name as plain as "Monitor.ini" may well be
// another program's.
constexpr char16_t kVendorFolder[] = u"Kelvora";

} // namespace

QString userSettingsFolder() {
    const QString base = earlierUserSettingsFolder();
    return base.isEmpty() ? QString() : base + u'/' + QString::fromUtf16(kVendorFolder);
}

} // namespace kelvora
