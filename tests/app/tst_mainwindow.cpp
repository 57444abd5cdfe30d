#include "data.h"
#include "exchange.h"
#include "mainwindow.h"
#include "w_freezprotection.h"
#include "w_key.h"
#include "w_radio.h"
#include "w_rs485.h"
#include "w_test.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

// Collects the dispatch's trace lines, one per call of slValueChange.
QStringList dispatched;
QtMessageHandler previousHandler = nullptr;

void collectDispatch(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (qstrcmp(context.category, "ryd.mainwindow") == 0 && message.startsWith("slValueChange"))
        dispatched.append(message);
    else
        previousHandler(type, context, message);
}

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void initialState();
    void startupFileBytes();
    void startupFileRoundTrip();
    void startupFileNotWritable();
    void readOnlyWorkingDirectory();
    void panelChangesReachDispatch_data();
    void panelChangesReachDispatch();
    void testPanelDoesNotReachDispatch();

private:
    QTemporaryDir workDir;
};

void tst_MainWindow::initTestCase()
{
    QVERIFY(workDir.isValid());
    QVERIFY(QDir::setCurrent(workDir.path()));
    QLoggingCategory::setFilterRules("ryd.mainwindow.debug=true");
    previousHandler = qInstallMessageHandler(collectDispatch);
}

void tst_MainWindow::cleanupTestCase()
{
    qInstallMessageHandler(previousHandler);
}

void tst_MainWindow::initialState()
{
    MainWindow window(nullptr, [] { return QStringList{"ttyS0"}; });
    window.show();
    QCOMPARE(window.windowTitle(), QString::fromUtf8("Рыд Конфигуратор v.1.1.14"));

    auto *comPort = window.findChild<W_ComPort *>();
    QVERIFY(comPort);
    QVERIFY(comPort->isEnabled());
    QCOMPARE(window.findChild<QPushButton *>("pbOpen")->text(), QString("Connect"));

    QVERIFY(!window.findChild<W_Key *>()->isEnabled());
    QVERIFY(!window.findChild<W_Radio *>()->isEnabled());
    QVERIFY(!window.findChild<W_Rs485 *>()->isEnabled());
    QVERIFY(!window.findChild<W_FreezProtection *>()->isEnabled());
    QVERIFY(!window.findChild<W_Test *>()->isEnabled());
    QVERIFY(!window.findChild<QProgressBar *>()->isEnabled());
    QVERIFY(window.findChild<W_FreezProtection *>()->isHidden());
    QVERIFY(window.findChild<W_Test *>()->isVisible());
    QCOMPARE(window.findChild<QProgressBar *>()->maximum(), 100);
    QCOMPARE(window.size(), window.minimumSize());
}

// Twelve signed bytes, then the port name as a stream string; no flow control.
// The record holds what the panels show at start: the serial timeout at the
// floor of 1200 bps (17) and the radio transmit reset at its minimum (10).
void tst_MainWindow::startupFileBytes()
{
    QFile::remove("test_ryd");
    MainWindow window(nullptr, [] { return QStringList(); });
    const QByteArray expected = QByteArray::fromHex("00000000000000110a000000")
        + QByteArray::fromHex("00000008") + QByteArray::fromHex("0043004F004D0031");
    QCOMPARE(readAll("test_ryd").toHex(), expected.toHex());
}

void tst_MainWindow::startupFileRoundTrip()
{
    Data data;
    data.delayTxRx = 1;
    data.power = 7;
    data.radioDataRate = 2;
    data.chanel = 3;
    data.parity = 2;
    data.stopBit = 1;
    data.subBand = 2;
    data.serialTimeout = 17;
    data.radioTransmitReset = 200;
    data.serialDataRate = 4;
    data.wdtReset = 250;
    data.testAddress = 63;
    data.flowControl = 2;
    data.portName = "ttyUSB0";
    QVERIFY(MainWindow::writeStartupFile(&data, "test_ryd"));
    const QByteArray expected = QByteArray::fromHex("0107020302010211C804FA3F")
        + QByteArray::fromHex("0000000E") + QByteArray::fromHex("0074007400790055005300420030");
    QCOMPARE(readAll("test_ryd").toHex(), expected.toHex());
    // Read back unchanged, including values above 127.
    QCOMPARE(data.radioTransmitReset, quint8(200));
    QCOMPARE(data.wdtReset, quint8(250));
    QCOMPARE(data.flowControl, quint8(2));
}

