#pragma once

#include "parserparam.h"
#include "w_comport.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QString>

#include <memory>

class Data;
class Exchange;
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

// The program's one window: owner of the settings record, the device exchange
// and every panel. Panel changes arrive as (name, value) pairs in
// slValueChange; device answers in slSetSettings.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Where a setting is shown.
    enum class Panel { Radio, Rs485, FreezProtection };
    // How a setting's record value travels to its control and from the
    // device's answer.
    enum class Encoding {
        Number,      // the control's value is the record's; an answer field is a decimal number
        Address,     // as Number, but an answer field is the address character
        FlowControl, // record 0 (hardware) is entry 1 "HardWare", anything else entry 0 "None"
    };
    // One setting of the record: its name on the panels, its record field,
    // the panel that shows it, and the answer that reads it from the device.
    struct Setting
    {
        QString name;
        quint8 Data::*field;
        Panel panel;
        Encoding encoding;
        TypeParser readBy;
        int answerField;
        // Held by a list or a set of buttons: a value the control does not
        // offer cannot be shown at all. The others are spin boxes or the
        // dial, which bring a value into their range.
        bool listed;
    };
    // Every setting, in the order the window shows a whole record.
    static const QList<Setting> &settings();
    static const Setting &settingOf(quint8 Data::*field);
    // The control value that shows a record value, and the record value a
    // control value stands for.
    static int shownValue(const Setting &setting, quint8 recordValue);
    static quint8 recordValue(const Setting &setting, int shownValue);

    explicit MainWindow(QWidget *parent = nullptr, W_ComPort::PortLister availablePorts = {});
    ~MainWindow() override;

    void setPanelsEnabled(bool on);

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
    // bytes back into the record, only when the write succeeded.
    static bool writeStartupFile(Data *data, const QString &fileName);

public slots:
    void slValueChange(QString name, int val);
    void slTextChange(QString name, QString val);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void orderTabChain();
    void connectOpen();
    void showDisconnected();
    void onPortLost(const QString &reason);
    void showChannelListFor(quint8 radioDataRate);
    void showRecord();
    void adoptShownValues();
    void settleDeviceAnswers();
    QString refusedField(const Data &loaded) const;
    void setFreezProtectionShown(bool on);
    void fitAddressRows();
    W_QWidget *panelOf(const Setting &setting) const;
    quint8 &fieldOf(const Setting &setting);
    void showSetting(const Setting &setting);

    W_Key *key;
    std::unique_ptr<Data> data;
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
    // What the device reported during the running sequence, by setting name;
    // judged when the sequence ends.
    QMap<QString, quint8> reported;
    // The port as the operator chose it, for the message when it is lost.
    QString connectedPort;
    // The window's place and size before the freeze-protection panel opened,
    // given back when it closes; null when the window was maximized.
    QRect freezProtectionReturn;
    bool rowsFitted = false;
    // The window manager's frame has been seen.
    bool framed = false;
};
