#include "data.h"
#include "devicemodel.h"
#include "emulator.h"
#include "mainwindow.h"
#include "w_freezprotection.h"
#include "w_key.h"
#include "w_power.h"
#include "w_radio.h"
#include "w_radiocommonright.h"
#include "w_rb.h"
#include "w_rs485.h"
#include "w_serialrate.h"
#include "w_subband.h"
#include "w_test.h"

#include <QApplication>
#include <QComboBox>
#include <QDial>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

// Settings by their names, in the record's encoding (flow control 0 or 2).
using Settings = QMap<QString, int>;
Q_DECLARE_METATYPE(Settings)

namespace {

const QByteArrayList readAllRequests{
    "+++",      "AT/V\r",    "ATS216?\r", "ATS206?\r", "ATS201?\r",
    "ATS200?\r", "ATS214?\r", "ATS202?\r", "ATO\r",     "$1",
};

Settings recordOf(const Data *d)
{
    return {{"Sub-band", d->subBand},
            {"Radio Data Rate", d->radioDataRate},
            {"Chanel", d->chanel},
            {"Power", d->power},
            {"Test address", d->testAddress},
            {"Serial Data Rate", d->serialDataRate},
            {"Serial Timeout", d->serialTimeout},
            {"Delay Tx-Rx", d->delayTxRx},
            {"Parity", d->parity},
            {"Stop bit", d->stopBit},
            {"Flow control", d->flowControl},
            {"Radio Transmit Reset", d->radioTransmitReset},
            {"WDT Reset", d->wdtReset}};
}

Settings changed(Settings base, const Settings &changes)
{
    for (auto it = changes.cbegin(); it != changes.cend(); ++it)
        base[it.key()] = it.value();
    return base;
}

QString differences(const Settings &actual, const Settings &expected)
{
    QStringList out;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (actual.value(it.key(), -1000) != it.value())
            out << QStringLiteral("%1 is %2, expected %3").arg(it.key()).arg(actual.value(it.key(), -1000)).arg(it.value());
    }
    return out.join(QStringLiteral("; "));
}

#define COMPARE_SETTINGS(actual, expected)                                      \
    do {                                                                        \
        const QString diff = differences(actual, expected);                     \
        QVERIFY2(diff.isEmpty(), qPrintable(diff));                             \
    } while (false)

int checkedNumber(const QList<W_Rb *> &buttons)
{
    for (const W_Rb *rb : buttons) {
        if (rb->isChecked())
            return rb->number();
    }
    return -1;
}

W_Rb *button(const QList<W_Rb *> &buttons, int number)
{
    for (W_Rb *rb : buttons) {
        if (rb->number() == number)
            return rb;
    }
    return nullptr;
}

// Radio buttons and check boxes take a click on their indicator.
void clickIndicator(QAbstractButton *b)
{
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
}

// The device as the tests find it: nothing at its factory value.
void setDistinctiveDevice(DeviceModel *device)
{
    device->setSRegister(DeviceModel::SubBand, 6);
    device->setSRegister(DeviceModel::RadioDataRate, 1);
    device->setSRegister(DeviceModel::Chanel, 7);
    device->setSRegister(DeviceModel::Power, 4);
    device->setSRegister(DeviceModel::SerialTimeout, 40);
    device->setSRegister(DeviceModel::FlowControl, 2);
    DeviceModel::Rs485Record record;
    record.testAddress = 10;
    record.serialDataRate = 2;
    record.firstDelay = 9;
    record.delayTxRx = 12;
    record.parity = 3;
    record.radioTransmitReset = 120;
    record.wdtReset = 25;
    record.stopBit = 1;
    device->setRs485(record);
    device->setFirmware("3.9");
    device->setHardware("D");
    device->setModuleVersion("LE50-868 v3.4");
}

