// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kelvora {

// The processor counters of one moment, taken together by one call, so that
// the idle time is never paired with a clock from an earlier reading.
struct CpuTimes {
    // Number of processors the idle time is summed over, 1-255.
    std::uint8_t processors = 0;
    // Current system time in 100 ns units. Only differences are meaningful;
    // the clock may jump when the user sets it.
    std::int64_t systemTime = 0;
    // Idle time of all processors together since boot, in 100 ns units.
    std::int64_t idleTime = 0;
};

// Physical memory in bytes, as the operating system reports it right now.
struct PhysicalMemory {
    std::uint64_t total = 0;
    std::uint64_t available = 0;
};

// A drive's space in allocation units. Byte counts are the products of these
// counts, so the geometry is reported as the operating system gives it.
struct ClusterGeometry {
    std::uint64_t sectorsPerCluster = 0;
    std::uint64_t bytesPerSector = 0;
    std::uint64_t freeClusters = 0;
    std::uint64_t totalClusters = 0;
};

// Every operating-system figure the meter shows comes through this interface.
// Each call asks the operating system afresh; nothing is cached between calls.
// A query that fails returns an empty optional and changes nothing.
// Implementations are meant for one thread: the user-interface thread.
class OsQueries {
public:
    virtual ~OsQueries() = default;

    // The processor counters, read once; empty when any of the three cannot
    // be read or the processor count would be zero.
    virtual std::optional<CpuTimes> cpuTimes() = 0;
    virtual std::optional<PhysicalMemory> physicalMemory() = 0;
    // Geometry of the drive whose root is `root` (a mount point, or "c:").
    // Empty when the drive has no medium or the root names no drive.
    virtual std::optional<ClusterGeometry> clusterGeometry(std::string_view root) = 0;
};

} // namespace kelvora
