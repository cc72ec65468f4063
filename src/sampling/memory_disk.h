// SPDX-License-Identifier: MIT
#pragma once

#include "platform/os_queries.h"

#include <cstdint>
#include <string_view>

namespace kelvora {

// The memory record in the platform's field order. The fields are 64 bits
// wide: a 32-bit record saturates at 4 GiB. Only the physical figures are
// filled; the others stay zero, as does the length.
struct MEMORYSTATUS {
    std::uint64_t length = 0;
    std::uint64_t memoryLoad = 0;
    std::uint64_t totalPhys = 0;
    std::uint64_t availPhys = 0;
    std::uint64_t totalPageFile = 0;
    std::uint64_t availPageFile = 0;
    std::uint64_t totalVirtual = 0;
    std::uint64_t availVirtual = 0;
};

// Bytes of one drive; exact while below 2^53.
struct DiskSpace {
    double Free = 0;
    double Total = 0;
    double Used = 0;
};

// Asks for the physical memory afresh. Never fails: when the query does,
// the record is all zeros. availPhys never exceeds totalPhys, so the used
// memory derived from them is never negative.
MEMORYSTATUS ReadMemoryStatus(OsQueries& os);

// Asks for the space of the drive at `root` afresh. A drive with no medium,
// or a root that names no drive, gives three zeros.
DiskSpace ReadDiskSpace(OsQueries& os, std::string_view root);

} // namespace kelvora