const Settings distinctiveSettings{
    {"Sub-band", 6},      {"Radio Data Rate", 1}, {"Chanel", 7},         {"Power", 4},
    {"Test address", 10}, {"Serial Data Rate", 2}, {"Serial Timeout", 40}, {"Delay Tx-Rx", 12},
    {"Parity", 3},        {"Stop bit", 1},         {"Flow control", 2},    {"Radio Transmit Reset", 120},
    {"WDT Reset", 25}};

// Answers every modal message box the window opens, as the operator would,
// and keeps what each one said, so that no test hangs on a box it did not
// expect.
class BoxAnswerer : public QObject
{
public:
    enum Answer { Yes, No, Escape, Close };

    struct Seen
    {
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
    };

    BoxAnswerer()
    {
        connect(&timer, &QTimer::timeout, this, &BoxAnswerer::look);
        timer.start(20);
    }

    Answer answer = No;
    QList<Seen> seen;

private:
    void look()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box == answered)
            return;
        answered = box;
        seen.append({box->windowTitle(), box->text(), box->standardButtons()});
        QAbstractButton *key = nullptr;
        if (answer == Yes)
            key = box->button(QMessageBox::Yes);
        else if (answer == No)
            key = box->button(QMessageBox::No);
        if (key)
            QTest::mouseClick(key, Qt::LeftButton);
        else if (answer == Close)
            box->close();
        else
            QTest::keyClick(box, Qt::Key_Escape);
    }

    QTimer timer;
    QPointer<QMessageBox> answered;
};

} // namespace

// The main window driven as an operator drives it, against the device
// emulator on a pseudo-terminal: what the device receives and what the
// window shows.
class tst_Actions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void connectShowsDevice();
    void writeAfterEdits();
    void writeTwice();
    void defaultFirstResetAnswered();
    void failurePrompt_data();
    void failurePrompt();
    void defaultNoResetAnswered();

    void serialDataRateSetsTimeout_data();
    void serialDataRateSetsTimeout();
    void flowControlStored_data();
    void flowControlStored();
    void lowEightBits_data();
    void lowEightBits();
    void freezeProtectionKey();
    void answerConversions_data();
    void answerConversions();

private:
    bool connectDevice();
    Settings shown() const;
    void edit(const QString &name, int value);
    QByteArrayList writesFor(const Settings &s) const;

    template <typename T>
    T *named(const char *name) const { return window->findChild<T *>(QLatin1String(name)); }
    QPushButton *key(const char *name) const { return named<QPushButton>(name); }
    QSpinBox *spin(const char *name) const { return named<QSpinBox>(name); }
    QComboBox *combo(const char *name) const { return named<QComboBox>(name); }
    W_Radio *radio() const { return window->findChild<W_Radio *>(); }
    W_Rs485 *rs485() const { return window->findChild<W_Rs485 *>(); }
    QProgressBar *progressBar() const
    {
        return window->centralWidget()->findChild<QProgressBar *>(QString(), Qt::FindDirectChildrenOnly);
    }

    QTemporaryDir workDir;
    std::unique_ptr<BoxAnswerer> boxes;
    std::unique_ptr<Emulator> emulator;
    std::unique_ptr<MainWindow> window;
};

void tst_Actions::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Morvell"));
    QCoreApplication::setApplicationName(QStringLiteral("Ryd"));
    QVERIFY(workDir.isValid());
    QVERIFY(QDir::setCurrent(workDir.path()));
}

void tst_Actions::init()
{
    boxes = std::make_unique<BoxAnswerer>();
    emulator = std::make_unique<Emulator>();
    QString error;
    QVERIFY2(emulator->open(&error), qPrintable(error));
    Emulator *line = emulator.get();
    window = std::make_unique<MainWindow>(nullptr, [line] { return QStringList{line->portName()}; });
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(progressBar());
}

// A test takes the boxes it expects out of the list; any left over were not
// expected.
void tst_Actions::cleanup()
{
    window.reset();
    emulator.reset();
    const QString unexpected = boxes->seen.isEmpty() ? QString() : boxes->seen.first().title;
    boxes.reset();
    QVERIFY2(unexpected.isNull(), qPrintable("unexpected message box " + unexpected));
}

