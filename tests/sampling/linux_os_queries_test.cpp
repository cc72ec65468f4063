// The Linux queries against figures read here independently, without the
// parsers under test.
#include "platform/drive_list.h"
#include "platform/make_os_queries.h"
#include "sampling/cpu_state.h"
#include "sampling/memory_disk.h"

#include <gtest/gtest.h>

#include <sys/statvfs.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace kelvora {
namespace {

using namespace std::chrono_literals;

constexpr std::uint64_t mebibyte = 1 << 20;

struct Meminfo {
    std::uint64_t total = 0;
    std::uint64_t available = 0;
};

Meminfo readMeminfo() {
    std::ifstream file("/proc/meminfo");
    Meminfo figures;
    std::string key;
    std::uint64_t kilobytes = 0;
    std::string unit;
    while (file >> key >> kilobytes) {
        if (key == "MemTotal:") {
            figures.total = kilobytes * 1024;
        } else if (key == "MemAvailable:") {
            figures.available = kilobytes * 1024;
        }
        std::getline(file, unit);
    }
    return figures;
}

struct Space {
    std::uint64_t total = 0;
    std::uint64_t free = 0;
};

Space readSpace(const char* path) {
    struct statvfs figures = {};
    if (statvfs(path, &figures) != 0) {
        ADD_FAILURE() << "statvfs " << path;
    }
    return {figures.f_blocks * figures.f_frsize, figures.f_bavail * figures.f_frsize};
}

TEST(LinuxOsQueriesTest, MemoryMatchesProcMeminfo) {
    const auto os = makeOsQueries();

    const Meminfo before = readMeminfo();
    const MEMORYSTATUS status = ReadMemoryStatus(*os);
    const Meminfo after = readMeminfo();

    ASSERT_GT(before.total, 0u);
    EXPECT_EQ(status.totalPhys, before.total);
    // Available memory moves between the reads; allow what other processes
    // may take or give back meanwhile.
    EXPECT_GE(status.availPhys + 64 * mebibyte, std::min(before.available, after.available));
    EXPECT_LE(status.availPhys, std::max(before.available, after.available) + 64 * mebibyte);
}

TEST(LinuxOsQueriesTest, RootDriveMatchesStatvfs) {
    const auto os = makeOsQueries();

    const Space before = readSpace("/");
    const DiskSpace space = ReadDiskSpace(*os, "/");
    const Space after = readSpace("/");

    ASSERT_GT(before.total, 0u);
    EXPECT_EQ(space.Total, static_cast<double>(before.total));
    const double slack = static_cast<double>(256 * mebibyte);
    EXPECT_GE(space.Free + slack, static_cast<double>(std::min(before.free, after.free)));
    EXPECT_LE(space.Free, static_cast<double>(std::max(before.free, after.free)) + slack);
    EXPECT_EQ(space.Used, space.Total - space.Free);
}

TEST(LinuxOsQueriesTest, RootThatIsNoMountPointHasNoMedium) {
    const auto os = makeOsQueries();
    std::string pattern = (std::filesystem::temp_directory_path() / "kelvora-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::string missing = pattern + "/missing";

    // A plain directory reads as a drive with no medium, as does a path that
    // does not exist.
    for (const std::string& root : {pattern, missing}) {
        const DiskSpace space = ReadDiskSpace(*os, root);
        EXPECT_EQ(space.Total, 0.0) << root;
        EXPECT_EQ(space.Free, 0.0) << root;
        EXPECT_EQ(space.Used, 0.0) << root;
    }
    std::filesystem::remove(pattern);
}

TEST(LinuxOsQueriesTest, LoadWithBusyProcessorsIsHigh) {
    // Half the processors kept busy: at least 35 % allowing for a thread that
    // is not scheduled all the time.
    const unsigned busyThreads = std::max(1u, std::thread::hardware_concurrency() / 2);
    std::atomic<bool> stop = false;
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < busyThreads; ++i) {
        threads.emplace_back([&stop] {
            while (!stop.load(std::memory_order_relaxed)) {
            }
        });
    }
    const auto os = makeOsQueries();
    CPUState cpu(*os);
    cpu.Initialize();
    std::this_thread::sleep_for(500ms);
    const std::int32_t load = cpu.Query();
    stop = true;
    for (std::thread& thread : threads) {
        thread.join();
    }

    EXPECT_GE(load, 35);
    EXPECT_LE(load, 100);
}

TEST(LinuxOsQueriesTest, DriveListPutsTheRootSecond) {
    const auto drives = listDrives();

    ASSERT_GE(drives.size(), 2u);
    EXPECT_EQ(drives[1].root, "/");
    const auto roots = std::ranges::count(drives, std::string("/"), &Drive::root);
    EXPECT_EQ(roots, 1);
}

} // namespace
} // namespace kelvora
