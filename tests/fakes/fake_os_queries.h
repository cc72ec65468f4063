// SPDX-License-Identifier: MIT
#pragma once

#include "platform/os_queries.h"

#include <deque>
#include <optional>
#include <string>

namespace kelvora {

// The answers of one query: scripted ones first, in order, then a steady
// answer for every further call. An empty answer is a failed query.
template <typename Value> class ScriptedAnswer {
public:
    // Every call from now on answers `value`; forgets scripted answers.
    void set(std::optional<Value> value) {
        m_script.clear();
        m_steady = value;
    }
    // The next call not yet scripted answers `value`.
    void push(std::optional<Value> value) { m_script.push_back(value); }
    void fail() { set(std::nullopt); }

    int calls() const { return m_calls; }

    std::optional<Value> next() {
        ++m_calls;
        if (m_script.empty()) {
            return m_steady;
        }
        const auto value = m_script.front();
        m_script.pop_front();
        return value;
    }

private:
    std::deque<std::optional<Value>> m_script;
    std::optional<Value> m_steady;
    int m_calls = 0;
};

// Operating-system queries answered from a script. Every query fails until
// it is given answers.
class FakeOsQueries final : public OsQueries {
public:
    // The three figures of a processor reading, scripted one by one. Each
    // cpuTimes() call takes the next answer of all three, so the scripts stay
    // in step; the reading fails when any of the three answers is empty.
    ScriptedAnswer<std::uint8_t> processors;
    ScriptedAnswer<std::int64_t> system;
    ScriptedAnswer<std::int64_t> idle;
    ScriptedAnswer<PhysicalMemory> memory;
    ScriptedAnswer<ClusterGeometry> geometry;
    std::string lastRoot; // root of the latest clusterGeometry call

    int cpuReadings() const { return processors.calls(); }

    // A count of zero is passed on, not refused, so that the sampler's own
    // check of it can be tested.
    std::optional<CpuTimes> cpuTimes() override {
        const auto count = processors.next();
        const auto time = system.next();
        const auto idleTime = idle.next();
        if (!count || !time || !idleTime) {
            return std::nullopt;
        }
        return CpuTimes{.processors = *count, .systemTime = *time, .idleTime = *idleTime};
    }
    std::optional<PhysicalMemory> physicalMemory() override { return memory.next(); }
    std::optional<ClusterGeometry> clusterGeometry(std::string_view root) override {
        lastRoot = root;
        return geometry.next();
    }
};

} // namespace kelvora