// Presses "Connect" and waits for the read-all to end.
bool tst_Actions::connectDevice()
{
    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    const bool done = QTest::qWaitFor(
        [this] { return progressBar()->value() == 100 && emulator->requests().size() == 11; }, 5000);
    emulator->clearRequests();
    return done;
}

// What the panels show, in the record's encoding.
Settings tst_Actions::shown() const
{
    return {{"Sub-band", checkedNumber(radio()->subBandPanel()->buttons())},
            {"Radio Data Rate", checkedNumber(radio()->rightPanel()->buttons())},
            {"Chanel", combo("Chanel")->currentIndex()},
            {"Power", radio()->rightPanel()->powerPanel()->power()},
            {"Test address", spin("Test address")->value()},
            {"Serial Data Rate", checkedNumber(rs485()->serialRatePanel()->buttons())},
            {"Serial Timeout", spin("Serial Timeout")->value()},
            {"Delay Tx-Rx", spin("Delay Tx-Rx")->value()},
            {"Parity", combo("Parity")->currentIndex()},
            {"Stop bit", combo("Stop bit")->currentIndex()},
            {"Flow control", combo("Flow control")->currentText() == "HardWare" ? 0 : 2},
            {"Radio Transmit Reset", spin("Radio Transmit Reset")->value()},
            {"WDT Reset", combo("WDT Reset")->currentIndex()}};
}

// Sets a spin box or combo box the way the operator does.
void tst_Actions::edit(const QString &name, int value)
{
    const QByteArray n = name.toLatin1();
    if (name == "Flow control")
        combo("Flow control")->setCurrentIndex(value == 0 ? 1 : 0);
    else if (auto *s = spin(n.constData()))
        s->setValue(value);
    else if (auto *c = combo(n.constData()))
        c->setCurrentIndex(value);
    else
        QFAIL(qPrintable("no spin or combo box " + name));
}

// The eleven write requests for a record.
QByteArrayList tst_Actions::writesFor(const Settings &s) const
{
    const QByteArray rate = QByteArray::number(s["Serial Data Rate"] + 1);
    const auto padded = [&s](const char *name, int width) {
        return QByteArray::number(s[name]).rightJustified(width, '0');
    };
    const QByteArray record = QByteArray(1, char(48 + s["Test address"])) + ","
        + QByteArray::number(s["Serial Data Rate"]) + ",000," + padded("Delay Tx-Rx", 3) + ","
        + padded("Parity", 1) + "," + padded("Radio Transmit Reset", 3) + ","
        + padded("WDT Reset", 3) + "," + padded("Stop bit", 1);
    const auto reg = [&s](int number, const char *name) {
        return "ATS" + QByteArray::number(number) + "=" + QByteArray::number(s[name]) + "\r";
    };
    return {"+++", "ATS210=" + rate + "\r", "$3" + rate, "$0" + record,
            reg(206, "Sub-band"), reg(201, "Radio Data Rate"), reg(200, "Chanel"),
            reg(202, "Power"), reg(214, "Serial Timeout"), reg(216, "Flow control"), "ATO\r"};
}

