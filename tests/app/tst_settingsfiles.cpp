#include "settingsfile.h"
#include "windowtesting.h"

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
    void savesAndOpensThroughDialogs();
    void startupFile();
};

void tst_SettingsFiles::initTestCase()
{
    setUpApplication();
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

// A file (no bytes: a missing one) loads over the example, record and panels alike: the channel
// list follows the loaded rate (byte 2) and keeps the loaded channel (byte 3), and the older twelve-byte
// layout has no port name and no flow control ("HardWare"). A file that cannot be used is refused with a
// message naming it, and record and panels stay as they were.
void tst_SettingsFiles::loadOverExample_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<Settings>("settings");
    QTest::addColumn<QString>("portName");

    const Settings chanel9 = changed(exampleSettings, {{"Radio Data Rate", 0}, {"Chanel", 9}});
    const Settings twelve = changed(exampleSettings, {{"Chanel", 3}, {"Flow control", 0}});
    QTest::newRow("rate 0, channel 9") << exampleWith({{2, 0}, {3, 9}}) << false << chanel9 << "COM1";
    QTest::newRow("twelve bytes") << exampleWith({{3, 3}}).left(12) << false << twelve << QString();
    QTest::newRow("missing") << QByteArray() << true << exampleSettings << "COM1";
    QTest::newRow("eleven bytes") << exampleFile.left(11) << true << exampleSettings << "COM1";
    QTest::newRow("parity past its list") << exampleWith({{4, 4}}) << true << exampleSettings << "COM1";
    QTest::newRow("serial rate without a button") << exampleWith({{9, 8}}) << true << exampleSettings << "COM1";
}

void tst_SettingsFiles::loadOverExample()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, refused);
    QFETCH(Settings, settings);
    QFETCH(QString, portName);
    QVERIFY(writeFile("example.ryd", exampleFile) && window->loadSettingsFrom("example.ryd"));
    const QString path = workDir.filePath(QStringLiteral("%1.ryd").arg(QTest::currentDataTag()));

    QCOMPARE((bytes.isNull() || writeFile(path, bytes)) && window->loadSettingsFrom(path), !refused);
    QCOMPARE(boxes->seen.size(), refused ? 1 : 0);
    if (refused)
        QVERIFY(boxes->seen.takeFirst().text.contains(path));
    COMPARE_SETTINGS(recordOf(window->record()), settings);
    COMPARE_SETTINGS(shown(), settings);
    QCOMPARE(window->record()->portName, portName);
}

// As the operator does it: "Open Settings" of a file brings its record in, and "Save Settings" with a
// name typed without an extension writes the same bytes under that name plus ".ryd". A place that cannot
// be written is refused with a message.
void tst_SettingsFiles::savesAndOpensThroughDialogs()
{
    QVERIFY(writeFile("site-a.ryd", exampleFile));
    answerFileDialog(workDir.filePath("site-a.ryd"));
    QTest::mouseClick(key("Open Settings"), Qt::LeftButton);
    COMPARE_SETTINGS(recordOf(window->record()), exampleSettings);

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
// cannot be written is not read back: /dev/full takes no writes and reads as zeros, which would wipe the record.
void tst_SettingsFiles::startupFile()
{
    const QByteArray expected = QByteArray::fromHex("00000000000000110A000000" "00000008" "0043004F004D0031");
    QCOMPARE(readFile("test_ryd").toHex(' '), expected.toHex(' '));

    Data data;
    data.power = 5;
    QVERIFY(MainWindow::writeStartupFile(&data, "written_ryd"));
    QVERIFY(QFile::link("/dev/full", "full_ryd"));
    QVERIFY(!MainWindow::writeStartupFile(&data, "full_ryd"));
    QVERIFY(!SettingsFile::decodeStartup(exampleFile.left(11), data));
    QCOMPARE(data.power, quint8(5));
}

QTEST_MAIN(tst_SettingsFiles)
#include "tst_settingsfiles.moc"
