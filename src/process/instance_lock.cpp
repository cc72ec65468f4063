// SPDX-License-Identifier: MIT
#include "process/instance_lock.h"

#include <QSysInfo>

#include <algorithm>
#include <array>
#include <optional>

namespace kelvora {

namespace {

// Anything but letters, digits, '.', '-' and '_' becomes '_': a display name
// may hold a host name, a path or worse.
QString fileNameSafe(const QString& text) {
    constexpr qsizetype kLongest = 64;
    QString safe = text.left(kLongest);
    for (QChar& c : safe) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'_';
        if (!plain) {
            c = u'_';
        }
    }
    return safe;
}

// The names the local machine answers to in DISPLAY: a display reached
// over the loopback network is the same server as through its socket.
bool isLocalHost(const QString& host) {
    constexpr std::array<QStringView, 6> kLocalNames = {u"",          u"unix", u"localhost",
                                                        u"127.0.0.1", u"::1",  u"[::1]"};
    return std::find(kLocalNames.begin(), kLocalNames.end(), host) != kLocalNames.end() ||
           host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0;
}

// The display number as X reads it: "071" and "+71" are display 71.
std::optional<quint32> displayNumber(QStringView text) {
    if (text.startsWith(u'+')) {
        text = text.sliced(1);
    }
    bool isNumber = !text.isEmpty();
    for (const QChar c : text) {
        isNumber = isNumber && c.isDigit() && c.unicode() < 0x80;
    }
    const quint32 number = text.toUInt(&isNumber);
    return isNumber ? std::optional(number) : std::nullopt;
}

} // namespace

QString displayKey(const QString& x11Display, const QString& waylandDisplay) {
    if (!x11Display.isEmpty()) {
        // [host]:display[.screen]; the screen does not make another display.
        const qsizetype colon = x11Display.lastIndexOf(u':');
        if (colon >= 0) {
            const QString host = x11Display.left(colon);
            const std::optional<quint32> number =
                displayNumber(x11Display.mid(colon + 1).section(u'.', 0, 0));
            if (number) {
                return QStringLiteral("x11-") +
                       (isLocalHost(host) ? QString() : fileNameSafe(host) + u'-') +
                       QString::number(*number);
            }
        }
        return QStringLiteral("x11-") + fileNameSafe(x11Display);
    }
    // Wayland clients connect to "wayland-0" when nothing names a socket.
    return QStringLiteral("wl-") +
           fileNameSafe(waylandDisplay.isEmpty() ? QStringLiteral("wayland-0") : waylandDisplay);
}

QString instanceLockName(const QString& programTitle) {
    return QStringLiteral("kelvora-") + fileNameSafe(programTitle) + u'-' +
           displayKey(qEnvironmentVariable("DISPLAY"), qEnvironmentVariable("WAYLAND_DISPLAY"));
}

} // namespace kelvora
