// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace kelvora {

// SIGTERM (log-out, shutdown, kill), SIGHUP (the terminal closed) and SIGINT
// (Ctrl+C) delivered as a Qt signal in the event loop, never inside a signal
// handler, so that the program ends the way a close does. Until one exists
// they keep their default action and end the process at once: a start that
// hangs before its window is up can always be ended. A signal the program
// was started with ignored stays ignored. At most one at a time; needs the
// application object. Windows has no such signals; there it never emits.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    TerminationSignals();
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

signals:
    void received();

private:
    void onReadable();

    int m_readEnd = -1;
    int m_writeEnd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace kelvora
