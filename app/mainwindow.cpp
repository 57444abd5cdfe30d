#include "mainwindow.h"

#include "applog.h"
#include "data.h"
#include "exchange.h"
#include "serialdevice.h"
#include "settingsfile.h"
#include "version.h"
#include "w_freezprotection.h"
#include "w_key.h"
#include "w_radio.h"
#include "w_radiocommonleft.h"
#include "w_rs485.h"
#include "w_test.h"

#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSerialPort>
#include <QSpacerItem>

namespace {

const char startupFileName[] = "test_ryd";

QString programTitle()
{
    return QStringLiteral("Рыд Конфигуратор v.%1").arg(QStringLiteral(RYD_VERSION));
}

quint8 fieldNumber(const QByteArray &field)
{
    return quint8(field.toUInt());
}

// Every other sequence takes the exchange's queue from a running radio test.
// The test panel is made idle first: left at "STOP" it would hold the progress
// bar at 0, and its key would later stop the new sequence instead of the test.
void endRadioTest(W_Test *test)
{
    if (test->isTesting())
        test->testKey()->setChecked(false);
}

} // namespace

MainWindow::MainWindow(QWidget *parent, W_ComPort::PortLister availablePorts)
    : QMainWindow(parent)
{
    setWindowTitle(programTitle());

    container = new W_QWidget;
    comPort = new W_ComPort(this, std::move(availablePorts));
    comPort->connectAll();

    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(0);
    grid->setContentsMargins(1, 1, 1, 1);
    grid->setHorizontalSpacing(1);

    key = new W_Key;
    key->connectAll();
    radio = new W_Radio;
    radio->connectAll();
    rs485 = new W_Rs485;
    rs485->connectAll();
    rs485->setContentsMargins(0, 0, 0, 0);
    freezProtection = new W_FreezProtection;
    freezProtection->connectAll();
    test = new W_Test;
    test->connectAll();
    progress = new QProgressBar(this);
    progress->setMaximum(100);

    grid->addWidget(comPort, 0, 0, 1, 4);
    grid->addWidget(key, 1, 0, 1, 4);
    grid->addWidget(radio, 2, 0, 1, 2);
    grid->addWidget(rs485, 2, 2, 1, 2);
    grid->addWidget(freezProtection, 3, 0, 1, 4);
    freezProtection->hide();
    grid->addItem(new QSpacerItem(50, 10, QSizePolicy::Minimum, QSizePolicy::Expanding), 4, 0, 1, 4);
    grid->addWidget(test, 5, 0, 1, 4);
    grid->addWidget(progress, 6, 0, 1, 4);

    setCentralWidget(container);
    container->setLayout(grid);

    data = std::make_unique<Data>();
    exchange = new Exchange(this, data.get());

    connect(comPort, &W_QWidget::sgValueChange, this, &MainWindow::slValueChange);
    connect(comPort, &W_QWidget::sgTextChange, this, &MainWindow::slTextChange);
    connect(key, &W_QWidget::sgValueChange, this, &MainWindow::slValueChange);
    connect(radio, &W_QWidget::sgValueChange, this, &MainWindow::slValueChange);
    connect(rs485, &W_QWidget::sgValueChange, this, &MainWindow::slValueChange);
    connect(freezProtection, &W_QWidget::sgValueChange, this, &MainWindow::slValueChange);
    connect(exchange, &Exchange::sgGetSetting, this, &MainWindow::slSetSettings);
    connect(exchange, &Exchange::sgSetProgres, this, [this](quint8 percent) {
        // A running radio test never finishes, so its progress means nothing.
        progress->setValue(test->isTesting() ? 0 : percent);
    });
    connect(test, &W_Test::sgStartTest, exchange, &Exchange::startTest);
    connect(test, &W_Test::sgStopTest, exchange, &Exchange::clearParsers);
    connect(test, &W_Test::sgClearTest, exchange, &Exchange::clearTest);
    connect(exchange, &Exchange::sgRequest, this, &MainWindow::slRequest);
    connect(exchange, &Exchange::sgOk, this, [this](quint8, TypeParser typeParser, const QByteArray &request) {
        if (typeParser == E_Test)
            test->okRect(request);
    });
    connect(exchange, &Exchange::sgError, this, &MainWindow::slError);
    connect(exchange, &Exchange::sgTimeOut, this, [this](quint8, TypeParser typeParser, const QByteArray &request) {
        if (typeParser == E_Test)
            test->errRect(request);
    });
    connect(exchange, &Exchange::sgPortLost, this, &MainWindow::onPortLost);

    setPanelsEnabled(exchange->isOpen());
    applyData();
    writeStartupFile(data.get(), QString::fromLatin1(startupFileName));
    resize(minimumSize());
}

MainWindow::~MainWindow() = default;

