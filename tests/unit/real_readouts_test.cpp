// SPDX-License-Identifier: MIT
// The readouts of a main window over the real operating-system queries,
// against figures read independently at the same moment.

#include "fakes/memory_settings_store.h"
#include "meter/form1.h"
#include "platform/drive_list.h"
#include "platform/make_os_queries.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace kelvora;

namespace {

// The amount of a readout such as "Free: 12.34 GB (25.0%)".
double amount(const QString& text) {
    static const QRegularExpression number(QStringLiteral(": *([0-9 ]+(?:\\.[0-9]+)?) "));
    const QRegularExpressionMatch match = number.match(text);
    EXPECT_TRUE(match.hasMatch()) << text.toStdString();
    return match.captured(1).remove(u' ').toDouble();
}

// Bytes available and in all of the root filesystem, as df reports them.
std::pair<double, double> dfRoot() {
    QProcess df;
    df.start(QStringLiteral("df"),
             {QStringLiteral("-B1"), QStringLiteral("--output=avail,size"), QStringLiteral("/")});
    df.waitForFinished();
    const QStringList fields = QString::fromLatin1(df.readAllStandardOutput())
                                   .split(u'\n')
                                   .value(1)
                                   .simplified()
                                   .split(u' ');
    return {fields.value(0).toDouble(), fields.value(1).toDouble()};
}

double memAvailableBytes() {
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    EXPECT_TRUE(meminfo.open(QIODevice::ReadOnly));
    for (const QByteArray& line : meminfo.readAll().split('\n'))
        if (line.startsWith("MemAvailable:"))
            return line.simplified().split(' ').value(1).toDouble() * 1024;
    return 0;
}

} // namespace

TEST(RealReadouts, MatchDfAndMeminfo) {
#ifdef KELVORA_UNDER_EMULATOR
    GTEST_SKIP() << "qemu-user refuses the clone(CLONE_VM | CLONE_VFORK | CLONE_PIDFD) "
                    "with which QProcess starts df";
#endif
    MemorySettingsStore store;
    const auto os = makeOsQueries();
    std::vector<Drive> drives = listDrives();
    ASSERT_GE(drives.size(), 2u);
    ASSERT_EQ(drives[1].root, "/");
    Form1 form(englishTexts(), store, *os, drives);
    form.load();

    const auto [dfFree, dfTotal] = dfRoot();
    const double available = memAvailableBytes();
    const double gib = 1024.0 * 1024 * 1024;
    const double mib = 1024.0 * 1024;
    const auto label = [&](const char* name) {
        return form.findChild<QLabel*>(QString::fromLatin1(name))->text();
    };
    // Within the pattern's rounding and what other processes write meanwhile.
    EXPECT_NEAR(amount(label("dFree")), dfFree / gib, 0.02);
    EXPECT_NEAR(amount(label("dUsed")), (dfTotal - dfFree) / gib, 0.02);
    // Memory moves between the two reads; 64 MiB is far more than a test run
    // allocates, and far less than a wrong field would differ by.
    EXPECT_NEAR(amount(label("mFree")), available / mib, 64);
}
