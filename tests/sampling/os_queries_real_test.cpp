// SPDX-License-Identifier: MIT
// Against the machine the tests run on, through the queries of its platform.
#include "platform/drive_list.h"
#include "platform/make_os_queries.h"
#include "sampling/cpu_state.h"
#include "sampling/memory_disk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace kelvora {
namespace {

using namespace std::chrono_literals;

TEST(RealOsQueriesTest, CpuReadingSucceeds) {
    const auto os = makeOsQueries();

    EXPECT_TRUE(os->cpuTimes().has_value());
}

TEST(RealOsQueriesTest, ProcessorCountIsTheMachines) {
    const auto os = makeOsQueries();
    const unsigned online = std::thread::hardware_concurrency();
    ASSERT_GT(online, 0u) << "the standard library cannot tell";

    const auto times = os->cpuTimes();
    ASSERT_TRUE(times);
    EXPECT_EQ(times->processors, std::min(online, 255u));
}

TEST(RealOsQueriesTest, SystemTimeFollowsTheClock) {
    const auto os = makeOsQueries();
    const auto before = os->cpuTimes();
    std::this_thread::sleep_for(300ms);
    const auto after = os->cpuTimes();
    ASSERT_TRUE(before && after);

    // 100 ns units; generous bounds for a loaded machine and a coarse tick.
    EXPECT_GE(after->systemTime - before->systemTime, 1'000'000);
    EXPECT_LE(after->systemTime - before->systemTime, 100'000'000);
}

TEST(RealOsQueriesTest, LoadOverHalfASecondIsAPercentage) {
    const auto os = makeOsQueries();
    CPUState cpu(*os);
    cpu.Initialize();
    std::this_thread::sleep_for(500ms);
    const std::int32_t first = cpu.Query();
    std::this_thread::sleep_for(500ms);
    const std::int32_t second = cpu.Query();

    EXPECT_GE(first, 0);
    EXPECT_LE(first, 100);
    EXPECT_GE(second, 0);
    EXPECT_LE(second, 100);
}

TEST(RealOsQueriesTest, MemoryIsReported) {
    const auto os = makeOsQueries();

    const MEMORYSTATUS status = ReadMemoryStatus(*os);

    EXPECT_GT(status.totalPhys, 0u);
    EXPECT_GT(status.availPhys, 0u);
    EXPECT_LE(status.availPhys, status.totalPhys);
}

TEST(RealOsQueriesTest, DriveListHasEntries) {
    const auto drives = listDrives();

    ASSERT_FALSE(drives.empty());
    for (const Drive& drive : drives) {
        EXPECT_FALSE(drive.root.empty());
    }
}

} // namespace
} // namespace kelvora
