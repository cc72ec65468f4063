// SPDX-License-Identifier: MIT
// /proc files that cannot be read in full: the parsers refuse what was cut
// off, and the real queries then give their failure results.
#include "platform/linux/proc_parsers.h"
#include "platform/make_os_queries.h"
#include "sampling/cpu_state.h"
#include "sampling/memory_disk.h"
#include "test_data.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace kelvora {
namespace {

// A read that stops early must never yield figures the whole file does not
// give: text cut inside a line is refused, and text cut at a line end gives
// nothing or the whole file's figures.
TEST(TruncatedProcTextTest, NeverGivesOtherFigures) {
    for (const char* file : {"proc_stat_two_cpus.txt", "proc_stat_eight_cpus_guest.txt"}) {
        SCOPED_TRACE(file);
        const std::string text = readTestData(file);
        const auto whole = parseProcStat(text);
        ASSERT_TRUE(whole);
        for (std::size_t length = 0; length < text.size(); ++length) {
            const std::string_view cut(text.data(), length);
            const auto ticks = parseProcStat(cut);
            if (length == 0 || cut.back() != '\n') {
                EXPECT_FALSE(ticks) << length << " bytes";
            } else if (ticks) {
                EXPECT_EQ(ticks->total, whole->total) << length << " bytes";
                EXPECT_EQ(ticks->idle, whole->idle) << length << " bytes";
                EXPECT_LE(ticks->processorLines, whole->processorLines) << length << " bytes";
            }
        }
    }
    const std::string text = readTestData("proc_meminfo_24g.txt");
    const auto whole = parseProcMeminfo(text);
    ASSERT_TRUE(whole);
    for (std::size_t length = 0; length < text.size(); ++length) {
        const std::string_view cut(text.data(), length);
        const auto memory = parseProcMeminfo(cut);
        if (length == 0 || cut.back() != '\n') {
            EXPECT_FALSE(memory) << length << " bytes";
        } else if (memory) {
            EXPECT_EQ(memory->total, whole->total) << length << " bytes";
            EXPECT_EQ(memory->available, whole->available) << length << " bytes";
        }
    }
}

// Gives this process a mount namespace of its own, so that files bound over
// /proc entries are seen here only. Needs root.
bool enterPrivateMounts() {
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

class BoundOver {
public:
    BoundOver(const std::string& source, const char* target) : m_target(target) {
        m_bound = ::mount(source.c_str(), target, nullptr, MS_BIND, nullptr) == 0;
        if (!m_bound) {
            ADD_FAILURE() << "bind " << source << " over " << target << ": "
                          << std::strerror(errno);
        }
    }
    ~BoundOver() {
        if (m_bound) {
            ::umount2(m_target, MNT_DETACH);
        }
    }
    BoundOver(const BoundOver&) = delete;
    BoundOver& operator=(const BoundOver&) = delete;

private:
    const char* m_target;
    bool m_bound;
};

std::string firstBytesOf(const char* path, std::size_t count) {
    std::ifstream file(path, std::ios::binary);
    std::string text(count, '\0');
    file.read(text.data(), static_cast<std::streamsize>(count));
    text.resize(static_cast<std::size_t>(file.gcount()));
    return text;
}

TEST(UnreadableProcFilesTest, GiveTheFailureResults) {
    if (::geteuid() != 0 || !enterPrivateMounts()) {
        GTEST_SKIP() << "needs root to bind files over /proc in a mount namespace of its own";
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("kelvora-proc-faults-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    // Cut inside the first line, as a read that stopped early would leave it.
    const auto cutCopy = [&](const char* path, const char* name) {
        const std::filesystem::path copy = folder / name;
        std::ofstream(copy, std::ios::binary) << firstBytesOf(path, 12);
        return copy.string();
    };
    const struct {
        const char* kind;
        std::string stat;
        std::string meminfo;
    } cases[] = {
        {"empty", "/dev/null", "/dev/null"},
        {"cut off", cutCopy("/proc/stat", "stat"), cutCopy("/proc/meminfo", "meminfo")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const BoundOver stat(c.stat, "/proc/stat");
        const BoundOver meminfo(c.meminfo, "/proc/meminfo");
        const auto os = makeOsQueries();

        EXPECT_FALSE(os->cpuTimes());
        EXPECT_FALSE(os->physicalMemory());
        const MEMORYSTATUS memory = ReadMemoryStatus(*os);
        EXPECT_EQ(memory.totalPhys, 0u);
        EXPECT_EQ(memory.availPhys, 0u);
        CPUState cpu(*os);
        cpu.Initialize();
        EXPECT_EQ(cpu.Query(), -1);
        // The drive does not come from /proc and still reads.
        EXPECT_GT(ReadDiskSpace(*os, "/").Total, 0.0);
    }
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace kelvora
