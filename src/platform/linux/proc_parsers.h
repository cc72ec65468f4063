// SPDX-License-Identifier: MIT
#pragma once

#include "platform/os_queries.h"

#include <cstdint>
#include <optional>
#include <string_view>

// Parsers of the /proc files the Linux queries read. They take the whole
// text of a file and return its figures, or empty when the text is not a
// complete, well-formed file of that kind. No operating-system calls here.
namespace kelvora {

// Cumulative processor time from /proc/stat, in clock ticks.
struct CpuTicks {
    // user + nice + system + idle + iowait + irq + softirq + steal of the
    // aggregate `cpu` line; guest time is already inside user and nice.
    std::uint64_t total = 0;
    // idle + iowait: a processor waiting for the disk has nothing to run.
    std::uint64_t idle = 0;
    // Number of `cpuN` lines, one per online processor.
    std::uint32_t processorLines = 0;
};

std::optional<CpuTicks> parseProcStat(std::string_view text);

// MemTotal and MemAvailable of /proc/meminfo, in bytes.
std::optional<PhysicalMemory> parseProcMeminfo(std::string_view text);

// `ticks` clock ticks in 100 ns units, divided by `divisor`; empty when
// either rate is zero or the result does not fit a signed 64-bit count.
std::optional<std::int64_t> ticksTo100ns(std::uint64_t ticks, std::uint64_t ticksPerSecond,
                                         std::uint64_t divisor);

} // namespace kelvora