void tst_Actions::connectShowsDevice()
{
    setDistinctiveDevice(emulator->device());
    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    QCOMPARE(key("pbOpen")->text(), QString("Disconnect"));
    QVERIFY(radio()->isEnabled());
    QVERIFY(rs485()->isEnabled());
    QVERIFY(window->findChild<W_Key *>()->isEnabled());
    QVERIFY(window->findChild<W_FreezProtection *>()->isEnabled());
    QVERIFY(window->findChild<W_Test *>()->isEnabled());
    QVERIFY(progressBar()->isEnabled());

    QTRY_COMPARE_WITH_TIMEOUT(emulator->requests(), QByteArrayList{"$2"} + readAllRequests, 5000);
    QTRY_COMPARE(progressBar()->value(), 100);
    COMPARE_SETTINGS(recordOf(window->record()), distinctiveSettings);
    COMPARE_SETTINGS(shown(), distinctiveSettings);
    QCOMPARE(combo("Flow control")->currentText(), QString("None"));
    QCOMPARE(combo("Chanel")->count(), 10);
    QCOMPARE(window->windowTitle(),
             QString::fromUtf8("Рыд Конфигуратор v.1.1.14   Hardware: D Firmware: v.3.9"));
    QCOMPARE(named<QLineEdit>("Radio module")->text(), QString("LE50-868"));
    QCOMPARE(named<QLineEdit>("FirmWare")->text(), QString("LE50-868 v3.4"));
    // The serial rate of the record sets the lowest serial timeout.
    QCOMPARE(spin("Serial Timeout")->minimum(), 5);

    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    QCOMPARE(key("pbOpen")->text(), QString("Connect"));
    QVERIFY(!radio()->isEnabled());
    QVERIFY(!rs485()->isEnabled());
    QVERIFY(!window->findChild<W_Key *>()->isEnabled());
    QVERIFY(!window->findChild<W_FreezProtection *>()->isEnabled());
    QVERIFY(!window->findChild<W_Test *>()->isEnabled());
    QVERIFY(!progressBar()->isEnabled());
    QCOMPARE(named<QLineEdit>("FirmWare")->text(), QString("x/x"));
    QCOMPARE(named<QLineEdit>("Radio module")->text(), QString());
    QVERIFY(window->portPanel()->isEnabled());
    COMPARE_SETTINGS(recordOf(window->record()), distinctiveSettings);
}

void tst_Actions::writeAfterEdits()
{
    setDistinctiveDevice(emulator->device());
    QVERIFY(connectDevice());

    clickIndicator(button(radio()->subBandPanel()->buttons(), 2));
    clickIndicator(button(radio()->rightPanel()->buttons(), 3));
    QCOMPARE(combo("Chanel")->count(), 2);
    combo("Chanel")->setCurrentIndex(1);
    radio()->rightPanel()->powerPanel()->findChild<QDial *>()->setValue(3);
    spin("Test address")->setValue(63);
    combo("Flow control")->setCurrentIndex(1);
    clickIndicator(button(rs485()->serialRatePanel()->buttons(), 6));
    QCOMPARE(spin("Serial Timeout")->value(), 2);
    spin("Serial Timeout")->setValue(30);
    spin("Delay Tx-Rx")->setValue(250);
    combo("Parity")->setCurrentIndex(2);
    combo("Stop bit")->setCurrentIndex(1);
    spin("Radio Transmit Reset")->setValue(15);
    combo("WDT Reset")->setCurrentIndex(100);
    const Settings edited{
        {"Sub-band", 2},      {"Radio Data Rate", 3},  {"Chanel", 1},          {"Power", 3},
        {"Test address", 63}, {"Serial Data Rate", 6}, {"Serial Timeout", 30}, {"Delay Tx-Rx", 250},
        {"Parity", 2},        {"Stop bit", 1},         {"Flow control", 0},    {"Radio Transmit Reset", 15},
        {"WDT Reset", 100}};
    COMPARE_SETTINGS(recordOf(window->record()), edited);
    QVERIFY(emulator->requests().isEmpty());

    QSignalSpy progress(progressBar(), &QProgressBar::valueChanged);
    QVERIFY(progress.isValid());
    QTest::mouseClick(key("WRITE"), Qt::LeftButton);
    const QByteArrayList writes{"+++", "ATS210=7\r", "$37", "$0o,6,000,250,2,015,100,1",
                                "ATS206=2\r", "ATS201=3\r", "ATS200=1\r", "ATS202=3\r",
                                "ATS214=30\r", "ATS216=0\r", "ATO\r"};
    QCOMPARE(writesFor(edited), writes);
    QTRY_COMPARE_WITH_TIMEOUT(emulator->requests(), writes + readAllRequests, 5000);
    QTRY_VERIFY(!progress.isEmpty() && progress.last().at(0).toInt() == 100);

    DeviceModel *device = emulator->device();
    QCOMPARE(device->sRegister(DeviceModel::SubBand), 2);
    QCOMPARE(device->sRegister(DeviceModel::RadioDataRate), 3);
    QCOMPARE(device->sRegister(DeviceModel::Chanel), 1);
    QCOMPARE(device->sRegister(DeviceModel::Power), 3);
    QCOMPARE(device->sRegister(DeviceModel::SerialTimeout), 30);
    QCOMPARE(device->sRegister(DeviceModel::FlowControl), 0);
    QCOMPARE(device->sRegister(DeviceModel::SerialDataRate), 7);
    QCOMPARE(device->linkRate(), 7);
    QCOMPARE(device->rs485Text(), QByteArray("o,6,000,250,2,015,100,1"));
    // The read-back leaves the window showing what the device now holds.
    COMPARE_SETTINGS(recordOf(window->record()), edited);
    COMPARE_SETTINGS(shown(), edited);
}

