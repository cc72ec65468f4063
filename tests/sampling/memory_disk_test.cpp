// SPDX-License-Identifier: MIT
#include "fakes/fake_os_queries.h"
#include "sampling/memory_disk.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

constexpr std::uint64_t kGibibyte = std::uint64_t{1} << 30;

TEST(ReadDiskSpaceTest, GivesExactByteCounts) {
    const struct {
        const char* name;
        std::optional<ClusterGeometry> geometry;
        std::uint64_t free;
        std::uint64_t total;
    } cases[] = {
        {"no medium", std::nullopt, 0, 0},
        {"floppy", ClusterGeometry{1, 512, 2'847, 2'847}, 1'457'664, 1'457'664},
        {"full drive", ClusterGeometry{8, 512, 0, 1'000'000}, 0, 4'096'000'000},
        {"above 2^32 bytes", ClusterGeometry{8, 512, 12'345'678, 62'500'000}, 50'567'897'088,
         256'000'000'000},
        // 2^41 - 1 clusters of 4 KiB: 2^53 - 4096 bytes, still exact in a double.
        {"near 2^53 bytes", ClusterGeometry{1, 4'096, 1, 2'199'023'255'551}, 4'096,
         9'007'199'254'736'896},
        {"64 sectors a cluster", ClusterGeometry{64, 4'096, 3, 5}, 786'432, 1'310'720},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeOsQueries os;
        os.geometry.set(c.geometry);

        const DiskSpace space = ReadDiskSpace(os, "c:");

        EXPECT_EQ(space.Free, static_cast<double>(c.free));
        EXPECT_EQ(space.Total, static_cast<double>(c.total));
        EXPECT_EQ(space.Used, static_cast<double>(c.total - c.free));
    }
}

TEST(ReadDiskSpaceTest, AsksForTheGivenRootEveryTime) {
    FakeOsQueries os;
    os.geometry.push(ClusterGeometry{8, 512, 10, 20});
    os.geometry.push(std::nullopt);

    EXPECT_EQ(ReadDiskSpace(os, "/media/stick").Total, 81'920.0);
    EXPECT_EQ(ReadDiskSpace(os, "d:").Total, 0.0);
    EXPECT_EQ(os.geometry.calls(), 2);
    EXPECT_EQ(os.lastRoot, "d:");
}

TEST(ReadMemoryStatusTest, FillsThePhysicalFiguresOnly) {
    const struct {
        const char* name;
        std::optional<PhysicalMemory> memory;
        std::uint64_t total;
        std::uint64_t available;
    } cases[] = {
        {"query fails", std::nullopt, 0, 0},
        {"64 MiB", PhysicalMemory{64 << 20, 20 << 20}, 64 << 20, 20 << 20},
        {"24 GiB", PhysicalMemory{24 * kGibibyte, 19 * kGibibyte}, 24 * kGibibyte, 19 * kGibibyte},
        // Used memory is total minus available and must not wrap below zero.
        {"more available than total", PhysicalMemory{4 * kGibibyte, 5 * kGibibyte}, 4 * kGibibyte,
         4 * kGibibyte},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeOsQueries os;
        os.memory.set(c.memory);

        const MEMORYSTATUS status = ReadMemoryStatus(os);

        EXPECT_EQ(status.totalPhys, c.total);
        EXPECT_EQ(status.availPhys, c.available);
        for (const std::uint64_t unused :
             {status.length, status.memoryLoad, status.totalPageFile, status.availPageFile,
              status.totalVirtual, status.availVirtual}) {
            EXPECT_EQ(unused, 0u);
        }
    }
}

TEST(ReadMemoryStatusTest, AsksAfreshEveryTime) {
    FakeOsQueries os;
    os.memory.push(PhysicalMemory{16 * kGibibyte, 9 * kGibibyte});
    os.memory.push(PhysicalMemory{16 * kGibibyte, 7 * kGibibyte});

    EXPECT_EQ(ReadMemoryStatus(os).availPhys, 9 * kGibibyte);
    EXPECT_EQ(ReadMemoryStatus(os).availPhys, 7 * kGibibyte);
}

} // namespace
} // namespace kelvora
