#include "mainwindow.h"

#include "applog.h"
#include "data.h"
#include "devicerules.h"
#include "editmarks.h"
#include "failureprompt.h"
#include "keyboardorder.h"
#include "recordrules.h"
#include "recordvalidator.h"
#include "recordview.h"
#include "savedfile.h"
#include "serialportname.h"
#include "settingsfile.h"
#include "startupfile.h"
#include "trafficlog.h"
#include "trafficlogwindow.h"
#include "version.h"
#include "w_freezprotection.h"
#include "w_key.h"
#include "w_radio.h"
#include "w_rs485.h"
#include "w_test.h"
#include "windowfit.h"
#include "writeoutcome.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QSpacerItem>

namespace {

const char startupFileName[] = "test_ryd";

QString programTitle()
{
    return QStringLiteral("Рыд Конфигуратор v.%1").arg(QStringLiteral(RYD_VERSION));
}

using Setting = SettingsTable::Setting;

} // namespace

MainWindow::MainWindow(QWidget *parent, W_ComPort::PortLister availablePorts)
    : QMainWindow(parent)
    , data(std::make_unique<Data>())
    , session(new DeviceSession(this, data.get()))
{
    setWindowTitle(programTitle());

    auto *container = new W_QWidget;
    comPort = new W_ComPort(this, std::move(availablePorts));
    key = new W_Key;
    radio = new W_Radio;
    rs485 = new W_Rs485;
    rs485->setContentsMargins(0, 0, 0, 0);
    freezProtection = new W_FreezProtection;
    test = new W_Test;
    for (W_QWidget *panel : std::initializer_list<W_QWidget *>{comPort, key, radio, rs485, freezProtection, test})
        panel->connectAll();
    progress = new QProgressBar(this);
    progress->setMaximum(100);
    progress->setToolTip(tr("Progress of reading or writing the device's settings."));

    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(0);
    grid->setContentsMargins(1, 1, 1, 1);
    grid->setHorizontalSpacing(1);
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

    view = new RecordView(this, data.get(), radio, rs485, freezProtection);
    fit = new WindowFit(this, test, freezProtection);
    trafficLog = new TrafficLog(this);
    session->logTraffic(trafficLog);
    failurePrompt = new FailurePrompt(this, trafficLog);
    marks = new EditMarks(this, session, data.get(), view);
    outcome = new WriteOutcome(this, session, data.get(), view, trafficLog);

    connect(comPort, &W_QWidget::sgValueChange, this, &MainWindow::slValueChange);
    connect(comPort, &W_QWidget::sgTextChange, this, &MainWindow::slTextChange);
    connect(key, &W_QWidget::sgValueChange, this, &MainWindow::slValueChange);
    connect(radio, &W_QWidget::sgValueChange, this, &MainWindow::slValueChange);
    connect(rs485, &W_QWidget::sgValueChange, this, &MainWindow::slValueChange);
    connect(freezProtection, &W_QWidget::sgValueChange, this, &MainWindow::slValueChange);
    connect(session, &DeviceSession::sgAnswerApplied, this, [this](TypeParser type) { showAnswer(type); });
    connect(session, &DeviceSession::sgProgress, this, [this](quint8 percent) {
        // A running radio test never finishes, so its progress means nothing.
        progress->setValue(test->isTesting() ? 0 : percent);
    });
    connect(session, &DeviceSession::sgSequenceEnded, this,
            [this](DeviceSession::Sequence sequence, DeviceSession::SequenceEnd end) {
                onSequenceEnded(sequence, end);
            });
    connect(test, &W_Test::sgStartTest, session, &DeviceSession::startRadioTest);
    connect(test, &W_Test::sgStopTest, session, &DeviceSession::stopRadioTest);
    connect(test, &W_Test::sgClearTest, session, &DeviceSession::clearRadioTest);
    connect(session, &DeviceSession::sgRequest, this, &MainWindow::slRequest);
    connect(session, &DeviceSession::sgPollJudged, this, [this](quint8 address, bool answered, int roundTripMs) {
        const QByteArray poll = DeviceRules::pollRequest(address);
        if (answered && roundTripMs >= 0)
            test->roundTrip(poll, roundTripMs);
        if (answered)
            test->okRect(poll);
        else
            test->errRect(poll);
    });
    connect(session, &DeviceSession::sgError, this, &MainWindow::slError);
    connect(session, &DeviceSession::sgPortLost, this, &MainWindow::onPortLost);
    connect(comPort->findChild<QPushButton *>(QStringLiteral("Traffic Log")), &QPushButton::clicked, this,
            &MainWindow::showTrafficLog);
    // The panel follows the key's own state, which only a completed click
    // changes; a press dragged off the key changes nothing.
    connect(key->findChild<QPushButton *>(QStringLiteral("Freeze Protection")), &QPushButton::toggled, fit,
            &WindowFit::setFreezProtectionShown);

    new KeyboardOrder(container);
    setPanelsEnabled(session->isOpen());
    applyData();
    StartupFile::write(*data, QString::fromLatin1(startupFileName));
    resize(minimumSize());
}

