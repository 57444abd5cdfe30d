#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT and SIGTERM as a signal of the event loop. The handler only writes a
// byte into a socket pair; the notifier on its other end reports the stop
// once the loop gets to it, where closing ports is safe. On Windows the same
// for Ctrl-C, Ctrl-Break and the console window closing.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

    // False when the socket pair or the handlers cannot be set up.
    bool watch();

signals:
    void sgStop();

#ifndef Q_OS_WIN
private:
    void onActivated();

    QSocketNotifier *notifier = nullptr;
#endif
};