// A second WRITE replaces the first sequence: the first one's unanswered
// "+++" is neither repeated nor followed by its own writes.
void tst_Actions::writeTwice()
{
    setDistinctiveDevice(emulator->device());
    QVERIFY(connectDevice());
    Emulator::Fault unanswered;
    unanswered.match = "+++";
    unanswered.times = 1;
    unanswered.silent = true;
    emulator->addFault(unanswered);

    QSignalSpy progress(progressBar(), &QProgressBar::valueChanged);
    QVERIFY(progress.isValid());
    QTest::mouseClick(key("WRITE"), Qt::LeftButton);
    QTRY_COMPARE(emulator->requests(), QByteArrayList{"+++"});
    radio()->rightPanel()->powerPanel()->findChild<QDial *>()->setValue(1);
    spin("Delay Tx-Rx")->setValue(77);
    QTest::mouseClick(key("WRITE"), Qt::LeftButton);

    const Settings second = changed(distinctiveSettings, {{"Power", 1}, {"Delay Tx-Rx", 77}});
    const QByteArrayList expected = QByteArrayList{"+++"} + writesFor(second) + readAllRequests;
    QTRY_COMPARE_WITH_TIMEOUT(emulator->requests(), expected, 5000);
    QTRY_VERIFY(!progress.isEmpty() && progress.last().at(0).toInt() == 100);
    // Past the first sequence's re-send time.
    QTest::qWait(1100);
    QCOMPARE(emulator->requests(), expected);
    QCOMPARE(emulator->device()->sRegister(DeviceModel::Power), 1);
    QCOMPARE(emulator->device()->rs485().delayTxRx, 77);
}

// The defaults show before anything reaches the device; the first reset
// answered jumps straight to the record.
void tst_Actions::defaultFirstResetAnswered()
{
    setDistinctiveDevice(emulator->device());
    QVERIFY(connectDevice());
    clickIndicator(button(rs485()->serialRatePanel()->buttons(), 0));
    QCOMPARE(spin("Serial Timeout")->minimum(), 17);
    QCOMPARE(spin("Serial Timeout")->value(), 17);

    QSignalSpy progress(progressBar(), &QProgressBar::valueChanged);
    QVERIFY(progress.isValid());
    QTest::mouseClick(key("DEFAULT"), Qt::LeftButton);
    const Settings defaults{
        {"Sub-band", 2},     {"Radio Data Rate", 2},  {"Chanel", 0},         {"Power", 7},
        {"Test address", 0}, {"Serial Data Rate", 0}, {"Serial Timeout", 2}, {"Delay Tx-Rx", 0},
        {"Parity", 0},       {"Stop bit", 0},         {"Flow control", 2},   {"Radio Transmit Reset", 50},
        {"WDT Reset", 6}};
    QVERIFY(emulator->requests().isEmpty());
    COMPARE_SETTINGS(recordOf(window->record()), defaults);
    COMPARE_SETTINGS(shown(), defaults);
    QCOMPARE(spin("Serial Timeout")->minimum(), 2);
    QCOMPARE(combo("Chanel")->count(), 5);

    const QByteArrayList expected = QByteArrayList{"$30", "+++", "ATR\r", "$00,4,000,000,0,050,006,0",
                                                   "ATS206=2\r", "ATS201=2\r", "ATS200=0\r", "ATS202=7\r",
                                                   "ATS214=2\r", "ATS216=2\r", "ATO\r"}
        + readAllRequests;
    QTRY_COMPARE_WITH_TIMEOUT(emulator->requests(), expected, 5000);
    QTRY_VERIFY(!progress.isEmpty() && progress.last().at(0).toInt() == 100);
    // The read-back brings the serial rate the record set.
    const Settings device = changed(defaults, {{"Serial Data Rate", 4}});
    COMPARE_SETTINGS(recordOf(window->record()), device);
    COMPARE_SETTINGS(shown(), device);
}

