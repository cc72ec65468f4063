// SPDX-License-Identifier: MIT
#include "sampling/memory_disk.h"

#include <algorithm>

namespace kelvora {

MEMORYSTATUS ReadMemoryStatus(OsQueries& os) {
    MEMORYSTATUS status;
    if (const auto memory = os.physicalMemory()) {
        status.totalPhys = memory->total;
        // The readouts subtract available from total in unsigned arithmetic;
        // a source that reports more available than total must not wrap them.
        status.availPhys = std::min(memory->available, memory->total);
    }
    return status;
}

DiskSpace ReadDiskSpace(OsQueries& os, std::string_view root) {
    ClusterGeometry geometry;
    if (const auto reported = os.clusterGeometry(root)) {
        geometry = *reported;
    }
    // In double, so that no product of the counts can overflow; below 2^53
    // bytes every product is exact.
    const double bytesPerCluster = static_cast<double>(geometry.bytesPerSector) *
                                   static_cast<double>(geometry.sectorsPerCluster);
    DiskSpace space;
    space.Total = static_cast<double>(geometry.totalClusters) * bytesPerCluster;
    space.Free = static_cast<double>(geometry.freeClusters) * bytesPerCluster;
    space.Used = space.Total - space.Free;
    return space;
}

} // namespace kelvora
