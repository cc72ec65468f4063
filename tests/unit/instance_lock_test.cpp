// SPDX-License-Identifier: MIT
#include "platform/instance_lock.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

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

} // namespace
} // namespace kelvora
