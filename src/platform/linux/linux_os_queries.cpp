// SPDX-License-Identifier: MIT
#include "platform/linux/linux_os_queries.h"

#include "platform/linux/proc_parsers.h"
#include "platform/make_os_queries.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <utility>
#include <vector>

namespace kelvora {

namespace {

constexpr std::uint32_t kMaxProcessors = 255;
constexpr std::size_t kInitialReadSize = 8192;
constexpr std::string_view kSystemRoot = "/";

// Whether the drive at `path` can have its space read: a mount point whose
// medium was taken out is an empty directory of the filesystem above, and
// its space is not the drive's. A path the kernel cannot tell about counts
// as a mount point; a path that does not exist does not.
bool isMountPoint(const char* path) {
    struct statx status = {};
    if (::statx(AT_FDCWD, path, AT_NO_AUTOMOUNT | AT_STATX_DONT_SYNC, STATX_TYPE, &status) != 0) {
        return false;
    }
    return (status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) == 0 ||
           (status.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
}

// A /proc file kept open and read again from offset 0 for every query. The
// kernel formats the file anew on each read from the start, so every figure
// is fresh; only the open and close of each query are saved.
class ProcFile final : public ProcText {
public:
    explicit ProcFile(const char* path) : m_path(path) {}
    ~ProcFile() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    ProcFile(const ProcFile&) = delete;
    ProcFile& operator=(const ProcFile&) = delete;

    std::optional<std::string_view> read() override {
        if (m_fd < 0) {
            m_fd = ::open(m_path, O_RDONLY | O_CLOEXEC);
            if (m_fd < 0) {
                return std::nullopt;
            }
        }
        std::size_t size = 0;
        for (;;) {
            if (size == m_buffer.size()) {
                m_buffer.resize(std::max(kInitialReadSize, 2 * m_buffer.size()));
            }
            const ssize_t count = ::pread(m_fd, m_buffer.data() + size, m_buffer.size() - size,
                                          static_cast<off_t>(size));
            if (count < 0 && errno == EINTR) {
                continue;
            }
            if (count < 0) {
                return std::nullopt;
            }
            size += static_cast<std::size_t>(count);
            // Both files are one seq_file record, formatted whole before the
            // copy, so a read that leaves room in the buffer has reached the
            // end; only a full buffer needs another read.
            if (size < m_buffer.size()) {
                return std::string_view(m_buffer.data(), size);
            }
        }
    }

private:
    const char* m_path;
    int m_fd = -1;
    std::vector<char> m_buffer;
};

class LinuxOsQueries final : public OsQueries {
public:
    LinuxOsQueries(std::unique_ptr<ProcText> stat, std::unique_ptr<ProcText> meminfo,
                   long ticksPerSecond)
        : m_stat(std::move(stat)), m_meminfo(std::move(meminfo)), m_ticksPerSecond(ticksPerSecond) {
    }

    std::optional<CpuTimes> cpuTimes() override {
        // One read of the file gives all three figures: the kernel updates
        // the counters between reads, and an idle time from a later read
        // than the clock's can push the idle share above the processor count.
        const auto text = m_stat->read();
        if (!text || m_ticksPerSecond <= 0) {
            return std::nullopt;
        }
        const auto ticks = parseProcStat(*text);
        if (!ticks || ticks->processorLines == 0) {
            return std::nullopt;
        }
        // The count is a byte; beyond 255 processors the clock is divided by
        // 255 as well, so the load stays right.
        const auto processors =
            static_cast<std::uint8_t>(std::min(ticks->processorLines, kMaxProcessors));
        const auto rate = static_cast<std::uint64_t>(m_ticksPerSecond);
        // The clock is the processor time of one processor, taken from the
        // same counters as the idle time: the idle share then never exceeds
        // the processor count, whatever the granularity of the counters.
        const auto systemTime = ticksTo100ns(ticks->total, rate, processors);
        const auto idleTime = ticksTo100ns(ticks->idle, rate, 1);
        if (!systemTime || !idleTime) {
            return std::nullopt;
        }
        return CpuTimes{.processors = processors, .systemTime = *systemTime, .idleTime = *idleTime};
    }

    std::optional<PhysicalMemory> physicalMemory() override {
        const auto text = m_meminfo->read();
        if (!text) {
            return std::nullopt;
        }
        return parseProcMeminfo(*text);
    }

    std::optional<ClusterGeometry> clusterGeometry(std::string_view root) override {
        // The system calls need the path NUL-terminated; a kept buffer saves
        // an allocation on each of a tick's ten drive queries.
        m_path.assign(root);
        // "/" is the drive the system runs from, never an empty slot; in a
        // chroot it is no mount root, and the test would zero it on every tick.
        if (root != kSystemRoot && !isMountPoint(m_path.c_str())) {
            return std::nullopt;
        }
        struct statvfs space = {};
        if (::statvfs(m_path.c_str(), &space) != 0) {
            return std::nullopt;
        }
        return ClusterGeometry{.sectorsPerCluster = 1,
                               .bytesPerSector = space.f_frsize,
                               .freeClusters = space.f_bavail,
                               .totalClusters = space.f_blocks};
    }

private:
    std::unique_ptr<ProcText> m_stat;
    std::unique_ptr<ProcText> m_meminfo;
    long m_ticksPerSecond;
    std::string m_path;
};

} // namespace

std::unique_ptr<OsQueries> makeLinuxOsQueries(std::unique_ptr<ProcText> stat,
                                              std::unique_ptr<ProcText> meminfo,
                                              long ticksPerSecond) {
    return std::make_unique<LinuxOsQueries>(std::move(stat), std::move(meminfo), ticksPerSecond);
}

std::unique_ptr<OsQueries> makeOsQueries() {
    return makeLinuxOsQueries(std::make_unique<ProcFile>("/proc/stat"),
                              std::make_unique<ProcFile>("/proc/meminfo"), ::sysconf(_SC_CLK_TCK));
}

} // namespace kelvora
