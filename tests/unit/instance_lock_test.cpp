// SPDX-License-Identifier: MIT
#include "process/instance_lock.h"

#include <QCoreApplication>

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace kelvora {
namespace {

struct DisplayCase {
    const char* x11;
    const char* wayland;
    int display; // cases with one number name one display
};

// One display however it is spelt; another number, host or socket is
// another display; the key is always a plain file name.
TEST(InstanceLockTest, DisplayKeyNamesEachDisplayOnce) {
    const std::vector<DisplayCase> cases = {
        {":0", "", 0},
        {":0.0", "", 0},
        {"unix:0", "", 0},
        {"unix:0.1", "wayland-0", 0},
        {":1", "", 1},
        {":10", "", 2},
        {":010", "", 2},
        {"unix:010.0", "", 2},
        {":+10", "", 2},
        {"localhost:10.0", "", 2},
        {"127.0.0.1:10", "", 2},
        {"remote:0", "", 3},
        {"remote:0.0", "", 3},
        {"remote:10", "", 4},
        {"", "wayland-0", 5},
        {"", "", 5},
        {"", "wayland-1", 6},
        {"", "/run/user/1000/wayland-1", 7},
        {"/tmp/.X11-unix/X0", "", 8},
    };
    std::map<QString, int> displayOfKey;
    for (const DisplayCase& c : cases) {
        const QString key = displayKey(QString::fromUtf8(c.x11), QString::fromUtf8(c.wayland));
        const auto [known, isNew] = displayOfKey.emplace(key, c.display);
        EXPECT_EQ(known->second, c.display)
            << c.x11 << " / " << c.wayland << " gave " << qPrintable(key);
        EXPECT_FALSE(key.contains(u'/') || key.contains(u':') || key.isEmpty()) << qPrintable(key);
    }
    EXPECT_EQ(displayOfKey.size(), 9u) << "two displays share a key";
}

// Only a live holder of the same title and display stops a start; the lock
// goes with its holder, whose file goes too.
TEST(InstanceLockTest, OnlyALiveHolderOfTheSameTitleStopsAStart) {
    const QByteArray display = qgetenv("DISPLAY");
    // A display of the test's own, so no real instance is met.
    qputenv("DISPLAY",
            "instance-lock-test-" + QByteArray::number(QCoreApplication::applicationPid()) + ":0");
#ifdef Q_OS_UNIX
    // Where there is no runtime folder the lock makes one in /tmp.
    const QString ownFallback = QStringLiteral("/tmp/kelvora-%1").arg(geteuid());
    const bool hadFallback = QFileInfo::exists(ownFallback);
#endif
    enum class Step { Start, EndFirst };
    struct Row {
        const char* what;
        Step step;
        const char* title;
        bool anotherRuns;
    };
    const Row rows[] = {
        {"the first start", Step::Start, "Monitor", false},
        {"a second start beside it", Step::Start, "Monitor", true},
        {"the other program beside it", Step::Start, "Kelvora", false},
        {"a start after the first ended", Step::EndFirst, "Monitor", false},
    };
    std::vector<std::unique_ptr<InstanceLock>> held;
    for (const Row& row : rows) {
        if (row.step == Step::EndFirst) {
            held.erase(held.begin());
            held.erase(held.begin());
        }
        held.push_back(std::make_unique<InstanceLock>(QString::fromLatin1(row.title)));
        EXPECT_EQ(held.back()->anotherInstanceRuns(), row.anotherRuns) << row.what;
    }
    held.clear();
#ifdef Q_OS_UNIX
    if (!hadFallback) {
        QDir().rmdir(ownFallback);
    }
#endif
    qputenv("DISPLAY", display);
}

} // namespace
} // namespace kelvora
