#pragma once

#include <QObject>

class QSocketNotifier;

namespace lirena {

// The system's request to end the program (SIGTERM at shutdown or from kill,
// SIGHUP when the session goes, SIGINT from a terminal), delivered as a Qt
// signal on the thread that made this object, so the program can close the
// way it always does instead of dying mid-write. One per process.
class TerminationSignal : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignal(QObject *parent = nullptr);
    ~TerminationSignal() override;

signals:
    // Emitted once per request, from the event loop. While nothing is
    // connected to it, a request ends the program as the signal would.
    void requested();

private:
    void readPending();

    QSocketNotifier *mNotifier = nullptr;
};

} // namespace lirena
