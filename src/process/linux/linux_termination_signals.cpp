// SPDX-License-Identifier: MIT
#include "process/termination_signals.h"

#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace kelvora {

namespace {

constexpr std::array<int, 3> kTerminationSignals{SIGTERM, SIGHUP, SIGINT};

// A signal handler reaches nothing but static storage, and it may run in any
// of Qt's threads: the writing end of the one pipe the event loop watches.
std::atomic<int> requestPipe{-1};

void onTerminationSignal(int) {
    const int savedErrno = errno;
    const char request = 1;
    const int pipe = requestPipe.load();
    if (pipe >= 0) {
        // A full pipe already holds a request.
        [[maybe_unused]] const ssize_t written = ::write(pipe, &request, 1);
    }
    errno = savedErrno;
}

// The signals whose action this process may take over: not those it was
// started with ignored (nohup, a background job), which it keeps ignoring.
bool startedIgnored(int signal) {
    struct sigaction current {};
    return sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

void setAction(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kTerminationSignals) {
        if (!startedIgnored(signal)) {
            sigaction(signal, &action, nullptr);
        }
    }
}

} // namespace

TerminationSignals::TerminationSignals() {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    m_readEnd = ends[0];
    m_writeEnd = ends[1];
    requestPipe.store(m_writeEnd);
    m_notifier = std::make_unique<QSocketNotifier>(m_readEnd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &TerminationSignals::onReadable);
    setAction(onTerminationSignal);
}

TerminationSignals::~TerminationSignals() {
    if (m_readEnd < 0) {
        return;
    }
    setAction(SIG_DFL);
    requestPipe.store(-1);
    m_notifier.reset();
    ::close(m_readEnd);
    ::close(m_writeEnd);
}

void TerminationSignals::onReadable() {
    std::array<char, 64> requests{};
    bool any = false;
    while (::read(m_readEnd, requests.data(), requests.size()) > 0) {
        any = true;
    }
    if (any) {
        emit received();
    }
}

} // namespace kelvora
