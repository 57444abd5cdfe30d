#pragma once

#include "devicesession.h"
#include "exchange.h"
#include "parserparam.h"
#include "settingstable.h"
#include "w_comport.h"

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>

class Data;
class QMessageBox;
class QProgressBar;
class TrafficLog;
class TrafficLogWindow;
class W_FreezProtection;
class W_Key;
class W_QWidget;
class W_Radio;
class W_Rs485;
class W_Test;

// The program's one window: owner of the settings record, the device session
// and every panel. Panel changes arrive as (name, value) pairs in
// slValueChange; device answers, applied to the record by the session, are
// shown by showAnswer. Showing is one-way: what the controls report while the
// window shows the record writes nothing back, and takeWhatControlsShow is the
// one step that takes a value a control's own rule changed.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The settings as the window shows them: the table below the window.
    using Setting = SettingsTable::Setting;
    using Panel = SettingsTable::Panel;
    using Encoding = SettingsTable::Encoding;
    static const QList<Setting> &settings() { return SettingsTable::settings(); }
    static const Setting &settingOf(quint8 Data::*field) { return SettingsTable::settingOf(field); }
    static int shownValue(const Setting &setting, quint8 recordValue)
    {
        return SettingsTable::shownValue(setting, recordValue);
    }
    static quint8 recordValue(const Setting &setting, int shownValue)
    {
        return SettingsTable::recordValue(setting, shownValue);
    }

    explicit MainWindow(QWidget *parent = nullptr, W_ComPort::PortLister availablePorts = {});
    ~MainWindow() override;

    void setPanelsEnabled(bool on);

    // Applies a device answer to the record, as the session does with the
    // device's own answers, and shows it.
    void slSetSettings(TypeParser type, const QList<QByteArray> &param);
    void slRequest(quint8 countParsers, TypeParser typeParser, const QByteArray &request);
    void slError(const QByteArray &request);

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

    // Moves the window up and left as far as needed for its frame to lie in
    // the available area of its screen, and makes it no taller than that
    // area, as far as its minimum size allows. A window too big for the area
    // keeps its title bar inside it.
    void keepInsideAvailableArea();

    Data *record() const { return data.get(); }
    W_ComPort *portPanel() const { return comPort; }

    // Writes the record to the start-up file and reads its twelve setting
    // bytes back into the record, only when the write succeeded and they
    // hold values the device takes.
    static bool writeStartupFile(Data *data, const QString &fileName);

public slots:
    void slValueChange(QString name, int val);
    void slTextChange(QString name, QString val);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void orderTabChain();
    void connectOpen();
    void showDisconnected();
    void onPortLost(const QString &reason);
    void showAnswer(TypeParser type, const QList<QByteArray> &param);
    void showRecord();
    QList<const Setting *> takeWhatControlsShow(const std::function<bool(const Setting &)> &keep = {});
    void judgeDeviceAnswers();
    void onSequenceEnded(DeviceSession::Sequence sequence, Exchange::SequenceEnd end);
    void verifyWritten(const QString &key);
    void offerOfflineSettings();
    void showMarks();
    bool mayDiscardEdits(const QString &title);
    void tellHalfDone(DeviceSession::Sequence sequence, bool lineLost);
    void setFreezProtectionShown(bool on);
    void fitAddressRows();
    W_QWidget *panelOf(const Setting &setting) const;
    quint8 &fieldOf(const Setting &setting);
    void showSetting(const Setting &setting);

    W_Key *key;
    std::unique_ptr<Data> data;
    DeviceSession *session;
    // The session's exchange, whose progress and radio-test reports the
    // window shows.
    Exchange *exchange;
    W_QWidget *container;
    W_ComPort *comPort;
    W_Radio *radio;
    W_Rs485 *rs485;
    W_FreezProtection *freezProtection;
    W_Test *test;
    QProgressBar *progress;
    // Records from the start, whether or not its window is open.
    TrafficLog *trafficLog;
    TrafficLogWindow *trafficLogWindow = nullptr;
    // The failure prompts open now; a late answer's transaction may time out
    // while an earlier prompt is still open.
    QList<QPointer<QMessageBox>> failurePrompts;
    // The port as the operator chose it, for the message when it is lost.
    QString connectedPort;
    // The window's place and size before the freeze-protection panel opened,
    // given back when it closes; null when the window was maximized.
    QRect freezProtectionReturn;
    // What "WRITE" or "DEFAULT" wrote, until the read-back has been compared
    // with it.
    std::unique_ptr<Data> written;
    // The settings of a file opened while disconnected, from "Connect" until
    // its read-all has ended, and the file; offered once the device has been
    // read.
    std::unique_ptr<Data> offline;
    QString offlineFile;
    bool editedOffline = false;
    // The marks of settings the device does not hold, as last shown while
    // connected, and kept shown after the device was lost.
    QMap<QString, QString> changedMarks;
    QMap<QString, QString> lostMarks;
    // The box of a write the lost line ended half way, told after the loss.
    QString halfDoneKey;
    QString halfDoneText;
    // Set while the window shows the record in the controls: their reports
    // then write nothing back.
    bool showing = false;
    bool rowsFitted = false;
    // The window manager's frame has been seen.
    bool framed = false;
};
