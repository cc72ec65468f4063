#include "fakes/fake_os_queries.h"
#include "sampling/cpu_state.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace kelvora {
namespace {

// 100 ns units.
constexpr std::int64_t halfSecond = 5'000'000;
constexpr std::int64_t oneSecond = 10'000'000;
constexpr std::int64_t tenSeconds = 100'000'000;
constexpr std::int64_t oneYear = 315'360'000'000'000;
constexpr std::int64_t huge = 100'000'000'000'000'000;
// A system time of 2022 and the idle time of a machine up for some days.
constexpr std::int64_t startTime = 133'000'000'000'000'000;
constexpr std::int64_t startIdle = 5'000'000'000'000;

constexpr std::int32_t lowest = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t highest = std::numeric_limits<std::int32_t>::max();

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
        LoadCase{"idle", 2, true, startIdle, startTime, 2 * halfSecond, halfSecond, 0},
        LoadCase{"busy", 2, true, startIdle, startTime, 0, halfSecond, 100},
        LoadCase{"one of two busy", 2, true, startIdle, startTime, halfSecond, halfSecond, 50},
        LoadCase{"within one clock tick", 2, true, startIdle, startTime, 0, 0, 100},
        LoadCase{"zero baseline", 2, false, 0, 0, startIdle, startTime, 100},
        LoadCase{"clock a year forward", 2, true, startIdle, startTime, oneSecond, oneYear, 100},
        LoadCase{"clock 10 s back in 500 ms, idle", 2, true, startIdle, startTime, 2 * halfSecond,
                 halfSecond - tenSeconds, 105},
        LoadCase{"clock 10 s back in 500 ms, busy", 2, true, startIdle, startTime, 0,
                 halfSecond - tenSeconds, 100},
        LoadCase{"idle share above the count", 2, true, startIdle, startTime, 10'100'000,
                 halfSecond, -1},
        // 100 - 100 * 145.0001 / 250 + 0.5 = 42.49996, rounded 42.5000 before the floor.
        LoadCase{"x rounds to a half", 250, true, startIdle, startTime, 1'450'001, 10'000, 42},
        // 100 - 100 * 143.7501 / 250 + 0.5 = 42.99996, rounded 43.0000 before the floor.
        LoadCase{"x rounds to a whole", 250, true, startIdle, startTime, 1'437'501, 10'000, 43},
        LoadCase{"1 processor half idle", 1, true, startIdle, startTime, halfSecond / 2, halfSecond,
                 50},
        LoadCase{"255 idle", 255, true, startIdle, startTime, 255 * halfSecond, halfSecond, 0},
        LoadCase{"255 half idle", 255, true, startIdle, startTime, 255 * halfSecond / 2, halfSecond,
                 50},
        // Beyond the 64-bit fixed-point range values saturate; the result is
        // clamped to 32 bits.
        LoadCase{"idle far ahead in one tick", 1, true, startIdle, startTime, huge, 0, lowest},
        LoadCase{"idle far back in one tick", 255, true, huge, startTime, -huge, 0, highest},
        LoadCase{"idle share far above", 1, true, startIdle, startTime, oneYear, 1, lowest}));

TEST(CpuStateTest, DifferenceBeyond64BitsSaturates) {
    FakeOsQueries os;
    os.processors.set(2);
    os.system.push(startTime);
    os.idle.push(std::numeric_limits<std::int64_t>::max());
    os.system.push(startTime + halfSecond);
    os.idle.push(std::numeric_limits<std::int64_t>::min());
    CPUState cpu(os);
    cpu.Initialize();

    // Idle time fell by more than 2^63; wrapped, it would read as a rise of 1.
    EXPECT_EQ(cpu.Query(), highest);
}

TEST(CpuStateTest, EachQueryStartsFromTheLastOne) {
    FakeOsQueries os;
    os.processors.set(2);
    CPUState cpu(os);
    for (const std::int64_t step : {0, 1, 2}) {
        os.system.push(startTime + step * halfSecond);
    }
    for (const std::int64_t idle :
         {startIdle, startIdle + halfSecond, startIdle + 3 * halfSecond}) {
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
    int timeCalls; // by the failing query
    int idleCalls;
};

class CpuQueryFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(CpuQueryFailureTest, FailedQueryKeepsTheBaseline) {
    const FailureCase& c = GetParam();
    SCOPED_TRACE(c.name);
    FakeOsQueries os;
    CPUState cpu(os);
    os.system.push(startTime);
    os.idle.push(startIdle);
    cpu.Initialize();

    // Answers that would move the baseline half a second on if they were kept.
    os.processors.push(c.count);
    os.system.push(c.timeFails ? std::nullopt : std::optional(startTime + halfSecond));
    os.idle.push(c.idleFails ? std::nullopt : std::optional(startIdle + 2 * halfSecond));
    EXPECT_EQ(cpu.Query(), -1);
    EXPECT_EQ(os.system.calls(), 1 + c.timeCalls);
    EXPECT_EQ(os.idle.calls(), 1 + c.idleCalls);

    // One second after the baseline, one processor of two idle all along.
    os.processors.set(2);
    os.system.set(startTime + oneSecond);
    os.idle.set(startIdle + oneSecond);
    EXPECT_EQ(cpu.Query(), 50);
}

INSTANTIATE_TEST_SUITE_P(Cases, CpuQueryFailureTest,
                         testing::Values(FailureCase{"count fails", std::nullopt, false, false, 0,
                                                     0},
                                         // Zero would divide the idle share by zero.
                                         FailureCase{"count is zero", 0, false, false, 0, 0},
                                         FailureCase{"time fails", 2, true, false, 1, 0},
                                         FailureCase{"idle fails", 2, false, true, 1, 1}));

TEST(CpuStateTest, FailedInitializeKeepsTheBaseline) {
    for (const bool timeFails : {true, false}) {
        SCOPED_TRACE(timeFails ? "time fails" : "idle fails");
        FakeOsQueries os;
        os.processors.set(2);
        CPUState cpu(os);
        os.system.push(startTime);
        os.idle.push(startIdle);
        cpu.Initialize();

        os.system.push(timeFails ? std::nullopt : std::optional(startTime + halfSecond));
        os.idle.push(timeFails ? std::optional(startIdle + 2 * halfSecond) : std::nullopt);
        cpu.Initialize();
        EXPECT_EQ(os.idle.calls(), timeFails ? 1 : 2);

        os.system.set(startTime + oneSecond);
        os.idle.set(startIdle + oneSecond);
        EXPECT_EQ(cpu.Query(), 50);
    }
}

} // namespace
} // namespace kelvora
