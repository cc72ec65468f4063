// SPDX-License-Identifier: MIT
#include "process/termination_signals.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <csignal>

namespace kelvora {
namespace {

bool isIgnored(int signal) {
    struct sigaction current {};
    return sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

bool hasDefaultAction(int signal) {
    struct sigaction current {};
    return sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL;
}

// A termination signal reaches the event loop as one request; one the program
// was started with ignored stays ignored; once the object goes, each has its
// action from before again.
TEST(TerminationSignalsTest, EachSignalBecomesOneRequestUnlessStartedIgnored) {
    struct Row {
        const char* what;
        int signal;
        int count;
        bool startedIgnored;
    };
    const Row rows[] = {
        {"SIGTERM", SIGTERM, 1, false},
        {"SIGHUP twice", SIGHUP, 2, false},
        {"SIGINT", SIGINT, 1, false},
        {"SIGINT, ignored from the start", SIGINT, 1, true},
    };
    for (const Row& row : rows) {
        std::signal(row.signal, row.startedIgnored ? SIG_IGN : SIG_DFL);
        {
            TerminationSignals requests;
            QSignalSpy received(&requests, &TerminationSignals::received);
            for (int i = 0; i < row.count; ++i) {
                std::raise(row.signal);
            }
            if (row.startedIgnored) {
                EXPECT_FALSE(received.wait(200)) << row.what;
            } else {
                ASSERT_TRUE(received.wait(2000)) << row.what;
                // Requests that arrive together are one request.
                EXPECT_FALSE(received.wait(100)) << row.what;
                EXPECT_EQ(received.count(), 1) << row.what;
            }
        }
        EXPECT_EQ(isIgnored(row.signal), row.startedIgnored) << row.what;
        EXPECT_EQ(hasDefaultAction(row.signal), !row.startedIgnored) << row.what;
        std::signal(row.signal, SIG_DFL);
    }
}

} // namespace
} // namespace kelvora
