// SPDX-License-Identifier: MIT
#pragma once

#include "platform/os_queries.h"

#include <memory>
#include <optional>
#include <string_view>

// The Linux queries with their sources of /proc text handed in, so that a
// test can script the text each read gives. makeOsQueries() hands in the
// real files.
namespace kelvora {

// One /proc file, read whole on each call.
class ProcText {
public:
    virtual ~ProcText() = default;
    // The whole file as it is now; empty when it cannot be read. The view
    // lasts until the next read.
    virtual std::optional<std::string_view> read() = 0;
};

// Queries that read /proc/stat from `stat` and /proc/meminfo from `meminfo`,
// with `ticksPerSecond` the clock tick rate /proc/stat counts in; a rate of
// zero or less makes every processor reading fail.
std::unique_ptr<OsQueries> makeLinuxOsQueries(std::unique_ptr<ProcText> stat,
                                              std::unique_ptr<ProcText> meminfo,
                                              long ticksPerSecond);

} // namespace kelvora