// No reset is ever answered: every attempt runs, then the record is written.
void tst_Actions::defaultNoResetAnswered()
{
    setDistinctiveDevice(emulator->device());
    QVERIFY(connectDevice());
    Emulator::Fault noReset;
    noReset.match = "ATR";
    noReset.silent = true;
    emulator->addFault(noReset);

    QSignalSpy progress(progressBar(), &QProgressBar::valueChanged);
    QVERIFY(progress.isValid());
    QTest::mouseClick(key("DEFAULT"), Qt::LeftButton);
    QByteArrayList attempts{"$32", "+++", "ATR\r", "ATR\r"};
    for (int rate = 0; rate <= 7; ++rate)
        attempts << "$3" + QByteArray::number(rate) << "+++" << "ATR\r" << "ATR\r";
    const QByteArrayList expected = attempts
        + QByteArrayList{"$00,4,000,000,0,050,006,0", "ATS206=2\r", "ATS201=2\r", "ATS200=0\r",
                         "ATS202=7\r", "ATS214=2\r", "ATS216=2\r", "ATO\r"}
        + readAllRequests;
    QTRY_VERIFY_WITH_TIMEOUT(emulator->requests().contains(expected.at(attempts.size())), 21000);
    QTRY_COMPARE_WITH_TIMEOUT(emulator->requests(), expected, 5000);
    QTRY_VERIFY(!progress.isEmpty() && progress.last().at(0).toInt() == 100);
    QCOMPARE(emulator->device()->rs485Text(), QByteArray("0,4,000,000,0,050,006,0"));
}

void tst_Actions::failurePrompt_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("goesOn");

    QTest::newRow("yes") << int(BoxAnswerer::Yes) << true;
    QTest::newRow("no") << int(BoxAnswerer::No) << false;
    QTest::newRow("escape") << int(BoxAnswerer::Escape) << false;
    QTest::newRow("close control") << int(BoxAnswerer::Close) << false;
}

// The power write gets no answer during WRITE. Serial timeout and flow
// control are edited so that a read-back would show in the record.
void tst_Actions::failurePrompt()
{
    QFETCH(int, answer);
    QFETCH(bool, goesOn);

    setDistinctiveDevice(emulator->device());
    QVERIFY(connectDevice());
    spin("Serial Timeout")->setValue(60);
    combo("Flow control")->setCurrentIndex(1);
    const Settings edited = changed(distinctiveSettings, {{"Serial Timeout", 60}, {"Flow control", 0}});
    COMPARE_SETTINGS(recordOf(window->record()), edited);
    const Settings shownBefore = shown();
    Emulator::Fault silent;
    silent.match = "ATS202=";
    silent.silent = true;
    emulator->addFault(silent);

    boxes->answer = BoxAnswerer::Answer(answer);
    QTest::mouseClick(key("WRITE"), Qt::LeftButton);
    const QByteArrayList writes = writesFor(edited);
    QCOMPARE(writes.at(7), QByteArray("ATS202=4\r"));
    const QByteArrayList untilPrompt = writes.mid(0, 8) + QByteArrayList{writes.at(7)};
    QTRY_COMPARE_WITH_TIMEOUT(boxes->seen.size(), 1, 5000);
    const BoxAnswerer::Seen prompt = boxes->seen.takeFirst();
    QCOMPARE(prompt.title, QString("ATS202=4\r"));
    QCOMPARE(prompt.text, QString::fromUtf8("Ошибка выполнения команды. Продолжить?"));
    QCOMPARE(prompt.buttons, QMessageBox::Yes | QMessageBox::No);

    if (goesOn) {
        QTRY_COMPARE_WITH_TIMEOUT(emulator->requests(), untilPrompt + writes.mid(8) + readAllRequests, 5000);
        QTRY_COMPARE(progressBar()->value(), 100);
        COMPARE_SETTINGS(recordOf(window->record()), edited);
        return;
    }
    QTRY_COMPARE(progressBar()->value(), 100);
    QTest::qWait(1100);
    QCOMPARE(emulator->requests(), untilPrompt);
    QCOMPARE(progressBar()->value(), 100);
    COMPARE_SETTINGS(recordOf(window->record()), edited);
    COMPARE_SETTINGS(shown(), shownBefore);
}

