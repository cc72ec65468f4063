// SPDX-License-Identifier: MIT
// The cost of the real operating-system queries: one call of each, one CPU
// sample, and the 24 queries of one memory-and-drive tick.
#include "platform/make_os_queries.h"
#include "sampling/cpu_state.h"
#include "tick_queries.h"

#include <benchmark/benchmark.h>

#ifdef __linux__
#include "platform/linux/proc_parsers.h"

#include <fcntl.h>
#include <unistd.h>

#include <string>
#endif

namespace kelvora {
namespace {

void cpuTimes(benchmark::State& state) {
    const auto os = makeOsQueries();
    for (auto _ : state) {
        benchmark::DoNotOptimize(os->cpuTimes());
    }
}
BENCHMARK(cpuTimes);

void physicalMemory(benchmark::State& state) {
    const auto os = makeOsQueries();
    for (auto _ : state) {
        benchmark::DoNotOptimize(os->physicalMemory());
    }
}
BENCHMARK(physicalMemory);

void clusterGeometry(benchmark::State& state) {
    const auto os = makeOsQueries();
    for (auto _ : state) {
        benchmark::DoNotOptimize(os->clusterGeometry(bench::kSystemRoot));
    }
}
BENCHMARK(clusterGeometry);

void cpuSample(benchmark::State& state) {
    const auto os = makeOsQueries();
    CPUState cpu(*os);
    cpu.Initialize();
    for (auto _ : state) {
        benchmark::DoNotOptimize(cpu.Query());
    }
}
BENCHMARK(cpuSample);

void memoryAndDriveTick(benchmark::State& state) {
    const auto os = makeOsQueries();
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench::tickQueries(*os));
    }
}
BENCHMARK(memoryAndDriveTick);

#ifdef __linux__
// The alternative the Linux queries do not take: open, read and close the
// file for every query. physicalMemory above reads a kept descriptor.
void meminfoFreshOpen(benchmark::State& state) {
    std::string buffer(8192, '\0');
    for (auto _ : state) {
        const int fd = ::open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
        std::size_t size = 0;
        ssize_t count = 0;
        while ((count = ::read(fd, buffer.data() + size, buffer.size() - size)) > 0) {
            size += static_cast<std::size_t>(count);
        }
        ::close(fd);
        benchmark::DoNotOptimize(parseProcMeminfo(std::string_view(buffer.data(), size)));
    }
}
BENCHMARK(meminfoFreshOpen);
#endif

} // namespace
} // namespace kelvora
