#include "mainwindow.h"

#include "applog.h"
#include "data.h"
#include "devicerules.h"
#include "devicesession.h"
#include "exchange.h"
#include "recordvalidator.h"
#include "safefile.h"
#include "savedfile.h"
#include "serialportname.h"
#include "settingsfile.h"
#include "trafficlog.h"
#include "trafficlogwindow.h"
#include "version.h"
#include "w_freezprotection.h"
#include "w_key.h"
#include "w_radio.h"
#include "w_rs485.h"
#include "w_test.h"

#include <algorithm>

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMoveEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QShowEvent>
#include <QSpacerItem>

namespace {

const char startupFileName[] = "test_ryd";

// The height the window gains when the freeze-protection panel opens.
constexpr int freezProtectionHeight = 75;

QString programTitle()
{
    return QStringLiteral("Рыд Конфигуратор v.%1").arg(QStringLiteral(RYD_VERSION));
}

// Every other sequence takes the exchange's queue from a running radio test.
// The test panel is made idle first: left at "STOP" it would hold the progress
// bar at 0, and its key would later stop the new sequence instead of the test.
void endRadioTest(W_Test *test, Exchange *exchange)
{
    if (test->isTesting())
        test->stop();
    // "STOP" lets the poll under way have its second; another sequence
    // takes the queue at once.
    if (exchange->isTesting())
        exchange->clearParsers();
}

void appendInLayoutOrder(QWidget *widget, QList<QWidget *> &widgets);

void appendInLayoutOrder(QLayout *layout, QList<QWidget *> &widgets)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (QLayout *inner = item->layout())
            appendInLayoutOrder(inner, widgets);
        else if (QWidget *widget = item->widget())
            appendInLayoutOrder(widget, widgets);
    }
}

// The widget, then what its layout or its scroll area holds, in the order the
// layouts hold them.
void appendInLayoutOrder(QWidget *widget, QList<QWidget *> &widgets)
{
    widgets.append(widget);
    if (auto *scroll = qobject_cast<QScrollArea *>(widget)) {
        if (scroll->widget())
            appendInLayoutOrder(scroll->widget(), widgets);
    } else if (widget->layout()) {
        appendInLayoutOrder(widget->layout(), widgets);
    }
}

// A copy of the record's settings.
std::unique_ptr<Data> settingsOf(const Data &record)
{
    auto copy = std::make_unique<Data>();
    for (const SettingsTable::Setting &setting : SettingsTable::settings())
        copy.get()->*setting.field = record.*setting.field;
    return copy;
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
    progress->setToolTip(tr("Progress of reading or writing the device's settings."));

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
    session = new DeviceSession(this, data.get());
    exchange = session->exchange();
    trafficLog = new TrafficLog(this);
    trafficLog->follow(exchange);

    connect(comPort, &W_QWidget::sgValueChange, this, &MainWindow::slValueChange);
    connect(comPort, &W_QWidget::sgTextChange, this, &MainWindow::slTextChange);
    connect(key, &W_QWidget::sgValueChange, this, &MainWindow::slValueChange);
    connect(radio, &W_QWidget::sgValueChange, this, &MainWindow::slValueChange);
    connect(rs485, &W_QWidget::sgValueChange, this, &MainWindow::slValueChange);
    connect(freezProtection, &W_QWidget::sgValueChange, this, &MainWindow::slValueChange);
    connect(session, &DeviceSession::sgAnswerApplied, this, &MainWindow::showAnswer);
    connect(exchange, &Exchange::sgSetProgres, this, [this](quint8 percent) {
        // A running radio test never finishes, so its progress means nothing.
        progress->setValue(test->isTesting() ? 0 : percent);
    });
    connect(session, &DeviceSession::sgSequenceEnded, this, &MainWindow::onSequenceEnded);
    connect(test, &W_Test::sgStartTest, session, &DeviceSession::startRadioTest);
    connect(test, &W_Test::sgStopTest, session, &DeviceSession::stopRadioTest);
    connect(test, &W_Test::sgClearTest, session, &DeviceSession::clearRadioTest);
    connect(exchange, &Exchange::sgRequest, this, &MainWindow::slRequest);
    connect(exchange, &Exchange::sgOk, this, [this](quint8, TypeParser typeParser, const QByteArray &request) {
        if (typeParser == E_Test)
            test->okRect(request);
    });
    connect(session, &DeviceSession::sgError, this, &MainWindow::slError);
    connect(exchange, &Exchange::sgTimeOut, this, [this](quint8, TypeParser typeParser, const QByteArray &request) {
        if (typeParser == E_Test)
            test->errRect(request);
    });
    connect(exchange, &Exchange::sgPortLost, this, &MainWindow::onPortLost);
    connect(exchange, &Exchange::sgAnswer, this,
            [this](TypeParser typeParser, const QByteArray &request, const QByteArray &, int roundTripMs) {
                if (typeParser == E_Test)
                    test->roundTrip(request, roundTripMs);
            });
    connect(comPort->findChild<QPushButton *>(QStringLiteral("Traffic Log")), &QPushButton::clicked, this,
            &MainWindow::showTrafficLog);
    // The panel follows the key's own state, which only a completed click
    // changes; a press dragged off the key changes nothing.
    connect(key->findChild<QPushButton *>(QStringLiteral("Freeze Protection")), &QPushButton::toggled, this,
            &MainWindow::setFreezProtectionShown);

    orderTabChain();
    // Return and Enter press a focused key as Space does.
    for (QPushButton *button : findChildren<QPushButton *>())
        button->installEventFilter(this);

    setPanelsEnabled(exchange->isOpen());
    applyData();
    writeStartupFile(data.get(), QString::fromLatin1(startupFileName));
    resize(minimumSize());
}