void tst_Actions::serialDataRateSetsTimeout_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("timeout");

    // Rates 0 to 7 are chosen with their buttons; there is none above.
    QTest::newRow("3") << 3 << 3;
    QTest::newRow("0") << 0 << 17;
    QTest::newRow("7") << 7 << 2;
    QTest::newRow("8") << 8 << 3;
    QTest::newRow("200") << 200 << 3;
}

void tst_Actions::serialDataRateSetsTimeout()
{
    QFETCH(int, rate);
    QFETCH(int, timeout);

    window->setPanelsEnabled(true);
    spin("Serial Timeout")->setValue(100);
    QCOMPARE(window->record()->serialTimeout, quint8(100));
    if (rate < 8)
        clickIndicator(button(rs485()->serialRatePanel()->buttons(), rate));
    else
        window->slValueChange(QStringLiteral("Serial Data Rate"), rate);
    QCOMPARE(window->record()->serialDataRate, quint8(rate));
    QCOMPARE(window->record()->serialTimeout, quint8(timeout));
    QCOMPARE(spin("Serial Timeout")->value(), timeout);
    QCOMPARE(spin("Serial Timeout")->minimum(), timeout);
}

void tst_Actions::flowControlStored_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("stored");

    QTest::newRow("HardWare") << 1 << "HardWare" << 0;
    QTest::newRow("None") << 0 << "None" << 2;
}

void tst_Actions::flowControlStored()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(int, stored);

    window->setPanelsEnabled(true);
    combo("Flow control")->setCurrentIndex(1 - index);
    QCOMPARE(window->record()->flowControl, quint8(2 - stored));
    combo("Flow control")->setCurrentIndex(index);
    QCOMPARE(combo("Flow control")->currentText(), text);
    QCOMPARE(window->record()->flowControl, quint8(stored));
}

void tst_Actions::lowEightBits_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("stored");

    QTest::newRow("power 263") << "Power" << 263 << 7;
    QTest::newRow("delay 300") << "Delay Tx-Rx" << 300 << 44;
    QTest::newRow("address 319") << "Test address" << 319 << 63;
    QTest::newRow("parity -1") << "Parity" << -1 << 255;
}

void tst_Actions::lowEightBits()
{
    QFETCH(QString, name);
    QFETCH(int, value);
    QFETCH(int, stored);

    // A combo box reports -1 while no entry is selected; larger values can
    // only come from a caller of the dispatch.
    if (value < 0)
        combo(name.toLatin1().constData())->setCurrentIndex(value);
    else
        window->slValueChange(name, value);
    QCOMPARE(recordOf(window->record()).value(name), stored);
}

void tst_Actions::freezeProtectionKey()
{
    window->setPanelsEnabled(true);
    auto *panel = window->findChild<W_FreezProtection *>();
    const int height = window->height();
    QVERIFY(panel->isHidden());

    QTest::mouseClick(key("Freeze Protection"), Qt::LeftButton);
    QVERIFY(key("Freeze Protection")->isChecked());
    QVERIFY(panel->isVisible());
    QTRY_COMPARE(window->height(), height + 75);

    QTest::mouseClick(key("Freeze Protection"), Qt::LeftButton);
    QVERIFY(!key("Freeze Protection")->isChecked());
    QVERIFY(panel->isHidden());
    QTRY_COMPARE(window->height(), height);
}

