#include "platform/terminationsignal.h"

#include <QMetaMethod>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace lirena {

namespace {

// The handler may only do what is safe inside a signal handler: it writes one
// byte into a socket pair whose other end the event loop watches.
int gSocket[2] = {-1, -1};

void onSignal(int signal)
{
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(gSocket[0], &byte, 1);
}

const int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

} // namespace

TerminationSignal::TerminationSignal(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, gSocket) != 0)
        return;
    mNotifier = new QSocketNotifier(gSocket[1], QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, &TerminationSignal::readPending);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

TerminationSignal::~TerminationSignal()
{
    if (!mNotifier)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
    ::close(gSocket[0]);
    ::close(gSocket[1]);
    gSocket[0] = gSocket[1] = -1;
}

void TerminationSignal::readPending()
{
    char byte = 0;
    if (::read(gSocket[1], &byte, 1) != 1)
        return;
    if (isSignalConnected(QMetaMethod::fromSignal(&TerminationSignal::requested))) {
        emit requested();
        return;
    }
    // Nobody is there to close (the window is not built yet, or a message
    // before it waits): the signal does what it does by default.
    const int signal = byte;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    ::sigaction(signal, &action, nullptr);
    ::raise(signal);
}

} // namespace lirena
