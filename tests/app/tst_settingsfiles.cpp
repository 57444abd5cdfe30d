#include "startupfile.h"
#include "settingsfile.h"
#include "trafficlogwindow.h"
#include "windowtesting.h"

#include <functional>

namespace {
// The example record: twelve signed setting bytes, the port name "COM1" as a stream string, flow control.
const QByteArray exampleFile = QByteArray::fromHex("00070200000002023204060000000008" "0043004F004D003102");
const Settings exampleSettings{{"Delay Tx-Rx", 0}, {"Power", 7}, {"Radio Data Rate", 2}, {"Chanel", 0}, {"Parity", 0},
    {"Stop bit", 0}, {"Sub-band", 2}, {"Serial Timeout", 2}, {"Radio Transmit Reset", 50}, {"Serial Data Rate", 4},
    {"WDT Reset", 6}, {"Test address", 0}, {"Flow control", 2}};

// The example file with some bytes replaced, by index.
QByteArray exampleWith(const QMap<int, char> &changes)
{
    QByteArray bytes = exampleFile;
    for (auto it = changes.cbegin(); it != changes.cend(); ++it)
        bytes[it.key()] = it.value();
    return bytes;
}
} // namespace

// The main window's settings files: what is written, what a load shows, and
// how a file that cannot be used is refused.
class tst_SettingsFiles : public QObject, private WindowRig
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void loadOverExample_data();
    void loadOverExample();
    void refusedAsTheScriptRefuses();
    void savesAndOpensThroughDialogs();
    void startupFile();
    void savesOntoFullDisk();
};

void tst_SettingsFiles::initTestCase()
{
    setUpApplication();
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

// A file (no bytes: a missing one) loads over the example, record and panels alike: the channel
// list follows the loaded rate (byte 2) and keeps the loaded channel (byte 3). A file that ends before
// the flow-control byte (twelve bytes alone, or the start-up file's layout) keeps the flow control shown
// and says so. A file that cannot be used, or that ends inside its settings or its port name, is refused
// with a message naming it, and record and panels stay as they were.
void tst_SettingsFiles::loadOverExample_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("told");
    QTest::addColumn<Settings>("settings");
    QTest::addColumn<QString>("portName");

    const Settings chanel9 = changed(exampleSettings, {{"Radio Data Rate", 0}, {"Chanel", 9}});
    const Settings chanel3 = changed(exampleSettings, {{"Chanel", 3}});
    const QString noFlow = "holds no \"Flow control\"";
    const QString incomplete = "incomplete";
    QTest::newRow("rate 0, channel 9") << exampleWith({{2, 0}, {3, 9}}) << false << QString() << chanel9 << "COM1";
    QTest::newRow("twelve bytes") << exampleWith({{3, 3}}).left(12) << false << noFlow << chanel3 << QString();
    QTest::newRow("no flow-control byte") << exampleWith({{3, 3}}).left(24) << false << noFlow << chanel3 << "COM1";
    QTest::newRow("missing") << QByteArray() << true << "No such file" << exampleSettings << "COM1";
    QTest::newRow("inside the port name") << exampleFile.left(20) << true << incomplete << exampleSettings << "COM1";
}

void tst_SettingsFiles::loadOverExample()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, refused);
    QFETCH(QString, told);
    QFETCH(Settings, settings);
    QFETCH(QString, portName);
    QVERIFY(writeFile("example.ryd", exampleFile) && window->loadSettingsFrom("example.ryd"));
    const QString path = workDir.filePath(QStringLiteral("%1.ryd").arg(QTest::currentDataTag()));

    QCOMPARE((bytes.isNull() || writeFile(path, bytes)) && window->loadSettingsFrom(path), !refused);
    QCOMPARE(boxes->seen.size(), told.isEmpty() ? 0 : 1);
    if (!told.isEmpty()) {
        const BoxAnswerer::Seen box = boxes->seen.takeFirst();
        QCOMPARE(box.title, QString("Open Settings"));
        QVERIFY2(box.text.contains(path) && box.text.contains(told), qPrintable(box.text));
    }
    COMPARE_SETTINGS(recordOf(window->record()), settings);
    COMPARE_SETTINGS(shown(), settings);
    QCOMPARE(window->record()->portName, portName);
}

// A file holding a value the device does not take is refused, the setting named with the file's value and
// the values allowed; ryd-cli refuses it in the same words and sends nothing. The record and the
// panels stay as the device gave them, and a WRITE of an edit then sends none of the files' values.
void tst_SettingsFiles::refusedAsTheScriptRefuses()
{
    const QString said = "\"Power\" holds 9 (allowed: 0 to 7)";
    QVERIFY(connectDevice());
    const Settings device = heldBy(emulator->device());
    const QString path = workDir.filePath("refused.ryd");
    QVERIFY(writeFile(path, exampleWith({{1, 9}})) && !window->loadSettingsFrom(path));
    QCOMPARE(boxes->seen.size(), 1);
    const BoxAnswerer::Seen box = boxes->seen.takeFirst();
    QCOMPARE(box.title, QString("Open Settings"));
    QCOMPARE(box.text, QStringLiteral("The settings could not be loaded from \"%1\": %2").arg(path, said));
    QProcess script;
    script.start(RYD_CLI, {"write", "--port", workDir.filePath("ttyNone"), path});
    QVERIFY(script.waitForFinished(10000));
    QCOMPARE(script.exitCode(), 5);
    QCOMPARE(QString::fromLocal8Bit(script.readAllStandardError()), "ryd-cli: " + box.text + "\n");
    COMPARE_SETTINGS(recordOf(window->record()), device);
    COMPARE_SETTINGS(shown(), device);
    spin("Delay Tx-Rx")->setValue(device.value("Delay Tx-Rx") + 1);
    QVERIFY(runSequence("WRITE"));
    COMPARE_SETTINGS(heldBy(emulator->device()), changed(device, {{"Delay Tx-Rx", device.value("Delay Tx-Rx") + 1}}));
}

