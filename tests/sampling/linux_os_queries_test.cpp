// SPDX-License-Identifier: MIT
// The Linux queries against figures read here independently, without the
// parsers under test, and over /proc text scripted here.
#include "platform/drive_list.h"
#include "platform/linux/linux_os_queries.h"
#include "platform/make_os_queries.h"
#include "sampling/cpu_state.h"
#include "sampling/memory_disk.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace kelvora {
namespace {

using namespace std::chrono_literals;

constexpr std::uint64_t kMebibyte = 1 << 20;

struct Meminfo {
    std::uint64_t total = 0;
    std::uint64_t available = 0;
};

Meminfo readMeminfo() {
    std::ifstream file("/proc/meminfo");
    Meminfo figures;
    std::string key;
    std::uint64_t kilobytes = 0;
    std::string unit;
    while (file >> key >> kilobytes) {
        if (key == "MemTotal:") {
            figures.total = kilobytes * 1024;
        } else if (key == "MemAvailable:") {
            figures.available = kilobytes * 1024;
        }
        std::getline(file, unit);
    }
    return figures;
}

struct Space {
    std::uint64_t total = 0;
    std::uint64_t free = 0;
};

Space readSpace(const char* path) {
    struct statvfs figures = {};
    if (statvfs(path, &figures) != 0) {
        ADD_FAILURE() << "statvfs " << path;
    }
    return {figures.f_blocks * figures.f_frsize, figures.f_bavail * figures.f_frsize};
}

TEST(LinuxOsQueriesTest, MemoryMatchesProcMeminfo) {
    const auto os = makeOsQueries();

    const Meminfo before = readMeminfo();
    const MEMORYSTATUS status = ReadMemoryStatus(*os);
    const Meminfo after = readMeminfo();

    ASSERT_GT(before.total, 0u);
    EXPECT_EQ(status.totalPhys, before.total);
    // Available memory moves between the reads; allow what other processes
    // may take or give back meanwhile.
    EXPECT_GE(status.availPhys + 64 * kMebibyte, std::min(before.available, after.available));
    EXPECT_LE(status.availPhys, std::max(before.available, after.available) + 64 * kMebibyte);
}

TEST(LinuxOsQueriesTest, RootDriveMatchesStatvfs) {
    const auto os = makeOsQueries();

    const Space before = readSpace("/");
    const DiskSpace space = ReadDiskSpace(*os, "/");
    const Space after = readSpace("/");

    ASSERT_GT(before.total, 0u);
    EXPECT_EQ(space.Total, static_cast<double>(before.total));
    const double slack = static_cast<double>(256 * kMebibyte);
    EXPECT_GE(space.Free + slack, static_cast<double>(std::min(before.free, after.free)));
    EXPECT_LE(space.Free, static_cast<double>(std::max(before.free, after.free)) + slack);
    EXPECT_EQ(space.Used, space.Total - space.Free);
}

TEST(LinuxOsQueriesTest, RootThatIsNoMountPointHasNoMedium) {
    const auto os = makeOsQueries();
    std::string pattern = (std::filesystem::temp_directory_path() / "kelvora-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const std::string missing = pattern + "/missing";

    // A plain directory reads as a drive with no medium, as does a path that
    // does not exist.
    for (const std::string& root : {pattern, missing}) {
        const DiskSpace space = ReadDiskSpace(*os, root);
        EXPECT_EQ(space.Total, 0.0) << root;
        EXPECT_EQ(space.Free, 0.0) << root;
        EXPECT_EQ(space.Used, 0.0) << root;
    }
    std::filesystem::remove(pattern);
}

TEST(LinuxOsQueriesTest, LoadWithBusyProcessorsIsHigh) {
    // Half the processors kept busy: at least 35 % allowing for a thread that
    // is not scheduled all the time.
    const unsigned busyThreads = std::max(1u, std::thread::hardware_concurrency() / 2);
    std::atomic<bool> stop = false;
    std::vector<std::thread> threads;
    for (unsigned i = 0; i < busyThreads; ++i) {
        threads.emplace_back([&stop] {
            while (!stop.load(std::memory_order_relaxed)) {
            }
        });
    }
    const auto os = makeOsQueries();
    CPUState cpu(*os);
    cpu.Initialize();
    std::this_thread::sleep_for(500ms);
    const std::int32_t load = cpu.Query();
    stop = true;
    for (std::thread& thread : threads) {
        thread.join();
    }

    EXPECT_GE(load, 35);
    EXPECT_LE(load, 100);
}

// Gives its texts one per read, then fails; an empty text is a failed read.
class ScriptedProcText final : public ProcText {
public:
    ScriptedProcText(std::vector<std::optional<std::string>> texts, int& reads)
        : m_texts(std::move(texts)), m_reads(reads) {}

    std::optional<std::string_view> read() override {
        const std::size_t index = static_cast<std::size_t>(m_reads++);
        if (index >= m_texts.size() || !m_texts[index]) {
            return std::nullopt;
        }
        return *m_texts[index];
    }

private:
    std::vector<std::optional<std::string>> m_texts;
    int& m_reads;
};

// /proc/stat of two processors whose aggregate line counts `busy` user ticks
// and `idle` idle ticks.
std::string twoProcessorStat(int busy, int idle) {
    const std::string times = std::to_string(busy) + " 0 0 " + std::to_string(idle);
    return "cpu  " + times + " 0 0 0 0 0 0\ncpu0 " + times + "\ncpu1 0 0 0 0\nctxt 1\n";
}

struct ReadingCase {
    const char* name;
    std::vector<std::optional<std::string>> stat; // the text of each read in turn
    std::vector<std::int32_t> loads;              // of the queries after the baseline
};

// Each sample reads /proc/stat once and takes all its figures from that
// text: a clock from one read and an idle time from the next would belong
// to no interval. The loads are those of the scripted texts only when every
// sample reads once, in order.
TEST(LinuxOsQueriesTest, EachSampleTakesItsFiguresFromOneRead) {
    const std::string cutOff = twoProcessorStat(10, 10).substr(0, 12);
    const ReadingCase cases[] = {
        {"idle, then busy",
         {twoProcessorStat(0, 0), twoProcessorStat(0, 100), twoProcessorStat(100, 100)},
         {0, 100}},
        {"a quarter busy twice",
         {twoProcessorStat(0, 0), twoProcessorStat(25, 75), twoProcessorStat(50, 150)},
         {25, 25}},
        {"a cut-off read fails, the next spans both",
         {twoProcessorStat(0, 0), cutOff, twoProcessorStat(50, 50)},
         {-1, 50}},
        {"a failed read fails, the next spans both",
         {twoProcessorStat(0, 0), std::nullopt, twoProcessorStat(75, 25)},
         {-1, 75}},
    };
    constexpr long ticksPerSecond = 100;
    for (const ReadingCase& c : cases) {
        SCOPED_TRACE(c.name);
        int statReads = 0;
        int meminfoReads = 0;
        const auto os =
            makeLinuxOsQueries(std::make_unique<ScriptedProcText>(c.stat, statReads),
                               std::make_unique<ScriptedProcText>(
                                   std::vector<std::optional<std::string>>{}, meminfoReads),
                               ticksPerSecond);
        CPUState cpu(*os);
        cpu.Initialize();
        std::vector<std::int32_t> loads;
        for (std::size_t i = 0; i < c.loads.size(); ++i) {
            loads.push_back(cpu.Query());
        }

        EXPECT_EQ(loads, c.loads);
        EXPECT_EQ(statReads, static_cast<int>(c.stat.size()));
        EXPECT_EQ(meminfoReads, 0);
    }
}

// A folder of its own, removed with everything in it when the test ends.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kelvora-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_path = pattern;
        }
    }
    ~TemporaryFolder() {
        if (!m_path.empty()) {
            std::filesystem::remove_all(m_path);
        }
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

// Exit codes of the child that reads a drive inside a chroot.
constexpr int kHasSpace = 0;
constexpr int kNoSpace = 1;
constexpr int kCannotChroot = 2;
constexpr int kChildFailed = -1;

// Whether the drive at `root` has space as seen from a child process with
// `folder` as its root. Without root rights the child enters a user namespace
// of its own, where it may chroot; nothing outlives it.
int driveSpaceInChroot(const std::string& folder, const char* root) {
    const pid_t child = ::fork();
    if (child < 0) {
        return kChildFailed;
    }
    if (child == 0) {
        if (::chroot(folder.c_str()) != 0 &&
            (::unshare(CLONE_NEWUSER) != 0 || ::chroot(folder.c_str()) != 0)) {
            ::_exit(kCannotChroot);
        }
        if (::chdir("/") != 0) {
            ::_exit(kCannotChroot);
        }
        ::_exit(ReadDiskSpace(*makeOsQueries(), root).Total > 0 ? kHasSpace : kNoSpace);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return kChildFailed;
    }
    return WEXITSTATUS(status);
}

TEST(LinuxOsQueriesTest, ChrootRootIsTheSystemDrive) {
    TemporaryFolder folder;
    ASSERT_FALSE(folder.path().empty());
    std::filesystem::create_directory(folder.path() + "/plain");
    // Inside the chroot neither is a mount root; only "/" is spared the test.
    const struct {
        const char* root;
        int expected;
    } cases[] = {
        {"/", kHasSpace},
        {"/plain", kNoSpace},
    };
    for (const auto& c : cases) {
        const int result = driveSpaceInChroot(folder.path(), c.root);
        if (result == kCannotChroot) {
            GTEST_SKIP() << "cannot chroot: needs root or user namespaces";
        }
        EXPECT_EQ(result, c.expected) << c.root;
    }
}

TEST(LinuxOsQueriesTest, DriveListPutsTheRootSecond) {
    const auto drives = listDrives();

    ASSERT_GE(drives.size(), 2u);
    EXPECT_EQ(drives[1].root, "/");
    const auto roots = std::ranges::count(drives, std::string("/"), &Drive::root);
    EXPECT_EQ(roots, 1);
}

} // namespace
} // namespace kelvora
