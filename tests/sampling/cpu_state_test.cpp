// SPDX-License-Identifier: MIT
#include "fakes/fake_os_queries.h"
#include "sampling/cpu_state.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace kelvora {
namespace {

// 100 ns units.
constexpr std::int64_t kHalfSecond = 5'000'000;
constexpr std::int64_t kOneSecond = 10'000'000;
constexpr std::int64_t kTenSeconds = 100'000'000;
constexpr std::int64_t kOneYear = 315'360'000'000'000;
constexpr std::int64_t kHuge = 100'000'000'000'000'000;
// A system time of 2022 and the idle time of a machine up for some days.
constexpr std::int64_t kStartTime = 133'000'000'000'000'000;
constexpr std::int64_t kStartIdle = 5'000'000'000'000;

constexpr std::int32_t kLowest = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kHighest = std::numeric_limits<std::int32_t>::max();

struct LoadCase {
    const char* name;
    std::uint8_t processors;
    bool initialized;
    std::int64_t baseIdle;
    std::int64_t baseTime;
    std::int64_t idleDelta;
    std::int64_t timeDelta;
    std::int32_t expected;
};

class CpuLoadTest : public testing::TestWithParam<LoadCase> {};

TEST_P(CpuLoadTest, QueryGivesTheLoadSinceTheBaseline) {
    const LoadCase& c = GetParam();
    SCOPED_TRACE(c.name);
    FakeOsQueries os;
    os.processors.set(c.processors);
    CPUState cpu(os);
    if (c.initialized) {
        os.system.push(c.baseTime);
        os.idle.push(c.baseIdle);
        cpu.Initialize();
    }
    os.system.push(c.baseTime + c.timeDelta);
    os.idle.push(c.baseIdle + c.idleDelta);

    EXPECT_EQ(cpu.Query(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CpuLoadTest,
    testing::Values(
        LoadCase{"idle", 2, true, kStartIdle, kStartTime, 2 * kHalfSecond, kHalfSecond, 0},
        LoadCase{"busy", 2, true, kStartIdle, kStartTime, 0, kHalfSecond, 100},
        LoadCase{"one of two busy", 2, true, kStartIdle, kStartTime, kHalfSecond, kHalfSecond, 50},
        LoadCase{"within one clock tick", 2, true, kStartIdle, kStartTime, 0, 0, 100},
        LoadCase{"zero baseline", 2, false, 0, 0, kStartIdle, kStartTime, 100},
        LoadCase{"clock a year forward", 2, true, kStartIdle, kStartTime, kOneSecond, kOneYear,
                 100},
        LoadCase{"clock 10 s back in 500 ms, idle", 2, true, kStartIdle, kStartTime,
                 2 * kHalfSecond, kHalfSecond - kTenSeconds, 105},
        LoadCase{"clock 10 s back in 500 ms, busy", 2, true, kStartIdle, kStartTime, 0,
                 kHalfSecond - kTenSeconds, 100},
        LoadCase{"idle share above the count", 2, true, kStartIdle, kStartTime, 10'100'000,
                 kHalfSecond, -1},
        // 100 - 100 * 145.0001 / 250 + 0.5 = 42.49996, rounded 42.5000 before the floor.
        LoadCase{"x rounds to a half", 250, true, kStartIdle, kStartTime, 1'450'001, 10'000, 42},
        // 100 - 100 * 143.7501 / 250 + 0.5 = 42.99996, rounded 43.0000 before the floor.
        LoadCase{"x rounds to a whole", 250, true, kStartIdle, kStartTime, 1'437'501, 10'000, 43},
        LoadCase{"1 processor half idle", 1, true, kStartIdle, kStartTime, kHalfSecond / 2,
                 kHalfSecond, 50},
        LoadCase{"255 idle", 255, true, kStartIdle, kStartTime, 255 * kHalfSecond, kHalfSecond, 0},
        LoadCase{"255 half idle", 255, true, kStartIdle, kStartTime, 255 * kHalfSecond / 2,
                 kHalfSecond, 50},
        // Beyond the 64-bit fixed-point range values saturate; the result is
        // clamped to 32 bits.
        LoadCase{"idle far ahead in one tick", 1, true, kStartIdle, kStartTime, kHuge, 0, kLowest},
        LoadCase{"idle far back in one tick", 255, true, kHuge, kStartTime, -kHuge, 0, kHighest},
        LoadCase{"idle share far above", 1, true, kStartIdle, kStartTime, kOneYear, 1, kLowest}));

TEST(CpuStateTest, DifferenceBeyond64BitsSaturates) {
    FakeOsQueries os;
    os.processors.set(2);
    os.system.push(kStartTime);
    os.idle.push(std::numeric_limits<std::int64_t>::max());
    os.system.push(kStartTime + kHalfSecond);
    os.idle.push(std::numeric_limits<std::int64_t>::min());
    CPUState cpu(os);
    cpu.Initialize();

    // Idle time fell by more than 2^63; wrapped, it would read as a rise of 1.
    EXPECT_EQ(cpu.Query(), kHighest);
}

TEST(CpuStateTest, EachQueryStartsFromTheLastOne) {
    FakeOsQueries os;
    os.processors.set(2);
    CPUState cpu(os);
    for (const std::int64_t step : {0, 1, 2}) {
        os.system.push(kStartTime + step * kHalfSecond);
    }
    for (const std::int64_t idle :
         {kStartIdle, kStartIdle + kHalfSecond, kStartIdle + 3 * kHalfSecond}) {
        os.idle.push(idle);
    }
    cpu.Initialize();

    EXPECT_EQ(cpu.Query(), 50);
    EXPECT_EQ(cpu.Query(), 0);
}

struct FailureCase {
    const char* name;
    std::optional<std::uint8_t> count;
    bool timeFails;
    bool idleFails;
};

// A baseline at the start, then a failing reading whose other figures would
// move it half a second on if they were kept, then for good a reading one
// second after the baseline with one processor of two idle all along.
void scriptFailureAfterBaseline(FakeOsQueries& os, const FailureCase& c) {
    os.processors.set(2);
    os.system.set(kStartTime + kOneSecond);
    os.idle.set(kStartIdle + kOneSecond);
    os.processors.push(2);
    os.system.push(kStartTime);
    os.idle.push(kStartIdle);
    os.processors.push(c.count);
    os.system.push(c.timeFails ? std::nullopt : std::optional(kStartTime + kHalfSecond));
    os.idle.push(c.idleFails ? std::nullopt : std::optional(kStartIdle + 2 * kHalfSecond));
}

class CpuQueryFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(CpuQueryFailureTest, FailedQueryKeepsTheBaseline) {
    const FailureCase& c = GetParam();
    SCOPED_TRACE(c.name);
    FakeOsQueries os;
    scriptFailureAfterBaseline(os, c);
    CPUState cpu(os);
    cpu.Initialize();

    EXPECT_EQ(cpu.Query(), -1);
    EXPECT_EQ(os.cpuReadings(), 2);
    EXPECT_EQ(cpu.Query(), 50);
}

INSTANTIATE_TEST_SUITE_P(Cases, CpuQueryFailureTest,
                         testing::Values(FailureCase{"count fails", std::nullopt, false, false},
                                         // Zero would divide the idle share by zero.
                                         FailureCase{"count is zero", 0, false, false},
                                         FailureCase{"time fails", 2, true, false},
                                         FailureCase{"idle fails", 2, false, true}));

TEST(CpuStateTest, FailedInitializeKeepsTheBaseline) {
    // A count of zero is no failure here: a baseline divides by nothing.
    const FailureCase cases[] = {
        {"count fails", std::nullopt, false, false},
        {"time fails", 2, true, false},
        {"idle fails", 2, false, true},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeOsQueries os;
        scriptFailureAfterBaseline(os, c);
        CPUState cpu(os);
        cpu.Initialize();

        cpu.Initialize();
        EXPECT_EQ(os.cpuReadings(), 2);
        EXPECT_EQ(cpu.Query(), 50);
    }
}

} // namespace
} // namespace kelvora