// As the operator does it: "Open Settings" of a file brings its record in, and "Save Settings" with a
// name typed without an extension writes the same bytes under that name plus ".ryd"; where that file
// exists, the dialog asks first, and "No" leaves it alone. A place that cannot be written is refused with
// a message.
void tst_SettingsFiles::savesAndOpensThroughDialogs()
{
    QVERIFY(writeFile("site-a.ryd", exampleFile));
    answerFileDialog(workDir.filePath("site-a.ryd"));
    QTest::mouseClick(key("Open Settings"), Qt::LeftButton);
    COMPARE_SETTINGS(recordOf(window->record()), exampleSettings);

    const QByteArray other = exampleWith({{1, 3}});
    QVERIFY(writeFile("site-c.ryd", other));
    answerFileDialog(workDir.filePath("site-c"));
    // The question is answered No; the dialog, still open, is then cancelled.
    QTimer::singleShot(500, [] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    QTest::mouseClick(key("Save Settings"), Qt::LeftButton);
    QCOMPARE(boxes->seen.size(), 1);
    QVERIFY2(boxes->seen.takeFirst().text.startsWith("site-c.ryd already exists"), "no question asked");
    QCOMPARE(readFile("site-c.ryd").toHex(' '), other.toHex(' '));

    answerFileDialog(workDir.filePath("site-b"));
    QTest::mouseClick(key("Save Settings"), Qt::LeftButton);
    QCOMPARE(readFile("site-b.ryd").toHex(' '), exampleFile.toHex(' '));

    const QString unwritable = workDir.filePath("absent/new.ryd");
    QVERIFY(!window->saveSettingsTo(unwritable));
    QCOMPARE(boxes->seen.size(), 1);
    QVERIFY(boxes->seen.takeFirst().text.contains(unwritable));
}

// The window of this test wrote its start-up file when it was built: twelve signed bytes, then the port
// name as a stream string; no flow control. The record holds what the panels show at start: the serial
// timeout at the floor of 1200 bps (17), the radio transmit reset at its minimum (10). A start-up file that
// cannot be written is not read back: /dev/full takes no writes and reads as zeros, which would wipe the record;
// nor is one that reads back a record the device does not take: /dev/zero takes the writes and reads as zeros.
void tst_SettingsFiles::startupFile()
{
    const QByteArray expected = QByteArray::fromHex("00000000000000110A000000" "00000008" "0043004F004D0031");
    QCOMPARE(readFile("test_ryd").toHex(' '), expected.toHex(' '));

    Data data;
    setRecord(&data, {{"Power", 5}, {"Serial Timeout", 17}, {"Radio Transmit Reset", 10}});
    QVERIFY(StartupFile::write(data, "written_ryd"));
    QVERIFY(QFile::link("/dev/full", "full_ryd") && QFile::link("/dev/zero", "zero_ryd"));
    QVERIFY(!StartupFile::write(data, "full_ryd"));
    QVERIFY(!StartupFile::write(data, "zero_ryd"));
    QCOMPARE(data.power, quint8(5));
}

// Every save onto a full disk is told, naming the file and the system's
// reason, and leaves the file that was there as it was.
void tst_SettingsFiles::savesOntoFullDisk()
{
    const QByteArray old = exampleFile;
    FullDisk disk({{"old.ryd", old}});
    SKIP_UNLESS_FULL(disk);
    const QString target = disk.filePath("old.ryd");
    QTest::mouseClick(key("Traffic Log"), Qt::LeftButton);
    TrafficLogWindow *log = window->findChild<TrafficLogWindow *>();
    QVERIFY(log);
    const QList<QPair<QString, std::function<bool()>>> saves{
        {"Save Settings", [&] { return window->saveSettingsTo(target); }},
        {"Save Report", [&] { return testPanel()->saveReportTo(target); }},
        {"Save Log", [&] { return log->saveLogTo(target); }},
    };
    for (const auto &save : saves) {
        QVERIFY2(!save.second(), qPrintable(save.first));
        QTRY_COMPARE(boxes->seen.size(), 1);
        const BoxAnswerer::Seen box = boxes->seen.takeFirst();
        QCOMPARE(box.title, save.first);
        QVERIFY2(box.text.contains(target) && box.text.contains("No space left on device"), qPrintable(box.text));
        QCOMPARE(readFile(target), old);
    }
}

QTEST_MAIN(tst_SettingsFiles)
#include "tst_settingsfiles.moc"
