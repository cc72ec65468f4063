// SPDX-License-Identifier: MIT
#include "format/number_format.h"

#include <benchmark/benchmark.h>

#include <iterator>
#include <string>
#include <string_view>

namespace {

struct Case {
    double value;
    std::string_view pattern;
};

// What one memory-and-drive tick renders: amounts in each unit pattern and the percentages.
constexpr Case typicalCases[] = {
    {123456789012.0, "### ### ### ##0 B"},
    {120563270.5, "### ### ##0 KB"},
    {117737.56, "### ##0.00 MB"},
    {114.978, "0.00 GB"},
    {16234.25, "0.00 MB"},
    {0.4271, "0.0%"},
};

void formatTypical(benchmark::State& state) {
    const Case& c = typicalCases[state.range(0)];
    for (auto _ : state) {
        benchmark::DoNotOptimize(kelvora::Format(c.value, c.pattern, ","));
    }
    state.SetLabel(std::string(c.pattern));
}

} // namespace

BENCHMARK(formatTypical)->DenseRange(0, std::size(typicalCases) - 1);

BENCHMARK_MAIN();
