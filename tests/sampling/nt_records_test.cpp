// SPDX-License-Identifier: MIT
#include "platform/win32/nt_records.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

TEST(NtRecordsTest, ProcessorCountMovesWithThePointerSize) {
    const struct {
        const char* name;
        nt::RecordLayout layout;
        std::size_t length;
        std::size_t offset;
    } cases[] = {
        {"32-bit process", nt::basicInformationLayout<std::uint32_t>(), 44, 40},
        {"64-bit process", nt::basicInformationLayout<std::uint64_t>(), 64, 56},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.layout.length, c.length) << c.name;
        EXPECT_EQ(c.layout.offset, c.offset) << c.name;
    }
}

TEST(NtRecordsTest, BuildUsesTheRecordOfItsOwnPointerSize) {
    const std::size_t expectedOffset = sizeof(void*) == 8 ? 56 : 40;

    EXPECT_EQ(nt::kProcessorCountLayout.offset, expectedOffset);
    EXPECT_GT(nt::kProcessorCountLayout.length, nt::kProcessorCountLayout.offset);
}

} // namespace
} // namespace kelvora
