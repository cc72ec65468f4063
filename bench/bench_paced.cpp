// SPDX-License-Identifier: MIT
// The operating-system queries of the meter and nothing else, at the meter's
// own pace: each period the 24 queries of a memory-and-drive tick, and every
// 500 ms one processor sample. bench/overhead measures this process the same
// way as the program, so the two figures differ only by what the program
// adds to its queries: the event loop, the text and the drawing.
//
//   kelvora_bench_paced PERIOD_MS [SECONDS]   runs until killed without SECONDS

#include "platform/make_os_queries.h"
#include "sampling/cpu_state.h"
#include "tick_queries.h"

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <thread>

namespace {

constexpr auto cpuPeriod = std::chrono::milliseconds(500);

} // namespace

int main(int argc, char** argv) {
    using namespace kelvora;
    using Clock = std::chrono::steady_clock;
    if (argc < 2 || std::atoi(argv[1]) <= 0) {
        std::cerr << "usage: kelvora_bench_paced PERIOD_MS [SECONDS]\n";
        return 2;
    }
    const auto period = std::chrono::milliseconds(std::atoi(argv[1]));
    const auto start = Clock::now();
    const auto end =
        argc > 2 ? start + std::chrono::seconds(std::atoi(argv[2])) : Clock::time_point::max();

    const auto os = makeOsQueries();
    CPUState cpu(*os);
    auto nextTick = start + period;
    auto nextCpu = start + cpuPeriod;
    volatile double sink = 0;
    while (Clock::now() < end) {
        const auto wake = std::min(nextTick, nextCpu);
        std::this_thread::sleep_until(wake);
        // Like a timer that fell behind, a late tick runs once and the next
        // one comes a full period later.
        const auto now = Clock::now();
        if (now >= nextTick) {
            sink = sink + bench::tickQueries(*os);
            nextTick += period;
            if (nextTick <= now)
                nextTick = now + period;
        }
        if (now >= nextCpu) {
            sink = sink + cpu.Query();
            nextCpu += cpuPeriod;
        }
    }
    return 0;
}
