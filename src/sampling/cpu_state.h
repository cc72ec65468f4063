// SPDX-License-Identifier: MIT
#pragma once

#include "platform/os_queries.h"

#include <cstdint>

namespace kelvora {

// Processor load in percent, averaged over the time between two samples.
// Both counters are kept as they were read at the last successful sample.
class CPUState {
public:
    explicit CPUState(OsQueries& os);

    // Takes the baseline. When a query fails the previous baseline stays.
    void Initialize();

    // Load since the last successful sample: normally 0-100, outside that
    // range for one reading after the system clock was set. -1 when a query
    // fails; the baseline then stays, so the next reading spans both periods.
    std::int32_t Query();

    // Holds nothing to release.
    void Terminate();

private:
    // The counts are 100 ns units; taken bit for bit they are milliseconds
    // with four decimals, the fixed-point form the arithmetic works in.
    static std::int64_t LargeIntegerToFixed(const std::int64_t& count);

    OsQueries& m_os;
    std::int64_t PrevIdleTime = 0;
    std::int64_t PrevSystemTime = 0;
};

} // namespace kelvora