MainWindow::~MainWindow() = default;

void MainWindow::setPanelsEnabled(bool on)
{
    key->setEnabled(on);
    radio->setEnabled(on);
    rs485->setEnabled(on);
    freezProtection->setEnabled(on);
    // The counts of a test stay readable and can be saved after the port
    // has closed.
    test->setDeviceOpen(on);
    progress->setEnabled(on);
}

// Every other sequence takes the exchange's queue from a running radio test.
// The test panel is made idle first: left at "STOP" it would hold the progress
// bar at 0, and its key would later stop the new sequence instead of the test.
void MainWindow::endRadioTest()
{
    if (test->isTesting())
        test->stop();
    // "STOP" lets the poll under way have its second; another sequence
    // takes the queue at once.
    if (session->isTesting())
        session->abandon();
}

void MainWindow::slValueChange(QString name, int val)
{
    qCDebug(lcMainWindow) << "slValueChange" << name << val;
    if (name.startsWith(QLatin1String("pbOpen")))
        connectOpen();
    if (const Setting *setting = RecordView::settingReported(name))
        view->show(RecordRules::edit(*data, *setting, SettingsTable::recordValue(*setting, val)));
    if (name.startsWith(QLatin1String("WRITE"))) {
        endRadioTest();
        session->write();
    }
    if (name.startsWith(QLatin1String("READ")) && marks->mayDiscard(QStringLiteral("READ"))) {
        // The read-all is appended to the queue; behind the test's poll,
        // which never leaves it, it would never run.
        endRadioTest();
        session->readAll();
    }
    if (name.startsWith(QLatin1String("DEFAULT"))) {
        // The factory settings replace the device's address, channel and
        // rates: a slip here can cut a remote site off, so it is asked first.
        const auto answer = QMessageBox::question(
            this, tr("Restore factory settings"),
            tr("All settings of the device, its address, channel and rates included, will be replaced "
               "by the factory settings.\nRestore the factory settings?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer == QMessageBox::Yes) {
            endRadioTest();
            startDefault();
        }
    }
    if (name.startsWith(QLatin1String("Open Settings")))
        openSettings();
    if (name.startsWith(QLatin1String("Save Settings")))
        saveSettings();
    // "Freeze Protection" is followed through the key's toggled signal.
    marks->show();
}

void MainWindow::slTextChange(QString, QString)
{
}

void MainWindow::connectOpen()
{
    const QString portName = comPort->textByName(QStringLiteral("PortName")).trimmed();
    // An empty name would open the folder /dev/.
    if (portName.isEmpty() && !session->isOpen())
        return;
    if (session->isOpen() && !marks->mayDiscard(tr("Disconnect")))
        return;
    endRadioTest();
    const bool wasOpen = session->isOpen();
    marks->clearLost();
    offline.reset();
    if (wasOpen) {
        session->closePort();
    } else {
        // Offered again once the device's own settings have been read.
        if (editedOffline) {
            offline = std::make_unique<Data>();
            RecordRules::copySettings(*data, *offline);
        }
        session->connectDevice(portName);
    }
    const bool open = session->isOpen();
    comPort->setConnected(open);
    setPanelsEnabled(open);
    if (open) {
        connectedPort = portName;
        test->setPortName(portName);
    } else {
        showDisconnected();
    }
    if (!wasOpen && !open) {
        trafficLog->addLine(TrafficLog::Event,
                            QStringLiteral("connect failed %1: %2").arg(portName, session->portErrorString()));
        QMessageBox::warning(this, tr("Connect"), session->openFailureText(portName));
    }
    marks->show();
}

void MainWindow::showDisconnected()
{
    setWindowTitle(programTitle());
    view->showVersion(QString(), QString());
}

// The device vanished under an open port: the session has closed the port
// and dropped its queue. The window returns to its disconnected state and
// says so once, instead of a failure prompt for every queued command.
void MainWindow::onPortLost(const QString &reason)
{
    failurePrompt->closeAll();
    endRadioTest();
    comPort->setPortLost();
    setPanelsEnabled(false);
    showDisconnected();
    offline.reset();
    // The edits the device did not have stay marked, and are asked about.
    marks->keepAfterLoss();
    marks->show();
    QMessageBox::warning(this, tr("Connection lost"), SerialPortName(connectedPort).connectionLostText(reason));
    outcome->tellAfterLoss();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    fit->shown(event->spontaneous());
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    fit->moved();
}

void MainWindow::keepInsideAvailableArea()
{
    fit->keepInsideAvailableArea();
}

void MainWindow::slSetSettings(TypeParser type, const QList<QByteArray> &param)
{
    // The debug log's entry line of every answer, with its source line.
    qCDebug(lcMainWindow) << "slSetSettings" << __LINE__ << int(type) << param;
    session->applyAnswer(type, param);
}

// The session has put every field of the answer into the record.
void MainWindow::showAnswer(TypeParser type)
{
    view->showAnswer(type);
    if (type == E_GetRadioDataRate)
        qCDebug(lcMainWindow) << "Radio Data Rate" << data->radioDataRate;
    if (type == E_GetVersion) {
        // One multi-argument substitution, so a '%' in the device's texts is
        // never taken for a placeholder.
        setWindowTitle(programTitle()
                       + QStringLiteral("   Hardware: %1 Firmware: v.%2")
                             .arg(session->hardware(), session->firmware()));
    }
    if (type == E_GetVersion || type == E_GetModuleVersion)
        view->showVersion(session->radioModule(), session->moduleFirmware());
    marks->show();
}

void MainWindow::applyData()
{
    RecordRules::constrain(*data);
    view->show();
}


void MainWindow::startDefault()
{
    // The debug log marks the start of the factory reset with this line.
    qCDebug(lcMainWindow) << "!!!!!!!!!!!!!!!!!!!!" << "startDefault" << __LINE__ << 0;
    // The record then holds the factory settings and the serial rate the
    // factory record sets.
    session->restoreDefaults();
    applyData();
    marks->show();
}

void MainWindow::saveSettings()
{
    // A name typed without an extension gets the one the open dialog shows.
    const QString fileName =
        SavedFile::askName(this, tr("Save Settings"), tr("Ryd Files (*.ryd)"), QStringLiteral(".ryd"));
    if (!fileName.isEmpty())
        saveSettingsTo(fileName);
}

void MainWindow::showTrafficLog()
{
    if (!trafficLogWindow)
        trafficLogWindow = new TrafficLogWindow(trafficLog, this);
    trafficLogWindow->show();
    trafficLogWindow->raise();
    trafficLogWindow->activateWindow();
}

void MainWindow::openSettings()
{
    if (!marks->mayDiscard(tr("Open Settings")))
        return;
    const QString fileName = QFileDialog::getOpenFileName(this, tr("Open Settings"), QString(),
                                                          tr("Ryd Files (*.ryd)"));
    if (!fileName.isEmpty())
        loadSettingsFrom(fileName);
}

// The file is written beside its destination and renamed over it only when
// complete, so a failed save never leaves a truncated file in place of a good
// one.
bool MainWindow::saveSettingsTo(const QString &fileName)
{
    return SavedFile::write(this, fileName, SettingsFile::encode(*data), false, tr("Save Settings"),
                            tr("The settings could not be saved to \"%1\": %2"));
}

// A file that cannot be read, that ends inside the twelve setting bytes or
// the port name, or that holds a value the device does not take is refused,
// each such setting named with its value and the values allowed, and the
// record stays as it was. A file that ends before the flow-control byte (the
// start-up file's layout, or twelve bytes alone) loads the rest and keeps the
// flow control, and the operator is told.
bool MainWindow::loadSettingsFrom(const QString &fileName)
{
    QString problem;
    bool hasFlowControl = true;
    if (!RecordValidator::load(fileName, *data, &problem, &hasFlowControl)) {
        qCDebug(lcMainWindow) << "refused" << problem;
        QMessageBox::warning(this, tr("Open Settings"), problem);
        return false;
    }
    applyData();
    if (!session->isOpen()) {
        editedOffline = true;
        offlineFile = fileName;
    }
    marks->show();
    if (!hasFlowControl) {
        QMessageBox::information(this, tr("Open Settings"),
                                 tr("\"%1\" holds no \"Flow control\": its other settings were loaded, and "
                                    "\"Flow control\" keeps the choice shown before.")
                                     .arg(fileName));
    }
    return true;
}

void MainWindow::slRequest(quint8 countParsers, TypeParser typeParser, const QByteArray &request)
{
    // The debug log traces every request twice, by source line: on entry and for a poll.
    qCDebug(lcMainWindow) << "slRequest" << __LINE__ << countParsers;
    if (typeParser != E_Test)
        return;
    qCDebug(lcMainWindow) << "slRequest" << __LINE__;
    test->addRequest(request);
}

void MainWindow::slError(const QByteArray &request)
{
    if (!failurePrompt->ask(request))
        session->abandon();
}

// A lost line leaves nothing to judge: the window shows it disconnected.
// Otherwise the session has judged the answers by the record's rules, which
// may have changed what the panels show.
void MainWindow::onSequenceEnded(DeviceSession::Sequence sequence, DeviceSession::SequenceEnd end)
{
    const bool writes =
        sequence == DeviceSession::Sequence::Write || sequence == DeviceSession::Sequence::FactoryDefaults;
    if (writes && end != DeviceSession::SequenceEnd::Completed)
        outcome->tellHalfDone(sequence, end == DeviceSession::SequenceEnd::LineLost);
    if (end == DeviceSession::SequenceEnd::LineLost)
        return;
    view->show();
    outcome->tellKept();
    if (sequence == DeviceSession::Sequence::Write)
        outcome->verifyWritten(QStringLiteral("WRITE"));
    else if (sequence == DeviceSession::Sequence::FactoryDefaults)
        outcome->verifyWritten(QStringLiteral("DEFAULT"));
    const bool readAll = sequence == DeviceSession::Sequence::Connect || sequence == DeviceSession::Sequence::Read;
    if (readAll && !session->heardDevice()) {
        // The port stays open: the device may be switched on, or its cable
        // plugged in, and "READ" tried again.
        const QString text = tr("No setting was read from the device on %1: nothing answered. The panels do not "
                                "show the device's settings.\nCheck that the device is powered, that its cable is "
                                "connected to this port, and that its serial settings match the ones the window "
                                "connects with.")
                                 .arg(connectedPort);
        const QString title = sequence == DeviceSession::Sequence::Connect ? tr("Connect") : QStringLiteral("READ");
        QMetaObject::invokeMethod(
            this, [this, title, text] { QMessageBox::warning(this, title, text); }, Qt::QueuedConnection);
    } else if (sequence == DeviceSession::Sequence::Connect && offline) {
        QMetaObject::invokeMethod(this, &MainWindow::offerOfflineSettings, Qt::QueuedConnection);
    }
    marks->show();
}


// The settings opened or edited before "Connect" are offered again once the
// device's own have replaced them in the panels.
void MainWindow::offerOfflineSettings()
{
    if (!offline || !session->isOpen() || session->running() != DeviceSession::Sequence::Idle)
        return;
    const std::unique_ptr<Data> kept = std::move(offline);
    editedOffline = false;
    const int count = session->differences(*kept).size();
    if (count == 0)
        return;
    const QString question = tr("Show the settings of %1 again? They differ from the device in %2 settings and "
                                "reach it only with WRITE.")
                                 .arg(QFileInfo(offlineFile).fileName())
                                 .arg(count);
    const auto answer = QMessageBox::question(this, tr("Connect"), question, QMessageBox::Yes | QMessageBox::No,
                                              QMessageBox::Yes);
    if (answer != QMessageBox::Yes)
        return;
    RecordRules::copySettings(*kept, *data);
    applyData();
    marks->show();
}




void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!marks->mayDiscard(windowTitle())) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