void MainWindow::setPanelsEnabled(bool on)
{
    key->setEnabled(on);
    radio->setEnabled(on);
    rs485->setEnabled(on);
    freezProtection->setEnabled(on);
    test->setEnabled(on);
    progress->setEnabled(on);
}

// The read-back only happens when the write succeeded, so an older file can
// never overwrite the record.
bool MainWindow::writeStartupFile(Data *data, const QString &fileName)
{
    QFile file(fileName);
    const QByteArray bytes = SettingsFile::encodeStartup(*data);
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!written) {
        qCDebug(lcMainWindow) << "cannot write" << fileName << file.errorString();
        return false;
    }
    return file.open(QIODevice::ReadOnly)
        && SettingsFile::decodeStartup(file.read(SettingsFile::settingBytes), *data);
}

void MainWindow::slValueChange(QString name, int val)
{
    qCDebug(lcMainWindow) << "slValueChange" << name << val;
    const quint8 v = quint8(val);

    if (name.startsWith(QLatin1String("pbOpen")))
        connectOpen();
    if (name.startsWith(QLatin1String("Sub-band")))
        data->subBand = v;
    if (name.startsWith(QLatin1String("Radio Data Rate"))) {
        data->radioDataRate = v;
        rs485->setRadioRate(data->radioDataRate);
    }
    if (name.startsWith(QLatin1String("Chanel")))
        data->chanel = v;
    if (name.startsWith(QLatin1String("Serial Timeout")))
        data->serialTimeout = v;
    if (name.startsWith(QLatin1String("Power")))
        data->power = v;
    if (name.startsWith(QLatin1String("Test address")))
        data->testAddress = v;
    if (name.startsWith(QLatin1String("Serial Data Rate"))) {
        data->serialDataRate = v;
        radio->setSerialRate(data->serialDataRate);
        data->serialTimeout = quint8(W_RadioCommonLeft::serialTimeoutFloor(data->serialDataRate));
        radio->setValueByName(QStringLiteral("Serial Timeout"), data->serialTimeout);
    }
    if (name.startsWith(QLatin1String("Delay Tx-Rx")))
        data->delayTxRx = v;
    if (name.startsWith(QLatin1String("Parity")))
        data->parity = v;
    if (name.startsWith(QLatin1String("Radio Transmit Reset")))
        data->radioTransmitReset = v;
    if (name.startsWith(QLatin1String("WDT Reset")))
        data->wdtReset = v;
    if (name.startsWith(QLatin1String("Stop bit")))
        data->stopBit = v;
    if (name.startsWith(QLatin1String("Flow control")))
        data->flowControl = val != 0 ? 0 : 2;
    if (name.startsWith(QLatin1String("WRITE"))) {
        endRadioTest(test);
        exchange->startSave();
    }
    if (name.startsWith(QLatin1String("READ"))) {
        // The read-all is appended to the queue; behind the test's poll,
        // which never leaves it, it would never run.
        endRadioTest(test);
        exchange->GetAllSettings();
    }
    if (name.startsWith(QLatin1String("DEFAULT"))) {
        endRadioTest(test);
        startDefault();
    }
    if (name.startsWith(QLatin1String("Open Settings")))
        openSettings();
    if (name.startsWith(QLatin1String("Save Settings")))
        saveSettings();
    if (name.startsWith(QLatin1String("Freeze Protection")))
        toggleFreezProtection(val);
}

void MainWindow::slTextChange(QString, QString)
{
}

void MainWindow::connectOpen()
{
    endRadioTest(test);
    const QString portName = comPort->textByName(QStringLiteral("PortName"));
    const bool wasOpen = exchange->isOpen();
    exchange->openPort(portName);
    const bool open = exchange->isOpen();
    comPort->setConnected(open);
    setPanelsEnabled(open);
    if (open)
        connectedPort = portName;
    else
        showDisconnected();
    if (!wasOpen && !open) {
        const QSerialPort *port = exchange->serialPort();
        QMessageBox::warning(this, tr("Connect"),
                             SerialDevice(portName).openFailureText(port->error(), port->errorString()));
    }
}

void MainWindow::showDisconnected()
{
    radio->setTextByName(QStringLiteral("FirmWare"), QStringLiteral("x/x"));
    radio->setTextByName(QStringLiteral("Radio module"), QString());
}

// The device vanished under an open port: the exchange has closed the port
// and dropped its queue. The window returns to its disconnected state and
// says so once, instead of a failure prompt for every queued command.
void MainWindow::onPortLost(const QString &reason)
{
    if (failurePrompt)
        failurePrompt->done(QMessageBox::No);
    endRadioTest(test);
    comPort->setConnected(false);
    setPanelsEnabled(false);
    showDisconnected();
    QMessageBox::warning(this, tr("Connection lost"), SerialDevice(connectedPort).connectionLostText(reason));
}