void tst_Actions::answerConversions_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArrayList>("fields");
    QTest::addColumn<Settings>("before");
    QTest::addColumn<Settings>("recorded");
    QTest::addColumn<Settings>("displayed");

    const Settings hardware{{"Flow control", 0}};
    const Settings none{{"Flow control", 2}};
    QTest::newRow("flow control 0") << int(E_GetFlowControl) << QByteArrayList{"0"} << none << hardware << hardware;
    QTest::newRow("flow control 1") << int(E_GetFlowControl) << QByteArrayList{"1"} << hardware << none << none;
    QTest::newRow("flow control 7") << int(E_GetFlowControl) << QByteArrayList{"7"} << hardware << none << none;
    QTest::newRow("flow control abc") << int(E_GetFlowControl) << QByteArrayList{"abc"} << none << hardware << hardware;

    const Settings someAddress{{"Test address", 5}, {"Serial Timeout", 50}};
    const Settings record{{"Serial Data Rate", 3}, {"Delay Tx-Rx", 20}, {"Parity", 1},
                          {"Radio Transmit Reset", 100}, {"WDT Reset", 12}, {"Stop bit", 1}};
    const QByteArrayList recordFields{"3", "000", "020", "1", "100", "012", "1"};
    const Settings address7 = changed(record, {{"Test address", 7}});
    const Settings address12 = changed(record, {{"Test address", 1}});
    QTest::newRow("record, address 7")
        << int(E_GetRs485) << QByteArrayList{"7"} + recordFields << someAddress << address7 << address7;
    QTest::newRow("record, address 12")
        << int(E_GetRs485) << QByteArrayList{"12"} + recordFields << someAddress << address12 << address12;
    QTest::newRow("record, empty address")
        << int(E_GetRs485) << QByteArrayList{""} + recordFields << someAddress << record << record;
    const Settings delay300{{"Test address", 9}, {"Serial Data Rate", 4}, {"Delay Tx-Rx", 44},
                           {"Radio Transmit Reset", 50}, {"WDT Reset", 6}};
    QTest::newRow("record, delay 300")
        << int(E_GetRs485) << QByteArrayList{"9", "4", "000", "300", "0", "050", "006", "0"}
        << someAddress << delay300 << delay300;
    // The panel has no button for sub-band 3.
    QTest::newRow("sub-band 3") << int(E_GetSubBand) << QByteArrayList{"3"} << Settings()
                                << Settings{{"Sub-band", 3}} << Settings();
    QTest::newRow("write confirmation") << int(E_SetPower) << QByteArrayList{"5"} << someAddress
                                        << Settings() << Settings();
}

void tst_Actions::answerConversions()
{
    QFETCH(int, type);
    QFETCH(QByteArrayList, fields);
    QFETCH(Settings, before);
    QFETCH(Settings, recorded);
    QFETCH(Settings, displayed);

    window->setPanelsEnabled(true);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        edit(it.key(), it.value());
    const Settings recordBefore = recordOf(window->record());
    const Settings shownBefore = shown();
    COMPARE_SETTINGS(recordBefore, before);
    const QString title = window->windowTitle();

    window->slSetSettings(TypeParser(type), fields);
    COMPARE_SETTINGS(recordOf(window->record()), changed(recordBefore, recorded));
    COMPARE_SETTINGS(shown(), changed(shownBefore, displayed));
    QCOMPARE(window->windowTitle(), title);
    if (type == E_GetFlowControl) {
        QCOMPARE(combo("Flow control")->currentText(),
                 QString(recorded["Flow control"] == 0 ? "HardWare" : "None"));
    }
}

QTEST_MAIN(tst_Actions)
#include "tst_actions.moc"
