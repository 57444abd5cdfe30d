#pragma once

#include "devicesession.h"
#include "typeparser.h"
#include "w_comport.h"

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QString>

#include <memory>

class Data;
class EditMarks;
class FailurePrompt;
class QProgressBar;
class RecordView;
class TrafficLog;
class TrafficLogWindow;
class W_FreezProtection;
class W_Key;
class W_Radio;
class W_Rs485;
class W_Test;
class WindowFit;
class WriteOutcome;

// The program's one window: owner of the settings record, the device session
// and every panel. The panels' reports arrive as (name, value) pairs in
// slValueChange: an operator's edit of a setting goes to the record, which
// keeps its own rules, and the panels show what it then holds; a key starts
// what it names. Device answers, applied to the record by the session, are
// shown as they come.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr, W_ComPort::PortLister availablePorts = {});
    ~MainWindow() override;

    void setPanelsEnabled(bool on);

    // Applies a device answer to the record, as the session does with the
    // device's own answers, and shows it.
    void slSetSettings(TypeParser type, const QList<QByteArray> &param);
    // Marks a radio-test poll sent on its address row.
    void slRequest(quint8 countParsers, TypeParser typeParser, const QByteArray &request);
    // Asks whether the sequence goes on after `request` got no answer.
    void slError(const QByteArray &request);

    // Brings the record to what its rules allow and shows all of it.
    void applyData();
    void startDefault();
    void saveSettings();
    void openSettings();
    // Shows the traffic log's window, made on first use.
    void showTrafficLog();
    // The file parts of saveSettings and openSettings, without the dialogs.
    // Both tell the operator when the file cannot be used and return false.
    bool saveSettingsTo(const QString &fileName);
    bool loadSettingsFrom(const QString &fileName);
    void keepInsideAvailableArea();

    Data *record() const { return data.get(); }
    W_ComPort *portPanel() const { return comPort; }

public slots:
    void slValueChange(QString name, int val);
    void slTextChange(QString name, QString val);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void connectOpen();
    void showDisconnected();
    void onPortLost(const QString &reason);
    void showAnswer(TypeParser type);
    void onSequenceEnded(DeviceSession::Sequence sequence, DeviceSession::SequenceEnd end);
    void offerOfflineSettings();
    void endRadioTest();

    std::unique_ptr<Data> data;
    DeviceSession *session;
    W_ComPort *comPort;
    W_Key *key;
    W_Radio *radio;
    W_Rs485 *rs485;
    W_FreezProtection *freezProtection;
    W_Test *test;
    QProgressBar *progress;
    RecordView *view;
    WindowFit *fit;
    // Records from the start, whether or not its window is open.
    TrafficLog *trafficLog;
    TrafficLogWindow *trafficLogWindow = nullptr;
    FailurePrompt *failurePrompt;
    EditMarks *marks;
    WriteOutcome *outcome;
    // The port as the operator chose it, for the message when it is lost.
    QString connectedPort;
    // The settings of a file opened while disconnected, from "Connect" until
    // its read-all has ended, and the file; offered once the device has been
    // read.
    std::unique_ptr<Data> offline;
    QString offlineFile;
    bool editedOffline = false;
};