// The key reports its state before the press: 0 when the press shows the
// panel, 1 when it hides it.
void MainWindow::toggleFreezProtection(int val)
{
    const int h = height();
    if (val == 0) {
        setFixedHeight(h + 75);
        freezProtection->setVisible(true);
    } else {
        setFixedHeight(h - 75);
        freezProtection->hide();
    }
}

void MainWindow::slSetSettings(TypeParser type, const QList<QByteArray> &param)
{
    qCDebug(lcMainWindow) << "slSetSettings" << __LINE__ << int(type) << param;

    switch (type) {
    case E_GetRs485: {
        // An empty address field keeps the address the record already has.
        if (!param.at(0).isEmpty())
            data->testAddress = quint8(quint8(param.at(0).at(0)) - 48);
        qCDebug(lcMainWindow) << "slSetSettings" << __LINE__ << data->testAddress << 48
                              << (param.at(0).isEmpty() ? 0 : int(quint8(param.at(0).at(0))));
        data->serialDataRate = fieldNumber(param.at(1));
        data->delayTxRx = fieldNumber(param.at(3));
        data->parity = fieldNumber(param.at(4));
        data->radioTransmitReset = fieldNumber(param.at(5));
        data->wdtReset = fieldNumber(param.at(6));
        data->stopBit = fieldNumber(param.at(7));

        radio->setValueByName(QStringLiteral("Test address"), data->testAddress);
        rs485->setValueByName(QStringLiteral("Serial Data Rate"), data->serialDataRate);
        rs485->setValueByName(QStringLiteral("Delay Tx-Rx"), data->delayTxRx);
        rs485->setValueByName(QStringLiteral("Parity"), data->parity);
        freezProtection->setValueByName(QStringLiteral("Radio Transmit Reset"), data->radioTransmitReset);
        freezProtection->setValueByName(QStringLiteral("WDT Reset"), data->wdtReset);
        rs485->setValueByName(QStringLiteral("Stop bit"), data->stopBit);
        radio->setSerialRate(data->serialDataRate);
        break;
    }
    case E_GetSubBand:
        data->subBand = fieldNumber(param.at(0));
        radio->setValueByName(QStringLiteral("Sub-band"), data->subBand);
        break;
    case E_GetRadioDataRate:
        data->radioDataRate = fieldNumber(param.at(0));
        radio->setValueByName(QStringLiteral("Radio Data Rate"), data->radioDataRate);
        qCDebug(lcMainWindow) << "Radio Data Rate" << data->radioDataRate;
        rs485->setRadioRate(data->radioDataRate);
        showChannelListFor(data->radioDataRate);
        break;
    case E_GetChanel:
        data->chanel = fieldNumber(param.at(0));
        radio->setValueByName(QStringLiteral("Chanel"), data->chanel);
        break;
    case E_GetPower:
        data->power = fieldNumber(param.at(0));
        radio->setValueByName(QStringLiteral("Power"), data->power);
        break;
    case E_GetSerialTimeout:
        data->serialTimeout = fieldNumber(param.at(0));
        radio->setValueByName(QStringLiteral("Serial Timeout"), data->serialTimeout);
        qCDebug(lcMainWindow) << "!!!!!!!!!!!!!" << "slSetSettings" << __LINE__ << data->serialTimeout;
        break;
    case E_GetFlowControl:
        data->flowControl = fieldNumber(param.at(0)) == 0 ? 0 : 2;
        radio->setValueByName(QStringLiteral("Flow control"), data->flowControl == 0 ? 1 : 0);
        break;
    case E_GetVersion: {
        const QString firmware = QString::fromUtf8(param.at(0).constData());
        const QString hardware = QString::fromUtf8(param.at(1).constData());
        // One multi-argument substitution, so a '%' in the device's texts is
        // never taken for a placeholder.
        setWindowTitle(QStringLiteral("Рыд Конфигуратор v.%1   Hardware: %2 Firmware: v.%3")
                           .arg(QStringLiteral(RYD_VERSION), hardware, firmware));
        radio->setTextByName(QStringLiteral("Radio module"), QStringLiteral("LE50-868"));
        break;
    }
    case E_GetModuleVersion: {
        const QString firmware = QString::fromUtf8(param.at(0).constData());
        radio->setTextByName(QStringLiteral("FirmWare"), firmware);
        qCDebug(lcMainWindow) << firmware;
        break;
    }
    default:
        break;
    }
}

