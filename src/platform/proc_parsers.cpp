#include "platform/proc_parsers.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace kelvora {

namespace {

// Fields of a `cpu` line that count processor time; later ones (guest,
// guest_nice) are already inside user and nice.
constexpr std::size_t timeFields = 8;
constexpr std::size_t idleField = 3;
constexpr std::size_t iowaitField = 4;
// Kernels before 2.6 wrote user, nice, system and idle only.
constexpr std::size_t requiredFields = 4;

constexpr std::uint64_t bytesPerKilobyte = 1024;
constexpr std::uint64_t unitsPerSecond = 10'000'000;

class Tokens {
public:
    explicit Tokens(std::string_view text) : m_rest(text) {}

    std::optional<std::string_view> next() {
        const auto start = m_rest.find_first_not_of(" \t");
        if (start == std::string_view::npos) {
            m_rest = {};
            return std::nullopt;
        }
        m_rest.remove_prefix(start);
        const auto end = std::min(m_rest.find_first_of(" \t"), m_rest.size());
        const auto token = m_rest.substr(0, end);
        m_rest.remove_prefix(end);
        return token;
    }

private:
    std::string_view m_rest;
};

// /proc files end every line with a newline; text without one was cut off.
template <typename Visit> bool forEachCompleteLine(std::string_view text, Visit visit) {
    if (text.empty() || text.back() != '\n') {
        return false;
    }
    while (!text.empty()) {
        const auto end = text.find('\n');
        if (!visit(text.substr(0, end))) {
            return false;
        }
        text.remove_prefix(end + 1);
    }
    return true;
}

std::optional<std::uint64_t> parseCount(std::string_view token) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (error != std::errc{} || end != token.data() + token.size()) {
        return std::nullopt;
    }
    return value;
}

bool isProcessorLine(std::string_view name) {
    constexpr std::string_view prefix = "cpu";
    return name.size() > prefix.size() && name.starts_with(prefix) &&
           name.find_first_not_of("0123456789", prefix.size()) == std::string_view::npos;
}

// The time fields after a `cpu` or `cpuN` name.
std::optional<CpuTicks> parseTimes(Tokens& tokens) {
    CpuTicks ticks;
    std::size_t fields = 0;
    while (const auto token = tokens.next()) {
        const auto value = parseCount(*token);
        if (!value) {
            return std::nullopt;
        }
        if (fields < timeFields && __builtin_add_overflow(ticks.total, *value, &ticks.total)) {
            return std::nullopt;
        }
        if ((fields == idleField || fields == iowaitField) &&
            __builtin_add_overflow(ticks.idle, *value, &ticks.idle)) {
            return std::nullopt;
        }
        ++fields;
    }
    if (fields < requiredFields) {
        return std::nullopt;
    }
    return ticks;
}

} // namespace

std::optional<CpuTicks> parseProcStat(std::string_view text) {
    std::optional<CpuTicks> aggregate;
    std::uint32_t processorLines = 0;
    const bool complete = forEachCompleteLine(text, [&](std::string_view line) {
        Tokens tokens(line);
        const auto name = tokens.next();
        if (name == "cpu") {
            if (aggregate) {
                return false;
            }
            aggregate = parseTimes(tokens);
            return aggregate.has_value();
        }
        if (name && isProcessorLine(*name)) {
            ++processorLines;
            return parseTimes(tokens).has_value();
        }
        return true;
    });
    if (!complete || !aggregate) {
        return std::nullopt;
    }
    aggregate->processorLines = processorLines;
    return aggregate;
}

std::optional<PhysicalMemory> parseProcMeminfo(std::string_view text) {
    std::optional<std::uint64_t> total;
    std::optional<std::uint64_t> available;
    const bool complete = forEachCompleteLine(text, [&](std::string_view line) {
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) {
            return true;
        }
        const auto key = line.substr(0, colon);
        std::optional<std::uint64_t>* target = key == "MemTotal"       ? &total
                                               : key == "MemAvailable" ? &available
                                                                       : nullptr;
        if (target == nullptr) {
            return true;
        }
        Tokens tokens(line.substr(colon + 1));
        const auto number = tokens.next();
        const auto unit = tokens.next();
        if (target->has_value() || !number || unit != "kB" || tokens.next()) {
            return false;
        }
        const auto kilobytes = parseCount(*number);
        std::uint64_t bytes = 0;
        if (!kilobytes || __builtin_mul_overflow(*kilobytes, bytesPerKilobyte, &bytes)) {
            return false;
        }
        *target = bytes;
        return true;
    });
    if (!complete || !total || !available) {
        return std::nullopt;
    }
    return PhysicalMemory{.total = *total, .available = *available};
}

std::optional<std::int64_t> ticksTo100ns(std::uint64_t ticks, std::uint64_t ticksPerSecond,
                                         std::uint64_t divisor) {
    if (ticksPerSecond == 0 || divisor == 0) {
        return std::nullopt;
    }
    // 128 bits hold ticks × 10^7 for any 64-bit tick count, so the result
    // is exact before it is checked against the 64-bit range.
    using Wide = unsigned __int128;
    const Wide units = Wide{ticks} * unitsPerSecond / (Wide{ticksPerSecond} * divisor);
    if (units > static_cast<Wide>(std::numeric_limits<std::int64_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(units);
}

} // namespace kelvora
