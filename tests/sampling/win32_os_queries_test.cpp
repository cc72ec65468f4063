// SPDX-License-Identifier: MIT
// The Windows queries against the same figures read here through other
// system calls.
#include "platform/drive_list.h"
#include "platform/make_os_queries.h"
#include "sampling/memory_disk.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace kelvora {
namespace {

TEST(Win32OsQueriesTest, ProcessorCountMatchesGetSystemInfo) {
    const auto os = makeOsQueries();
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);

    const auto times = os->cpuTimes();
    ASSERT_TRUE(times.has_value());
    EXPECT_EQ(times->processors, std::min<DWORD>(info.dwNumberOfProcessors, 255));
}

TEST(Win32OsQueriesTest, SystemTimeIsTheFileTimeClock) {
    const auto os = makeOsQueries();
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    const auto clock = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);

    const auto times = os->cpuTimes();

    ASSERT_TRUE(times.has_value());
    // Five seconds in 100 ns units: the same clock read a moment apart.
    EXPECT_LT(std::abs(times->systemTime - clock), 50'000'000);
}

TEST(Win32OsQueriesTest, IdleTimeIsPositive) {
    const auto os = makeOsQueries();

    const auto times = os->cpuTimes();

    ASSERT_TRUE(times.has_value());
    EXPECT_GT(times->idleTime, 0);
}

TEST(Win32OsQueriesTest, MemoryMatchesGlobalMemoryStatusEx) {
    const auto os = makeOsQueries();
    MEMORYSTATUSEX expected = {};
    expected.dwLength = sizeof expected;
    ASSERT_NE(GlobalMemoryStatusEx(&expected), 0);

    EXPECT_EQ(ReadMemoryStatus(*os).totalPhys, expected.ullTotalPhys);
}

TEST(Win32OsQueriesTest, SystemDriveHasSpace) {
    const auto os = makeOsQueries();

    const DiskSpace space = ReadDiskSpace(*os, "c:");

    EXPECT_GT(space.Total, 0.0);
    EXPECT_GE(space.Free, 0.0);
    EXPECT_LE(space.Free, space.Total);
    EXPECT_EQ(space.Used, space.Total - space.Free);
}

TEST(Win32OsQueriesTest, MissingDriveGivesZeros) {
    const auto os = makeOsQueries();
    ASSERT_EQ(GetLogicalDrives() & (1u << ('q' - 'a')), 0u) << "q: exists here";

    const DiskSpace space = ReadDiskSpace(*os, "q:");

    EXPECT_EQ(space.Free, 0.0);
    EXPECT_EQ(space.Total, 0.0);
    EXPECT_EQ(space.Used, 0.0);
}

// The test machines (wine included) run Windows from c:.
TEST(Win32OsQueriesTest, DriveListHasTheSystemDriveAsItsRootEntry) {
    const auto drives = listDrives();

    ASSERT_GT(drives.size(), static_cast<std::size_t>(kRootDriveIndex));
    EXPECT_EQ(drives[kRootDriveIndex].root, "c:");
    EXPECT_EQ(drives[kRootDriveIndex].text, "c:");
}

} // namespace
} // namespace kelvora