void MainWindow::applyData()
{
    radio->setValueByName(QStringLiteral("Sub-band"), data->subBand);
    radio->setValueByName(QStringLiteral("Radio Data Rate"), data->radioDataRate);
    showChannelListFor(data->radioDataRate);
    radio->setValueByName(QStringLiteral("Serial Timeout"), data->serialTimeout);
    radio->setValueByName(QStringLiteral("Power"), data->power);
    radio->setValueByName(QStringLiteral("Test address"), data->testAddress);
    rs485->setValueByName(QStringLiteral("Serial Data Rate"), data->serialDataRate);
    rs485->setValueByName(QStringLiteral("Delay Tx-Rx"), data->delayTxRx);
    rs485->setValueByName(QStringLiteral("Parity"), data->parity);
    rs485->setValueByName(QStringLiteral("Stop bit"), data->stopBit);
    radio->setValueByName(QStringLiteral("Flow control"), data->flowControl == 0 ? 1 : 0);
    freezProtection->setValueByName(QStringLiteral("Radio Transmit Reset"), data->radioTransmitReset);
    freezProtection->setValueByName(QStringLiteral("WDT Reset"), data->wdtReset);
}

// Rebuilds the channel list for a radio data rate. The rebuild selects and
// reports the first channel, so the record's channel is shown again after it.
// A device answer needs this too: without it the channel read next would be
// chosen from the list of another rate, and one past its end stored as 255.
void MainWindow::showChannelListFor(quint8 radioDataRate)
{
    const quint8 chanel = data->chanel;
    radio->setSpeed(radioDataRate);
    radio->setValueByName(QStringLiteral("Chanel"), chanel);
}

void MainWindow::startDefault()
{
    data->subBand = 2;
    data->radioDataRate = 2;
    data->chanel = 0;
    data->power = 7;
    data->testAddress = 0;
    qCDebug(lcMainWindow) << "!!!!!!!!!!!!!!!!!!!!" << "startDefault" << __LINE__ << 0;
    // Lower the serial timeout's minimum first so that the default of 2 shows.
    radio->setSerialRate(5);
    data->serialTimeout = 2;
    data->delayTxRx = 0;
    data->parity = 0;
    data->radioTransmitReset = 50;
    data->stopBit = 0;
    data->flowControl = 2;
    data->wdtReset = 6;
    applyData();
    exchange->startDefaultWrite();
}

void MainWindow::saveSettings()
{
    const QString fileName = QFileDialog::getSaveFileName(this, tr("Save Settings"), QString(),
                                                          tr("Ryd Files (*.ryd)"));
    if (fileName.isEmpty())
        return;
    saveSettingsTo(fileName);
}

void MainWindow::openSettings()
{
    const QString fileName = QFileDialog::getOpenFileName(this, tr("Open Settings"), QString(),
                                                          tr("Ryd Files (*.ryd)"));
    if (fileName.isEmpty())
        return;
    loadSettingsFrom(fileName);
}

// The file is written beside its destination and renamed over it only when
// complete, so a failed save never leaves a truncated file in place of a good
// one.
bool MainWindow::saveSettingsTo(const QString &fileName)
{
    QSaveFile file(fileName);
    const QByteArray bytes = SettingsFile::encode(*data);
    const bool saved = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!saved) {
        QMessageBox::warning(this, tr("Save Settings"),
                             tr("The settings could not be saved to \"%1\": %2")
                                 .arg(fileName, file.errorString()));
    }
    return saved;
}

// A file that cannot be read, or that is too short to hold the twelve setting
// bytes, is refused and the record stays as it was. Longer files load field by
// field; whatever they lack after the twelve bytes reads as zero or empty.
bool MainWindow::loadSettingsFrom(const QString &fileName)
{
    // A settings file is a few dozen bytes; a huge file chosen by mistake is
    // not read whole.
    constexpr qint64 readLimit = 1 << 20;
    QFile file(fileName);
    QString problem;
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
    } else {
        const QByteArray bytes = file.read(readLimit);
        if (file.error() != QFileDevice::NoError)
            problem = file.errorString();
        else
            SettingsFile::decode(bytes, *data, &problem);
    }
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, tr("Open Settings"),
                             tr("The settings could not be loaded from \"%1\": %2")
                                 .arg(fileName, problem));
        return false;
    }
    rs485->setRadioRate(data->radioDataRate);
    applyData();
    return true;
}

void MainWindow::slRequest(quint8 countParsers, TypeParser typeParser, const QByteArray &request)
{
    qCDebug(lcMainWindow) << "slRequest" << __LINE__ << countParsers;
    if (typeParser != E_Test)
        return;
    qCDebug(lcMainWindow) << "slRequest" << __LINE__;
    test->addRequest(request);
}

void MainWindow::slError(const QByteArray &request)
{
    QMessageBox box;
    failurePrompt = &box;
    box.setText(QStringLiteral("Ошибка выполнения команды. Продолжить?"));
    box.setWindowTitle(QString::fromLocal8Bit(request.constData()));
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    // Escape and the window's close control count as No.
    box.setEscapeButton(QMessageBox::No);
    if (box.exec() == QMessageBox::No)
        exchange->clearParsers();
}