// A start-up file that cannot be written must not be read back: here writes
// fail while reads return zeros, which would wipe the record.
void tst_MainWindow::startupFileNotWritable()
{
    if (!QFile::exists("/dev/full"))
        QSKIP("needs /dev/full");
    QFile::remove("test_ryd");
    QVERIFY(QFile::link("/dev/full", "test_ryd"));
    Data data;
    data.power = 5;
    data.serialTimeout = 9;
    data.testAddress = 12;
    QVERIFY(!MainWindow::writeStartupFile(&data, "test_ryd"));
    QCOMPARE(data.power, quint8(5));
    QCOMPARE(data.serialTimeout, quint8(9));
    QCOMPARE(data.testAddress, quint8(12));
    QVERIFY(QFile::remove("test_ryd"));
}

void tst_MainWindow::readOnlyWorkingDirectory()
{
    // Root may write anywhere on disk; /proc refuses new files even to root.
    QTemporaryDir readOnly;
    QString dir = readOnly.path();
    if (geteuid() == 0)
        dir = "/proc";
    else
        QVERIFY(QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir));
    {
        MainWindow window(nullptr, [] { return QStringList(); });
        QCOMPARE(window.windowTitle(), QString::fromUtf8("Рыд Конфигуратор v.1.1.14"));
        QVERIFY(!QFile::exists("test_ryd"));
        QCOMPARE(window.record()->portName, QString("COM1"));
    }
    QVERIFY(QDir::setCurrent(previous));
    QFile::setPermissions(readOnly.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void tst_MainWindow::panelChangesReachDispatch_data()
{
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("value");
    QTest::newRow("port") << "port" << "PortName" << 1;
    QTest::newRow("keys") << "keys" << "Freeze Protection" << 0;
    QTest::newRow("radio") << "radio" << "Test address" << 21;
    QTest::newRow("rs485") << "rs485" << "Delay Tx-Rx" << 33;
    QTest::newRow("freeze protection") << "freeze" << "WDT Reset" << 4;
}

void tst_MainWindow::panelChangesReachDispatch()
{
    QFETCH(QString, panel);
    QFETCH(QString, name);
    QFETCH(int, value);
    MainWindow window(nullptr, [] { return QStringList{"ttyS0", "ttyS1"}; });
    window.show();
    dispatched.clear();

    if (panel == "port") {
        window.findChild<QComboBox *>("PortName")->setCurrentIndex(value);
    } else if (panel == "keys") {
        // Disabled until connected; the key reports its state all the same.
        auto *key = window.findChild<W_Key *>()->findChild<QPushButton *>(name);
        QVERIFY(key);
        emit key->pressed();
    } else if (panel == "radio") {
        window.findChild<W_Radio *>()->findChild<QSpinBox *>(name)->setValue(value);
        QCOMPARE(window.record()->testAddress, quint8(value));
    } else if (panel == "rs485") {
        window.findChild<W_Rs485 *>()->findChild<QSpinBox *>(name)->setValue(value);
        QCOMPARE(window.record()->delayTxRx, quint8(value));
    } else {
        window.findChild<W_FreezProtection *>()->findChild<QComboBox *>(name)->setCurrentIndex(value);
        QCOMPARE(window.record()->wdtReset, quint8(value));
    }
    QVERIFY2(dispatched.contains(QString("slValueChange \"%1\" %2").arg(name).arg(value)),
             qPrintable(dispatched.join('\n')));
}

void tst_MainWindow::testPanelDoesNotReachDispatch()
{
    MainWindow window(nullptr, [] { return QStringList(); });
    window.show();
    auto *test = window.findChild<W_Test *>();
    test->setEnabled(true);
    dispatched.clear();

    auto *clean = test->findChild<QPushButton *>();
    QVERIFY(clean);
    for (QPushButton *button : test->findChildren<QPushButton *>())
        emit button->pressed();
    for (QSpinBox *spin : test->findChildren<QSpinBox *>())
        spin->setValue(spin->value() + 1);
    QVERIFY2(dispatched.isEmpty(), qPrintable(dispatched.join('\n')));
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
