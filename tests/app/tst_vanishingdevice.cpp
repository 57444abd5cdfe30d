#include "w_adres.h"
#include "windowtesting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSerialPort>

#include <unistd.h>

class tst_VanishingDevice : public QObject, private WindowRig
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }
    void hangUpMidSequence_data();
    void hangUpMidSequence();
    void hangUpWhileFailurePromptIsOpen();
    void connectFails_data();
    void connectFails();

private:
    void verifyLost(const QByteArray &halfDone = {});
};

// One message tells of the lost device, in plain words and the port first (the system's own words may
// follow), and the window is disconnected.
// A write the loss ended half way is told next, in a box of its own.
void tst_VanishingDevice::verifyLost(const QByteArray &halfDone)
{
    QTRY_COMPARE_WITH_TIMEOUT(boxes->seen.size(), halfDone.isEmpty() ? 1 : 2, 15000);
    if (!halfDone.isEmpty()) {
        const BoxAnswerer::Seen half = boxes->seen.takeLast();
        QCOMPARE(half.title, QString(halfDone));
        QVERIFY2(half.text.contains("The device may now hold part of the new settings."), qPrintable(half.text));
    }
    const BoxAnswerer::Seen lost = boxes->seen.takeFirst();
    QCOMPARE(lost.title, QString("Connection lost"));
    const QString firstLine = lost.text.section('\n', 0, 0);
    QVERIFY2(firstLine.contains(portName) && firstLine.contains("the adapter was unplugged or the line was closed"),
             qPrintable(lost.text));
    verifyDisconnected();
}

void tst_VanishingDevice::hangUpMidSequence_data()
{
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<QByteArray>("hangUpAt");
    QTest::newRow("read-all on connect") << QByteArray("pbOpen") << QByteArray("ATS201?");
    QTest::newRow("READ") << QByteArray("READ") << QByteArray("ATS200?");
    QTest::newRow("WRITE") << QByteArray("WRITE") << QByteArray("ATS202=");
    QTest::newRow("DEFAULT") << QByteArray("DEFAULT") << QByteArray("$0");
    QTest::newRow("radio test") << QByteArray("TEST") << QByteArray("!011");
}

// The line goes in the middle of each sequence. The port row keeps the lost port, told absent, and
// "Connect" opens no other. The adapter comes back under a new name: the port row offers it, the
// operator picks it, the same window connects again and a second loss is told as the first was.
void tst_VanishingDevice::hangUpMidSequence()
{
    QFETCH(QByteArray, action);
    QFETCH(QByteArray, hangUpAt);
    if (action != "pbOpen")
        QVERIFY(connectDevice());
    fastTimers();
    rowsOf(testPanel()).at(0)->checkBox()->setChecked(true);
    Emulator::Fault fault;
    fault.match = hangUpAt;
    fault.hangUp = true;
    emulator->addFault(fault);

    const bool writes = action == "WRITE" || action == "DEFAULT";
    if (action == "WRITE")
        spin("Delay Tx-Rx")->setValue(spin("Delay Tx-Rx")->value() + 1);
    if (action == "DEFAULT")
        pressDefault();
    else if (action == "TEST")
        QTest::mouseClick(testKeyOf(testPanel()), Qt::LeftButton);
    else
        QTest::mouseClick(key(action.constData()), Qt::LeftButton);
    verifyLost(writes ? action : QByteArray());
    if (action == "WRITE") {
        // The edit the device may not have stays marked, and closing asks.
        QCOMPARE(marks().keys(), QStringList{"Delay Tx-Rx"});
        boxes->answer = BoxAnswerer::No;
        window->close();
        QCOMPARE(boxes->seen.takeFirst().text, discardQuestion);
        QVERIFY(window->isVisible());
    }

    // Another adapter is plugged in meanwhile.
    const QString lost = std::exchange(portName, workDir.filePath("ttyOther"));
    window->portPanel()->slUpdatePortName();
    QComboBox *ports = combo("PortName");
    QCOMPARE(ports->currentText(), lost);
    QVERIFY2(ports->toolTip().startsWith(QString("The port %1 is not present now").arg(lost)),
             qPrintable(ports->toolTip()));
    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    QTRY_COMPARE(boxes->seen.size(), 1);
    QVERIFY2(boxes->seen.takeFirst().text.contains(lost + " does not exist"), qPrintable(lost));
    verifyDisconnected();

    emulator->clearFaults();
    QVERIFY(emulator->open());
    portName = emulator->portName();
    window->portPanel()->slUpdatePortName();
    ports->setCurrentIndex(ports->findText(portName));
    window->portPanel()->slUpdatePortName();
    QCOMPARE(ports->findText(lost), portName == lost ? 0 : -1);
    emulator->clearRequests();
    QVERIFY(connectDevice());
    emulator->hangUp();
    verifyLost();
}

// An open failure prompt is closed for the operator: the one message about the lost device replaces it.
void tst_VanishingDevice::hangUpWhileFailurePromptIsOpen()
{
    QVERIFY(connectDevice());
    // Set once connected: a loaded machine may take longer than these to answer the read-all.
    fastTimers();
    emulator->addFault(silentFault("ATS206?"));

    boxes->answer = BoxAnswerer::Leave;
    QTimer hangUp;
    connect(&hangUp, &QTimer::timeout, this, [this] {
        if (boxes->seen.size() == 1 && emulator->isOpen())
            emulator->hangUp();
    });
    hangUp.start(20);

    QTest::mouseClick(key("READ"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(boxes->seen.size(), 2, 6000);
    QCOMPARE(boxes->seen.takeFirst().title, QString("ATS206?"));
    verifyLost();
    QTRY_VERIFY(!QApplication::activeModalWidget());
}

void tst_VanishingDevice::connectFails_data()
{
    QTest::addColumn<QString>("why");
    QTest::newRow("missing") << "does not exist";
    QTest::newRow("held by another program") << "is in use by another program";
    QTest::newRow("permission denied") << "permission denied";
}

// One message names the port and the reason, and the window stays disconnected.
void tst_VanishingDevice::connectFails()
{
    QFETCH(QString, why);
    const QByteArray row = QTest::currentDataTag();
    QSerialPort holder(portName);
    if (row == "missing") {
        portName = workDir.filePath("ttyGone");
        window->portPanel()->slUpdatePortName();
    } else if (row == "held by another program") {
        QVERIFY2(holder.open(QIODevice::ReadWrite), qPrintable(holder.errorString()));
    } else {
        if (geteuid() == 0)
            QSKIP("root may open every device file");
        QVERIFY(QFile::setPermissions(portName, {}));
        why = QString("permission denied. Its device file %1 belongs to the group \"%2\", and your user must belong")
                  .arg(portName, QFileInfo(portName).group());
    }
    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    QTRY_COMPARE(boxes->seen.size(), 1);
    const BoxAnswerer::Seen box = boxes->seen.takeFirst();
    QVERIFY2(box.text.contains(portName) && box.text.contains(why), qPrintable(box.text));
    verifyDisconnected();
}

QTEST_MAIN(tst_VanishingDevice)
#include "tst_vanishingdevice.moc"
