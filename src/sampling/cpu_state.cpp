// SPDX-License-Identifier: MIT
#include "sampling/cpu_state.h"

#include "sampling/fixed_point.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace kelvora {

CPUState::CPUState(OsQueries& os) : m_os(os) {}

void CPUState::Initialize() {
    const auto times = m_os.cpuTimes();
    if (!times) {
        return;
    }
    PrevIdleTime = times->idleTime;
    PrevSystemTime = times->systemTime;
}

std::int32_t CPUState::Query() {
    std::int32_t result = -1;

    // One reading serves the whole sample: a clock and an idle time read
    // apart would give a share that does not belong to any interval.
    const auto times = m_os.cpuTimes();
    // A count of zero would divide the idle share by zero; it is as unusable
    // as a reading that failed.
    if (!times || times->processors == 0) {
        return result;
    }

    const std::int64_t idle =
        fixed::subtract(LargeIntegerToFixed(times->idleTime), LargeIntegerToFixed(PrevIdleTime));
    const std::int64_t sys = fixed::subtract(LargeIntegerToFixed(times->systemTime),
                                             LargeIntegerToFixed(PrevSystemTime));

    // Within one tick of the clock nothing can be divided; the idle
    // difference itself stands in for the ratio.
    const std::int64_t ratio =
        sys != 0 ? fixed::fromDouble(static_cast<double>(idle) / static_cast<double>(sys)) : idle;
    const double share = fixed::toDouble(fixed::multiply(ratio, 100)) / times->processors;
    const double x = 100.0 - share + 0.5;
    const std::int64_t load = fixed::floorToWhole(fixed::fromDouble(x));

    using Limits = std::numeric_limits<std::int32_t>;
    result =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(load, Limits::min(), Limits::max()));

    PrevIdleTime = times->idleTime;
    PrevSystemTime = times->systemTime;
    return result;
}

void CPUState::Terminate() {}

std::int64_t CPUState::LargeIntegerToFixed(const std::int64_t& count) {
    std::int64_t value = 0;
    std::memcpy(&value, &count, sizeof value);
    return value;
}

} // namespace kelvora