// The window's least height shows all ten address rows where the screen's
// available area has room for them, and as many as fit otherwise: the rows
// come before the other panels' preferred heights, which a layout short of
// room would share equally. A frame the window manager has not added yet
// counts as none.
void MainWindow::fitAddressRows()
{
    // The panels' layouts tell their parents of a new least height through
    // posted events; they are taken at once, and the central widget's layout
    // is activated before the window's own, so that the least height read
    // here is the one the window gets.
    const auto settle = [this] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        centralWidget()->layout()->invalidate();
        centralWidget()->layout()->activate();
        layout()->invalidate();
        layout()->activate();
    };
    test->setRowsRoom(0);
    settle();
    const int frameHeight = frameGeometry().height() - height();
    test->setRowsRoom(screen()->availableGeometry().height() - frameHeight - minimumHeight());
    settle();
}

// Tab follows the layouts, which hold every panel's controls in the order they
// are seen: the port row, the keys, each column of the radio panel top to
// bottom, the RS-485 panel, freeze protection, then the test panel. The order
// the widgets were created in differs.
void MainWindow::orderTabChain()
{
    QList<QWidget *> widgets;
    appendInLayoutOrder(centralWidget(), widgets);
    QWidget *previous = nullptr;
    for (QWidget *widget : qAsConst(widgets)) {
        if (widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            setTabOrder(previous, widget);
        previous = widget;
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *button = qobject_cast<QPushButton *>(watched);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (button && enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            // A held key repeats nothing, as with Space.
            if (!key->isAutoRepeat())
                button->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
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

// The read-back only happens when the write succeeded, so an older file can
// never overwrite the record. What is read back is judged as a settings file
// is: a start-up file that does not read back as written (a damaged disk, a
// device file in its place) leaves the record alone. Start-up goes on
// without a message; the debug log says why.
bool MainWindow::writeStartupFile(Data *data, const QString &fileName)
{
    QString error;
    if (!SafeFile::write(fileName, SettingsFile::encodeStartup(*data), false, &error)) {
        qCDebug(lcMainWindow) << "cannot write" << fileName << error;
        return false;
    }
    QFile file(fileName);
    const std::unique_ptr<Data> readBack = settingsOf(*data);
    if (!file.open(QIODevice::ReadOnly)
        || !SettingsFile::decodeStartup(file.read(SettingsFile::settingBytes), *readBack)) {
        return false;
    }
    const QString refused = RecordValidator::describe(RecordValidator::refusals(*readBack));
    if (!refused.isEmpty()) {
        qCDebug(lcMainWindow) << "start-up file refused" << fileName << refused;
        return false;
    }
    for (const Setting &setting : settings())
        data->*setting.field = readBack.get()->*setting.field;
    return true;
}

void MainWindow::slValueChange(QString name, int val)
{
    qCDebug(lcMainWindow) << "slValueChange" << name << val;
    // A control made to show the record reports it as well: that report is
    // not an edit.
    if (showing)
        return;

    if (name.startsWith(QLatin1String("pbOpen")))
        connectOpen();
    for (const Setting &setting : settings()) {
        if (!name.startsWith(setting.name))
            continue;
        fieldOf(setting) = recordValue(setting, val);
        if (setting.field == &Data::radioDataRate) {
            rs485->setRadioRate(data->radioDataRate);
        } else if (setting.field == &Data::serialDataRate) {
            radio->setSerialRate(data->serialDataRate);
            data->serialTimeout = quint8(DeviceRules::serialTimeoutFloor(data->serialDataRate));
            showSetting(settingOf(&Data::serialTimeout));
        }
    }
    if (name.startsWith(QLatin1String("WRITE"))) {
        endRadioTest(test, exchange);
        written = settingsOf(*data);
        session->write();
    }
    if (name.startsWith(QLatin1String("READ")) && mayDiscardEdits(QStringLiteral("READ"))) {
        // The read-all is appended to the queue; behind the test's poll,
        // which never leaves it, it would never run.
        endRadioTest(test, exchange);
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
            endRadioTest(test, exchange);
            startDefault();
        }
    }
    if (name.startsWith(QLatin1String("Open Settings")))
        openSettings();
    if (name.startsWith(QLatin1String("Save Settings")))
        saveSettings();
    // "Freeze Protection" is followed through the key's toggled signal.
    showMarks();
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
    if (session->isOpen() && !mayDiscardEdits(tr("Disconnect")))
        return;
    endRadioTest(test, exchange);
    const bool wasOpen = session->isOpen();
    lostMarks.clear();
    written.reset();
    offline.reset();
    if (wasOpen) {
        session->closePort();
    } else {
        // Offered again once the device's own settings have been read.
        if (editedOffline)
            offline = settingsOf(*data);
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
                            QStringLiteral("connect failed %1: %2").arg(portName, exchange->portErrorString()));
        QMessageBox::warning(this, tr("Connect"), exchange->openFailureText(portName));
    }
    showMarks();
}

void MainWindow::showDisconnected()
{
    setWindowTitle(programTitle());
    radio->setTextByName(QStringLiteral("FirmWare"), QStringLiteral("x/x"));
    radio->setTextByName(QStringLiteral("Radio module"), QString());
}

// The device vanished under an open port: the exchange has closed the port
// and dropped its queue. The window returns to its disconnected state and
// says so once, instead of a failure prompt for every queued command.
void MainWindow::onPortLost(const QString &reason)
{
    for (const QPointer<QMessageBox> &prompt : qAsConst(failurePrompts)) {
        if (prompt)
            prompt->done(QMessageBox::No);
    }
    endRadioTest(test, exchange);
    comPort->setPortLost();
    setPanelsEnabled(false);
    showDisconnected();
    written.reset();
    offline.reset();
    // The edits the device did not have stay marked, and are asked about.
    lostMarks = changedMarks;
    showMarks();
    QMessageBox::warning(this, tr("Connection lost"), SerialPortName(connectedPort).connectionLostText(reason));
    if (!halfDoneText.isEmpty())
        QMessageBox::warning(this, std::exchange(halfDoneKey, {}), std::exchange(halfDoneText, {}));
}

// The window grows by the panel's height when it opens, staying inside the
// screen's available area, and gets back the height and place it had when it
// closes: a window manager may settle the grown window at another height
// than asked for, so the shrink is not worked out from it. A maximized
// window keeps its size: the address rows give or take the room.
void MainWindow::setFreezProtectionShown(bool on)
{
    if (on != freezProtection->isHidden())
        return;
    const QRect before(pos(), size());
    freezProtection->setVisible(on);
    fitAddressRows();
    if (isMaximized() || isFullScreen()) {
        freezProtectionReturn = QRect();
        return;
    }
    if (on) {
        freezProtectionReturn = before;
        resize(width(), before.height() + freezProtectionHeight);
        keepInsideAvailableArea();
    } else if (freezProtectionReturn.isValid()) {
        resize(width(), freezProtectionReturn.height());
        move(freezProtectionReturn.topLeft());
        freezProtectionReturn = QRect();
    }
}

// Shown for the first time, the panels report their least heights: the
// address rows are fitted then, before the window is placed.
void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous() && !rowsFitted) {
        rowsFitted = true;
        fitAddressRows();
    }
}

