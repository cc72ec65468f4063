// SPDX-License-Identifier: MIT
#include "platform/linux/proc_parsers.h"
#include "test_data.h"

#include <gtest/gtest.h>

#include <limits>

namespace kelvora {
namespace {

TEST(ParseProcStatTest, ReadsTheAggregateLineAndCountsProcessors) {
    // Totals are user + nice + system + idle + iowait + irq + softirq + steal
    // of the `cpu` line, idle is idle + iowait, summed by hand from the files.
    const struct {
        const char* file;
        std::optional<CpuTicks> expected;
    } cases[] = {
        {"proc_stat_two_cpus.txt", CpuTicks{128'213, 88'041, 2}},
        // Guest time (247784 and 242) is inside user and nice already.
        {"proc_stat_eight_cpus_guest.txt", CpuTicks{39'371'553, 36'442'789, 8}},
        {"proc_stat_reordered.txt", CpuTicks{39'371'553, 36'442'789, 8}},
        {"proc_stat_linux_2_4.txt", CpuTicks{31'202'750, 28'841'122, 2}},
        {"proc_stat_truncated_aggregate.txt", std::nullopt},
        {"proc_stat_truncated_processors.txt", std::nullopt},
        {"proc_stat_malformed_field.txt", std::nullopt},
        {"proc_stat_negative_field.txt", std::nullopt},
        {"proc_stat_too_few_fields.txt", std::nullopt},
        {"proc_stat_two_aggregates.txt", std::nullopt},
        {"proc_stat_no_aggregate.txt", std::nullopt},
        {"proc_stat_overflow.txt", std::nullopt},
        {"proc_meminfo_24g.txt", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto ticks = parseProcStat(readTestData(c.file));

        ASSERT_EQ(ticks.has_value(), c.expected.has_value());
        if (c.expected) {
            EXPECT_EQ(ticks->total, c.expected->total);
            EXPECT_EQ(ticks->idle, c.expected->idle);
            EXPECT_EQ(ticks->processorLines, c.expected->processorLines);
        }
    }
}

TEST(ParseProcMeminfoTest, ReadsTotalAndAvailableInBytes) {
    // 24683772 kB and 23846580 kB.
    const PhysicalMemory sample{25'276'182'528, 24'418'897'920};
    const struct {
        const char* file;
        std::optional<PhysicalMemory> expected;
    } cases[] = {
        {"proc_meminfo_24g.txt", sample},
        {"proc_meminfo_reordered.txt", sample},
        {"proc_meminfo_truncated.txt", std::nullopt},
        {"proc_meminfo_no_available.txt", std::nullopt},
        {"proc_meminfo_malformed.txt", std::nullopt},
        {"proc_meminfo_wrong_unit.txt", std::nullopt},
        {"proc_meminfo_duplicate.txt", std::nullopt},
        {"proc_stat_two_cpus.txt", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto memory = parseProcMeminfo(readTestData(c.file));

        ASSERT_EQ(memory.has_value(), c.expected.has_value());
        if (c.expected) {
            EXPECT_EQ(memory->total, c.expected->total);
            EXPECT_EQ(memory->available, c.expected->available);
        }
    }
    EXPECT_FALSE(parseProcMeminfo("MemTotal: 18014398509481984 kB\nMemAvailable: 1 kB\n"))
        << "2^64 bytes";
}

TEST(TicksTo100nsTest, ConvertsAndDivides) {
    constexpr std::uint64_t maxTicks = std::numeric_limits<std::uint64_t>::max();
    const struct {
        std::uint64_t ticks;
        std::uint64_t ticksPerSecond;
        std::uint64_t divisor;
        std::optional<std::int64_t> expected;
    } cases[] = {
        {1, 100, 1, 100'000},
        {128'213, 100, 2, 6'410'650'000},
        {1, 300, 1, 33'333}, // rounds down
        {1, 1'000, 255, 39},
        {922'337'203'685, 1, 1, 9'223'372'036'850'000'000}, // just below 2^63
        {922'337'203'686, 1, 1, std::nullopt},
        {922'337'203'686, 1, 2, 4'611'686'018'430'000'000},
        {maxTicks, 100, 1, std::nullopt},
        {maxTicks, 100'000'000, 1, 1'844'674'407'370'955'161},
        {7, 0, 1, std::nullopt},
        {7, 100, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ticksTo100ns(c.ticks, c.ticksPerSecond, c.divisor), c.expected)
            << c.ticks << " ticks at " << c.ticksPerSecond << " / " << c.divisor;
    }
}

} // namespace
} // namespace kelvora
