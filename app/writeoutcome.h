#pragma once

#include "devicesession.h"

#include <QObject>
#include <QString>

class Data;
class QWidget;
class RecordView;
class TrafficLog;

// What the operator is told once a sequence has ended: device values the
// window cannot show, a write the device did not take as written, a write
// that ended before its read-back. Each box comes after the session's
// handling of the last answer has returned; a write cut short by a lost
// line is told after the loss itself.
class WriteOutcome : public QObject
{
    Q_OBJECT

public:
    WriteOutcome(QWidget *window, const DeviceSession *session, Data *record, RecordView *view, TrafficLog *log);

    void tellKept();
    void verifyWritten(const QString &key);
    void tellHalfDone(DeviceSession::Sequence sequence, bool lineLost);
    // The half-done write the lost line ended, if any.
    void tellAfterLoss();

private:
    void tellLater(const QString &title, const QString &text);

    QWidget *window;
    const DeviceSession *session;
    Data *data;
    RecordView *view;
    TrafficLog *trafficLog;
    QString halfDoneKey;
    QString halfDoneText;
};