// A window manager frames the window only once it is shown: when the frame
// is first known, the window is kept inside the available area once more,
// title bar included.
void MainWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    // A frame around a window at the screen's origin is one the window
    // manager has not placed yet.
    if (framed || frameGeometry() == geometry() || pos().isNull())
        return;
    framed = true;
    QMetaObject::invokeMethod(this, &MainWindow::keepInsideAvailableArea, Qt::QueuedConnection);
}

void MainWindow::keepInsideAvailableArea()
{
    if (isMaximized() || isFullScreen())
        return;
    const QRect area = screen()->availableGeometry();
    const int frameHeight = frameGeometry().height() - height();
    if (frameGeometry().height() > area.height())
        resize(width(), qMax(minimumHeight(), area.height() - frameHeight));
    const QRect frame = frameGeometry();
    const int left = qMax(area.left(), qMin(frame.left(), area.right() + 1 - frame.width()));
    const int top = qMax(area.top(), qMin(frame.top(), area.bottom() + 1 - frame.height()));
    if (QPoint(left, top) != frame.topLeft())
        move(left, top);
}

void MainWindow::slSetSettings(TypeParser type, const QList<QByteArray> &param)
{
    // The debug log's entry line of every answer, with its source line.
    qCDebug(lcMainWindow) << "slSetSettings" << __LINE__ << int(type) << param;
    session->applyAnswer(type, param);
}

