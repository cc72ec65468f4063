// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>

// Where NtQuerySystemInformation puts the CPU figures. Kept free of Windows
// headers so that the layouts can be checked on any build.
namespace kelvora::nt {

struct RecordLayout {
    std::size_t length = 0; // buffer length handed to the query
    std::size_t offset = 0; // where the figure starts in it
};

// SYSTEM_BASIC_INFORMATION (class 0). Its address fields are pointer-sized,
// so the processor count moves with the pointer size of the process.
template <typename Pointer> struct BasicInformation {
    std::uint32_t reserved;
    std::uint32_t timerResolution;
    std::uint32_t pageSize;
    std::uint32_t numberOfPhysicalPages;
    std::uint32_t lowestPhysicalPageNumber;
    std::uint32_t highestPhysicalPageNumber;
    std::uint32_t allocationGranularity;
    Pointer minimumUserModeAddress;
    Pointer maximumUserModeAddress;
    Pointer activeProcessorsAffinityMask;
    std::uint8_t numberOfProcessors;
};

template <typename Pointer> constexpr RecordLayout basicInformationLayout() {
    return {.length = sizeof(BasicInformation<Pointer>),
            .offset = offsetof(BasicInformation<Pointer>, numberOfProcessors)};
}

// The record of this build's pointer size: the 32-bit form is refused by a
// 64-bit system with a length mismatch.
inline constexpr RecordLayout kProcessorCountLayout = basicInformationLayout<std::uintptr_t>();
// SYSTEM_TIMEOFDAY_INFORMATION (class 3): the current time follows the boot time.
inline constexpr RecordLayout kSystemTimeLayout{.length = 32, .offset = 8};
// SYSTEM_PERFORMANCE_INFORMATION (class 2): the idle time of all processors comes first.
inline constexpr RecordLayout kIdleTimeLayout{.length = 312, .offset = 0};

} // namespace kelvora::nt
