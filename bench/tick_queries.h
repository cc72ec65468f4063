// SPDX-License-Identifier: MIT
#pragma once

// The operating-system queries of one memory-and-drive tick of the meter, on
// the system drive, for the benchmarks that measure them without the window.

#include "platform/os_queries.h"
#include "sampling/memory_disk.h"

namespace kelvora::bench {

#ifdef _WIN32
inline constexpr const char* kSystemRoot = "c:";
#else
inline constexpr const char* kSystemRoot = "/";
#endif

// Ten drive reads and fourteen memory reads, as a tick makes them; returns
// a figure of each summed, so that no read can be left out as unused.
inline double tickQueries(OsQueries& os) {
    constexpr int driveReads = 10;
    constexpr int memoryReads = 14;
    double sum = 0;
    for (int i = 0; i < driveReads; ++i) {
        sum += ReadDiskSpace(os, kSystemRoot).Used;
    }
    for (int i = 0; i < memoryReads; ++i) {
        sum += static_cast<double>(ReadMemoryStatus(os).availPhys);
    }
    return sum;
}

} // namespace kelvora::bench