// The session has put every field of the answer into the record.
void MainWindow::showAnswer(TypeParser type, const QList<QByteArray> &param)
{
    const QScopedValueRollback<bool> oneWay(showing, true);
    for (const Setting &setting : settings()) {
        if (setting.readBy == type)
            showSetting(setting);
    }

    switch (type) {
    case E_GetRs485:
        radio->setSerialRate(data->serialDataRate);
        break;
    case E_GetRadioDataRate:
        qCDebug(lcMainWindow) << "Radio Data Rate" << data->radioDataRate;
        rs485->setRadioRate(data->radioDataRate);
        // The channel read next is chosen from the list of this rate; the
        // session has moved a channel the new list lacks to the first.
        radio->setSpeed(data->radioDataRate);
        showSetting(settingOf(&Data::chanel));
        break;
    case E_GetVersion: {
        const QString firmware = QString::fromUtf8(param.at(0).constData());
        const QString hardware = QString::fromUtf8(param.at(1).constData());
        // One multi-argument substitution, so a '%' in the device's texts is
        // never taken for a placeholder.
        setWindowTitle(programTitle() + QStringLiteral("   Hardware: %1 Firmware: v.%2").arg(hardware, firmware));
        radio->setTextByName(QStringLiteral("Radio module"), session->radioModule());
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
    showMarks();
}

W_QWidget *MainWindow::panelOf(const Setting &setting) const
{
    switch (setting.panel) {
    case Panel::Rs485:
        return rs485;
    case Panel::FreezProtection:
        return freezProtection;
    case Panel::Radio:
        break;
    }
    return radio;
}

quint8 &MainWindow::fieldOf(const Setting &setting)
{
    return data.get()->*setting.field;
}

void MainWindow::showSetting(const Setting &setting)
{
    const QScopedValueRollback<bool> oneWay(showing, true);
    panelOf(setting)->setValueByName(setting.name, shownValue(setting, fieldOf(setting)));
}

// Shows the whole record, and the record then holds what the controls show.
// A record that passed RecordValidator (a loaded file, the factory settings)
// is shown as it is and nothing is taken; the record built at start-up holds
// zeros that its controls show otherwise (the serial timeout under the 1200
// bps floor, the radio transmit reset under its least value).
void MainWindow::applyData()
{
    showRecord();
    takeWhatControlsShow();
}

// The rules between the controls follow the record's own rates before its
// values are shown: the serial timeout's floor, the serial-rate colours and
// the channel list.
void MainWindow::showRecord()
{
    const QScopedValueRollback<bool> oneWay(showing, true);
    radio->setSerialRate(data->serialDataRate);
    rs485->setRadioRate(data->radioDataRate);
    radio->setSpeed(data->radioDataRate);
    for (const Setting &setting : settings())
        showSetting(setting);
}

// The one way from the controls to the record besides the operator's edits,
// for a value a control's own rule shows otherwise: a spin box's range (the
// serial timeout's floor follows the serial rate), the channel list of
// another radio rate, flow control's two entries. The record takes what the
// control shows, except for the settings `keep` accepts and those a list
// shows no entry for. Returns the settings kept.
QList<const MainWindow::Setting *> MainWindow::takeWhatControlsShow(const std::function<bool(const Setting &)> &keep)
{
    QList<const Setting *> kept;
    for (const Setting &setting : settings()) {
        const int shown = panelOf(setting)->valueByName(setting.name);
        if (shown >= 0 && recordValue(setting, shown) == fieldOf(setting))
            continue;
        if (shown < 0 || (keep && keep(setting)))
            kept.append(&setting);
        else
            fieldOf(setting) = recordValue(setting, shown);
    }
    return kept;
}

// A sequence with the device has ended: its answers are judged with the
// floor and the channel list of the device's own rates, where it reported
// them; otherwise the operator's unwritten choice of rate governs. A value the
// controls cannot show stays in the record, so that WRITE gives back what the
// device had, and the operator is told once.
void MainWindow::judgeDeviceAnswers()
{
    const QMap<QString, quint8> answers = session->takeReported();
    if (answers.isEmpty())
        return;
    showRecord();
    const auto reportedAtOwnRates = [&answers](const Setting &setting) {
        return answers.contains(setting.name)
            && (!setting.followsRate || answers.contains(settingOf(setting.followsRate).name));
    };
    QStringList kept;
    for (const Setting *setting : takeWhatControlsShow(reportedAtOwnRates)) {
        if (answers.contains(setting->name))
            kept << tr("\"%1\": the device reported %2").arg(SettingsTable::label(*setting)).arg(fieldOf(*setting));
    }
    if (kept.isEmpty())
        return;
    qCDebug(lcMainWindow) << "kept out of range" << kept;
    // Told once the exchange's handling of the last answer has returned.
    QMetaObject::invokeMethod(
        this,
        [this, kept] {
            QMessageBox::warning(this, tr("Device settings"),
                                 tr("The device holds settings the window cannot show. They are kept as the "
                                    "device reported them and written back unchanged:\n%1")
                                     .arg(kept.join(QLatin1Char('\n'))));
        },
        Qt::QueuedConnection);
}

void MainWindow::startDefault()
{
    // The debug log marks the start of the factory reset with this line.
    qCDebug(lcMainWindow) << "!!!!!!!!!!!!!!!!!!!!" << "startDefault" << __LINE__ << 0;
    // The record then holds the factory settings and the serial rate the
    // factory record sets; applyData takes the serial timeout's floor from it.
    session->restoreDefaults();
    applyData();
    written = settingsOf(*data);
    showMarks();
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
    if (!mayDiscardEdits(tr("Open Settings")))
        return;
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
    showMarks();
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
    QMessageBox box;
    failurePrompts.append(&box);
    box.setText(QStringLiteral("Ошибка выполнения команды. Продолжить?"));
    // The request as it was sent, less its carriage return and any other
    // control character a title would show as a box.
    QString title = QString::fromLocal8Bit(request.constData());
    title.remove(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f]")));
    box.setWindowTitle(title);
    const SettingsTable::Setting *setting = DeviceSession::settingOfRequest(request);
    QString what;
    if (!setting)
        what = tr("The device did not answer the request for the radio module's version.");
    else if (request.contains('?'))
        what = tr("The device did not answer the read of \"%1\".").arg(SettingsTable::label(*setting));
    else
        what = tr("The device did not confirm the write of \"%1\".").arg(SettingsTable::label(*setting));
    box.setInformativeText(what + QLatin1Char('\n')
                           + tr("Yes skips this command and goes on with the rest of the sequence; "
                                "No stops the sequence here."));
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    // Escape and the window's close control count as No.
    box.setEscapeButton(QMessageBox::No);
    const int answer = box.exec();
    failurePrompts.removeAll(&box);
    trafficLog->addLine(TrafficLog::Event, QStringLiteral("failure prompt %1 answered %2")
                                               .arg(TrafficLog::escaped(request),
                                                    answer == QMessageBox::Yes ? QStringLiteral("Yes")
                                                                               : QStringLiteral("No")));
    if (answer == QMessageBox::No)
        exchange->clearParsers();
}

// A lost line leaves nothing to judge: the window shows it disconnected.
void MainWindow::onSequenceEnded(DeviceSession::Sequence sequence, Exchange::SequenceEnd end)
{
    const bool writes =
        sequence == DeviceSession::Sequence::Write || sequence == DeviceSession::Sequence::FactoryDefaults;
    if (writes && end != Exchange::SequenceEnd::Completed)
        tellHalfDone(sequence, end == Exchange::SequenceEnd::LineLost);
    if (end == Exchange::SequenceEnd::LineLost)
        return;
    judgeDeviceAnswers();
    // A write the operator gave up at a failure prompt is known to be
    // incomplete; the device's values are shown as they were reported.
    if (end != Exchange::SequenceEnd::Completed)
        written.reset();
    if (sequence == DeviceSession::Sequence::Write)
        verifyWritten(QStringLiteral("WRITE"));
    else if (sequence == DeviceSession::Sequence::FactoryDefaults)
        verifyWritten(QStringLiteral("DEFAULT"));
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
    showMarks();
}

// The read-back is compared with what was written. A setting the device did
// not take keeps the value written, marked, so that the operator sees it
// and can write it again; the device's value is in its mark.
void MainWindow::verifyWritten(const QString &key)
{
    if (!written)
        return;
    const std::unique_ptr<Data> sent = std::move(written);
    const QList<DeviceSession::Difference> differences = session->differences(*sent);
    if (differences.isEmpty())
        return;
    for (const DeviceSession::Difference &difference : differences) {
        const Setting &setting = *difference.setting;
        trafficLog->addLine(TrafficLog::Event, QStringLiteral("%1 not held: wrote %2, device holds %3")
                                                   .arg(setting.name, difference.recordText, difference.deviceText));
        fieldOf(setting) = sent.get()->*setting.field;
    }
    showRecord();
    const QString text = tr("The device does not hold these settings as written:\n%1")
                             .arg(session->notHeld(*sent).join(QLatin1Char('\n')));
    QMetaObject::invokeMethod(
        this, [this, key, text] { QMessageBox::warning(this, key, text); }, Qt::QueuedConnection);
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
    for (const Setting &setting : settings())
        fieldOf(setting) = kept.get()->*setting.field;
    applyData();
    showMarks();
}

// While connected, every control whose value shows otherwise than the
// device's is marked with what the device holds, and a setting the last
// read-all left out as not read. After the device was lost, the marks of
// what it did not hold stay; otherwise nothing is marked while disconnected.
void MainWindow::showMarks()
{
    QMap<QString, QString> notes = lostMarks;
    if (session->isOpen()) {
        changedMarks.clear();
        for (const DeviceSession::Difference &difference : session->differences(*data))
            changedMarks.insert(difference.setting->name,
                                tr("Changed: the device holds %1").arg(difference.deviceText));
        notes = changedMarks;
        for (const QString &name : session->notRead())
            notes.insert(name, tr("Not read from the device"));
    }
    for (const Setting &setting : settings())
        panelOf(setting)->markByName(setting.name, notes.value(setting.name));
}

// Asks before edits the device does not have are dropped: true when there
// are none, or the operator lets them go.
bool MainWindow::mayDiscardEdits(const QString &title)
{
    const bool unwritten = session->isOpen() ? !session->differences(*data).isEmpty() : !lostMarks.isEmpty();
    if (!unwritten)
        return true;
    const auto answer = QMessageBox::question(this, title, tr("Discard the changes not written to the device?"),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return false;
    lostMarks.clear();
    return true;
}

// "WRITE" or "DEFAULT" ended before its read-back: the device may hold part
// of the new settings. The settings sent stay marked as the device's last
// known values show them.
void MainWindow::tellHalfDone(DeviceSession::Sequence sequence, bool lineLost)
{
    const QList<const Setting *> sent = session->sentWrites();
    if (sent.isEmpty())
        return;
    const QString key =
        sequence == DeviceSession::Sequence::Write ? QStringLiteral("WRITE") : QStringLiteral("DEFAULT");
    QStringList names;
    QStringList labels;
    for (const Setting *setting : sent) {
        names << setting->name;
        labels << SettingsTable::label(*setting);
    }
    trafficLog->addLine(TrafficLog::Event,
                        QStringLiteral("%1 ended before its read-back, sent: %2").arg(key, names.join(QStringLiteral(", "))));
    const QString text = tr("%1 ended before the device's settings were read back. The device may now hold part of "
                            "the new settings. Write requests were sent for:\n%2")
                             .arg(key, labels.join(QLatin1Char('\n')));
    if (lineLost) {
        // Told after the loss itself.
        halfDoneKey = key;
        halfDoneText = text;
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, key, text] { QMessageBox::warning(this, key, text); }, Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!mayDiscardEdits(windowTitle())) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}
