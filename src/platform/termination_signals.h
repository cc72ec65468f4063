#pragma once

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace kelvora {

// Keeps SIGTERM (log-out, shutdown, kill), SIGHUP (the terminal closed) and
// SIGINT (Ctrl+C) from ending the process on their own, in this thread and
// every thread started after it: call it first thing in main, before Qt
// starts any thread, and then let TerminationSignals deliver them.
void blockTerminationSignals();

// The blocked requests to end, delivered as a Qt signal in the event loop and
// never inside a signal handler, so the program ends the way a close does.
// Needs the application object. Windows has no such signals; there it never
// emits.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    TerminationSignals();
    ~TerminationSignals() override;

signals:
    void received();

private:
    void onReadable();

    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace kelvora
