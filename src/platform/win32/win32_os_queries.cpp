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

constexpr ULONG basicInformationClass = 0;
constexpr ULONG performanceInformationClass = 2;
constexpr ULONG timeOfDayInformationClass = 3;
constexpr LONG statusSuccess = 0;

constexpr std::size_t largestRecord = std::max(
    {nt::processorCountLayout.length, nt::systemTimeLayout.length, nt::idleTimeLayout.length});

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
    std::optional<std::uint8_t> processorCount() override {
        const auto count = query<std::uint8_t>(basicInformationClass, nt::processorCountLayout);
        if (!count || *count == 0) {
            return std::nullopt;
        }
        return count;
    }

    std::optional<std::int64_t> systemTime() override {
        return query<std::int64_t>(timeOfDayInformationClass, nt::systemTimeLayout);
    }

    std::optional<std::int64_t> idleTime() override {
        return query<std::int64_t>(performanceInformationClass, nt::idleTimeLayout);
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
        alignas(8) std::array<unsigned char, largestRecord> buffer = {};
        if (m_ntQuerySystemInformation(informationClass, buffer.data(),
                                       static_cast<ULONG>(layout.length),
                                       nullptr) != statusSuccess) {
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
