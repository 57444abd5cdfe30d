#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>

class QMessageBox;
class QWidget;
class TrafficLog;

// The question put when the device did not answer a request of a sequence:
// go on with the rest of it, or stop there. Each answer goes to the traffic
// log.
class FailurePrompt : public QObject
{
    Q_OBJECT

public:
    FailurePrompt(QWidget *parent, TrafficLog *log);

    // Asks about `request` in a modal box; true when the operator goes on.
    bool ask(const QByteArray &request);
    // Answers every prompt still open with "No": a late answer's
    // transaction may time out while an earlier prompt is still open.
    void closeAll();

private:
    QWidget *window;
    TrafficLog *trafficLog;
    QList<QPointer<QMessageBox>> open;
};
