// SPDX-License-Identifier: MIT
#include "platform/linux/proc_parsers.h"

#include "parsing/text_scanner.h"

#include <limits>

namespace kelvora {

namespace {

// Fields of a `cpu` line that count processor time; later ones (guest,
// guest_nice) are already inside user and nice.
constexpr std::size_t kTimeFields = 8;
constexpr std::size_t kIdleField = 3;
constexpr std::size_t kIowaitField = 4;
// Kernels before 2.6 wrote user, nice, system and idle only.
constexpr std::size_t kRequiredFields = 4;

constexpr std::uint64_t kBytesPerKilobyte = 1024;
constexpr std::uint64_t kUnitsPerSecond = 10'000'000;

bool isProcessorLine(std::string_view name) {
    constexpr std::string_view prefix = "cpu";
    return name.size() > prefix.size() && name.starts_with(prefix) &&
           name.find_first_not_of("0123456789", prefix.size()) == std::string_view::npos;
}

// The time fields after a `cpu` or `cpuN` name.
std::optional<CpuTicks> parseTimes(Fields& fields) {
    CpuTicks ticks;
    std::size_t index = 0;
    while (const auto field = fields.next()) {
        const auto value = parseWhole<std::uint64_t>(*field);
        if (!value) {
            return std::nullopt;
        }
        if (index < kTimeFields && __builtin_add_overflow(ticks.total, *value, &ticks.total)) {
            return std::nullopt;
        }
        if ((index == kIdleField || index == kIowaitField) &&
            __builtin_add_overflow(ticks.idle, *value, &ticks.idle)) {
            return std::nullopt;
        }
        ++index;
    }
    if (index < kRequiredFields) {
        return std::nullopt;
    }
    return ticks;
}

} // namespace

std::optional<CpuTicks> parseProcStat(std::string_view text) {
    std::optional<CpuTicks> aggregate;
    std::uint32_t processorLines = 0;
    CompleteLines lines(text);
    while (const auto line = lines.next()) {
        Fields fields(*line, FieldSeparator::blankRuns);
        const auto name = fields.next();
        if (name == "cpu") {
            if (aggregate) {
                return std::nullopt;
            }
            aggregate = parseTimes(fields);
            if (!aggregate) {
                return std::nullopt;
            }
        } else if (name && isProcessorLine(*name)) {
            ++processorLines;
            if (!parseTimes(fields)) {
                return std::nullopt;
            }
        }
    }
    // /proc files end every line with a newline; text without one was cut off.
    if (!lines.complete() || !aggregate) {
        return std::nullopt;
    }
    aggregate->processorLines = processorLines;
    return aggregate;
}

std::optional<PhysicalMemory> parseProcMeminfo(std::string_view text) {
    std::optional<std::uint64_t> total;
    std::optional<std::uint64_t> available;
    CompleteLines lines(text);
    while (const auto line = lines.next()) {
        const auto colon = line->find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        const auto key = line->substr(0, colon);
        std::optional<std::uint64_t>* target = key == "MemTotal"       ? &total
                                               : key == "MemAvailable" ? &available
                                                                       : nullptr;
        if (target == nullptr) {
            continue;
        }
        Fields fields(line->substr(colon + 1), FieldSeparator::blankRuns);
        const auto number = fields.next();
        const auto unit = fields.next();
        if (target->has_value() || !number || unit != "kB" || fields.next()) {
            return std::nullopt;
        }
        const auto kilobytes = parseWhole<std::uint64_t>(*number);
        std::uint64_t bytes = 0;
        if (!kilobytes || __builtin_mul_overflow(*kilobytes, kBytesPerKilobyte, &bytes)) {
            return std::nullopt;
        }
        *target = bytes;
    }
    if (!lines.complete() || !total || !available) {
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
    const Wide units = Wide{ticks} * kUnitsPerSecond / (Wide{ticksPerSecond} * divisor);
    if (units > static_cast<Wide>(std::numeric_limits<std::int64_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(units);
}

} // namespace kelvora
