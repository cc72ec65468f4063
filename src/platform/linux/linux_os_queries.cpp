#include "platform/make_os_queries.h"
#include "platform/proc_parsers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

namespace kelvora {

namespace {

constexpr std::uint32_t maxProcessors = 255;
constexpr std::size_t initialReadSize = 8192;

// A /proc file kept open and read again from offset 0 for every query. The
// kernel formats the file anew on each read from the start, so every figure
// is fresh; only the open and close of each query are saved.
class ProcFile {
public:
    explicit ProcFile(const char* path) : m_path(path) {}
    ~ProcFile() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    ProcFile(const ProcFile&) = delete;
    ProcFile& operator=(const ProcFile&) = delete;

    // The whole file as it is now; empty when it cannot be read. The view
    // lasts until the next read.
    std::optional<std::string_view> read() {
        if (m_fd < 0) {
            m_fd = ::open(m_path, O_RDONLY | O_CLOEXEC);
            if (m_fd < 0) {
                return std::nullopt;
            }
        }
        std::size_t size = 0;
        for (;;) {
            if (size == m_buffer.size()) {
                m_buffer.resize(std::max(initialReadSize, 2 * m_buffer.size()));
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
    std::optional<std::uint8_t> processorCount() override {
        const auto ticks = readCpuTicks();
        if (!ticks) {
            return std::nullopt;
        }
        return processorsOf(*ticks);
    }

    std::optional<std::int64_t> systemTime() override {
        const auto ticks = readCpuTicks();
        if (!ticks) {
            return std::nullopt;
        }
        // The clock is the processor time of one processor, taken from the
        // same counters as the idle time: the idle share then never exceeds
        // the processor count, whatever the granularity of the counters.
        return ticksTo100ns(ticks->total, ticksPerSecond(), processorsOf(*ticks));
    }

    std::optional<std::int64_t> idleTime() override {
        const auto ticks = readCpuTicks();
        if (!ticks) {
            return std::nullopt;
        }
        return ticksTo100ns(ticks->idle, ticksPerSecond(), 1);
    }

    std::optional<PhysicalMemory> physicalMemory() override {
        const auto text = m_meminfo.read();
        if (!text) {
            return std::nullopt;
        }
        return parseProcMeminfo(*text);
    }

    std::optional<ClusterGeometry> clusterGeometry(std::string_view root) override {
        // The system calls need the path NUL-terminated; a kept buffer saves
        // an allocation on each of a tick's ten drive queries.
        m_path.assign(root);
        // A mount point whose medium was taken out is an empty directory of
        // the filesystem above; its space is not the drive's.
        struct statx status = {};
        if (::statx(AT_FDCWD, m_path.c_str(), AT_NO_AUTOMOUNT | AT_STATX_DONT_SYNC, STATX_TYPE,
                    &status) != 0) {
            return std::nullopt;
        }
        if ((status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0 &&
            (status.stx_attributes & STATX_ATTR_MOUNT_ROOT) == 0) {
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
    std::optional<CpuTicks> readCpuTicks() {
        const auto text = m_stat.read();
        if (!text) {
            return std::nullopt;
        }
        const auto ticks = parseProcStat(*text);
        if (!ticks || ticks->processorLines == 0 || m_ticksPerSecond <= 0) {
            return std::nullopt;
        }
        return ticks;
    }

    std::uint64_t ticksPerSecond() const { return static_cast<std::uint64_t>(m_ticksPerSecond); }

    // The count is a byte; beyond 255 processors the clock is divided by 255
    // as well, so the load stays right.
    static std::uint8_t processorsOf(const CpuTicks& ticks) {
        return static_cast<std::uint8_t>(std::min(ticks.processorLines, maxProcessors));
    }

    ProcFile m_stat{"/proc/stat"};
    ProcFile m_meminfo{"/proc/meminfo"};
    std::string m_path;
    long m_ticksPerSecond = ::sysconf(_SC_CLK_TCK);
};

} // namespace

std::unique_ptr<OsQueries> makeOsQueries() {
    return std::make_unique<LinuxOsQueries>();
}

} // namespace kelvora
