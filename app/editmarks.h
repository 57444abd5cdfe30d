#pragma once

#include <QMap>
#include <QObject>
#include <QString>

class Data;
class DeviceSession;
class QWidget;
class RecordView;

// The marks on the controls whose values the device does not hold as shown,
// and the question before such edits are dropped. The marks stay shown after
// the device was lost, until the operator lets them go.
class EditMarks : public QObject
{
    Q_OBJECT

public:
    EditMarks(QWidget *window, const DeviceSession *session, const Data *record, RecordView *view);

    void show();
    // True when there are no such edits, or the operator lets them go.
    bool mayDiscard(const QString &title);
    // The device was lost: what it did not hold stays marked.
    void keepAfterLoss();
    void clearLost() { lostMarks.clear(); }

private:
    QWidget *window;
    const DeviceSession *session;
    const Data *data;
    RecordView *view;
    // The marks as last shown while connected, and those kept shown after
    // the device was lost.
    QMap<QString, QString> changedMarks;
    QMap<QString, QString> lostMarks;
};
