#include "stopsignals.h"

#ifdef Q_OS_WIN
#include <QMetaObject>
#include <QPointer>

#include <windows.h>

namespace {

// The console calls the handler on a thread of its own; the stop reaches the
// event loop as a queued call.
QPointer<StopSignals> watcher;

BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (watcher)
        QMetaObject::invokeMethod(watcher.data(), &StopSignals::sgStop, Qt::QueuedConnection);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        // Windows ends the process as soon as this returns: wait here while
        // the event loop closes the ports and writes the record; the program
        // ends the process when it is done (Windows allows some seconds).
        ::Sleep(10000);
    }
    return TRUE;
}

} // namespace

// Ctrl-C, Ctrl-Break and the console window closing stop the program as
// SIGINT and SIGTERM do elsewhere.
StopSignals::StopSignals(QObject *parent)
    : QObject(parent)
{
}

StopSignals::~StopSignals()
{
    if (watcher == this) {
        ::SetConsoleCtrlHandler(onConsoleEvent, FALSE);
        watcher = nullptr;
    }
}

bool StopSignals::watch()
{
    if (watcher == this)
        return true;
    watcher = this;
    return ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

#else
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// One process, one pair: the handler cannot reach an object.
int signalPair[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPair[0], &byte, 1);
}

} // namespace

StopSignals::StopSignals(QObject *parent)
    : QObject(parent)
{
}

StopSignals::~StopSignals()
{
    if (!notifier)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::close(signalPair[0]);
    ::close(signalPair[1]);
    signalPair[0] = signalPair[1] = -1;
}

bool StopSignals::watch()
{
    if (notifier)
        return true;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPair) != 0)
        return false;
    notifier = new QSocketNotifier(signalPair[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &StopSignals::onActivated);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGINT, &action, nullptr) == 0 && ::sigaction(SIGTERM, &action, nullptr) == 0;
}

void StopSignals::onActivated()
{
    char byte;
    [[maybe_unused]] const ssize_t n = ::read(signalPair[1], &byte, 1);
    emit sgStop();
}
#endif
