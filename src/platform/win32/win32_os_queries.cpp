// SPDX-License-Identifier: MIT
#include "platform/make_os_queries.h"
#include "platform/win32/nt_records.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace kelvora {

namespace {

using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

constexpr ULONG kBasicInformationClass = 0;
constexpr ULONG kPerformanceInformationClass = 2;
constexpr ULONG kTimeOfDayInformationClass = 3;
constexpr LONG kStatusSuccess = 0;

constexpr std::size_t kLargestRecord = std::max(
    {nt::kProcessorCountLayout.length, nt::kSystemTimeLayout.length, nt::kIdleTimeLayout.length});

NtQuerySystemInformationFn findNtQuerySystemInformation() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (ntdll == nullptr) {
        return nullptr;
    }
    // The detour through void(*)() tells the compiler the cast from the
    // generic FARPROC to the real signature is meant.
    return reinterpret_cast<NtQuerySystemInformationFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(ntdll, "NtQuerySystemInformation")));
}

class Win32OsQueries final : public OsQueries {
public:
    std::optional<CpuTimes> cpuTimes() override {
        // Class 0, then 3, then 2, stopping at the first that fails.
        const auto processors =
            query<std::uint8_t>(kBasicInformationClass, nt::kProcessorCountLayout);
        if (!processors || *processors == 0) {
            return std::nullopt;
        }
        const auto systemTime =
            query<std::int64_t>(kTimeOfDayInformationClass, nt::kSystemTimeLayout);
        if (!systemTime) {
            return std::nullopt;
        }
        const auto idleTime =
            query<std::int64_t>(kPerformanceInformationClass, nt::kIdleTimeLayout);
        if (!idleTime) {
            return std::nullopt;
        }
        return CpuTimes{
            .processors = *processors, .systemTime = *systemTime, .idleTime = *idleTime};
    }

    std::optional<PhysicalMemory> physicalMemory() override {
        MEMORYSTATUSEX status = {};
        status.dwLength = sizeof status;
        if (GlobalMemoryStatusEx(&status) == 0) {
            return std::nullopt;
        }
        return PhysicalMemory{.total = status.ullTotalPhys, .available = status.ullAvailPhys};
    }

    std::optional<ClusterGeometry> clusterGeometry(std::string_view root) override {
        const std::string path(root);
        DWORD sectorsPerCluster = 0;
        DWORD bytesPerSector = 0;
        DWORD freeClusters = 0;
        DWORD totalClusters = 0;
        // An empty removable drive must fail quietly, not ask the user to
        // insert a disk.
        DWORD previousMode = 0;
        const bool modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previousMode) != 0;
        const BOOL read = GetDiskFreeSpaceA(path.c_str(), &sectorsPerCluster, &bytesPerSector,
                                            &freeClusters, &totalClusters);
        if (modeSet) {
            SetThreadErrorMode(previousMode, nullptr);
        }
        if (read == 0) {
            return std::nullopt;
        }
        return ClusterGeometry{.sectorsPerCluster = sectorsPerCluster,
                               .bytesPerSector = bytesPerSector,
                               .freeClusters = freeClusters,
                               .totalClusters = totalClusters};
    }

private:
    template <typename Value>
    std::optional<Value> query(ULONG informationClass, nt::RecordLayout layout) {
        if (m_ntQuerySystemInformation == nullptr) {
            return std::nullopt;
        }
        alignas(8) std::array<unsigned char, kLargestRecord> buffer = {};
        if (m_ntQuerySystemInformation(informationClass, buffer.data(),
                                       static_cast<ULONG>(layout.length),
                                       nullptr) != kStatusSuccess) {
            return std::nullopt;
        }
        Value value = {};
        std::memcpy(&value, buffer.data() + layout.offset, sizeof value);
        return value;
    }

    NtQuerySystemInformationFn m_ntQuerySystemInformation = findNtQuerySystemInformation();
};

} // namespace

std::unique_ptr<OsQueries> makeOsQueries() {
    return std::make_unique<Win32OsQueries>();
}

} // namespace kelvora
