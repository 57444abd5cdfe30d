#pragma once

#include "parserparam.h"
#include "w_comport.h"

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <memory>

class Data;
class Exchange;
class QMessageBox;
class QProgressBar;
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
    // The file parts of saveSettings and openSettings, without the dialogs.
    // Both tell the operator when the file cannot be used and return false.
    bool saveSettingsTo(const QString &fileName);
    bool loadSettingsFrom(const QString &fileName);

    Data *record() const { return data.get(); }
    W_ComPort *portPanel() const { return comPort; }

    // Writes the record to the start-up file and reads its twelve setting
    // bytes back into the record, only when the write succeeded.
    static bool writeStartupFile(Data *data, const QString &fileName);

public slots:
    void slValueChange(QString name, int val);
    void slTextChange(QString name, QString val);

private:
    void connectOpen();
    void showDisconnected();
    void onPortLost(const QString &reason);
    void showChannelListFor(quint8 radioDataRate);
    void toggleFreezProtection(int val);

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
    QPointer<QMessageBox> failurePrompt;
    // The port as the operator chose it, for the message when it is lost.
    QString connectedPort;
};
