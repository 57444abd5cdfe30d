#include "windowtesting.h"

#include <QFile>
#include <QFileDialog>

namespace {
// The example record of the settings file description, port "COM1": twelve
// signed setting bytes, the port name as a stream string, flow control.
const QByteArray exampleFile = QByteArray::fromHex("00070200000002023204060000000008" "0043004F004D003102");
const Settings exampleSettings{
    {"Delay Tx-Rx", 0}, {"Power", 7}, {"Radio Data Rate", 2}, {"Chanel", 0}, {"Parity", 0}, {"Stop bit", 0},
    {"Sub-band", 2}, {"Serial Timeout", 2}, {"Radio Transmit Reset", 50}, {"Serial Data Rate", 4},
    {"WDT Reset", 6}, {"Test address", 0}, {"Flow control", 2}};

// The first `size` bytes of the example file with some replaced, by index.
QByteArray exampleWith(const QMap<int, char> &changes, int size = exampleFile.size())
{
    QByteArray bytes = exampleFile.left(size);
    for (auto it = changes.cbegin(); it != changes.cend(); ++it)
        bytes[it.key()] = it.value();
    return bytes;
}

bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the next file dialog as the operator does: types `fileName` into
// its name field (selectFile() leaves the field alone while it has the focus)
// and presses Return. Gives up after about two seconds without a dialog.
void answerFileDialog(const QString &fileName, int tries = 100)
{
    QTimer::singleShot(20, [fileName, tries] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (tries > 0)
                answerFileDialog(fileName, tries - 1);
            return;
        }
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        edit->setText(fileName);
        QTest::keyClick(edit, Qt::Key_Return);
    });
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

    void loadsBothLayouts();
    void savesAndOpensThroughDialogs();
    void refusedFileChangesNothing_data();
    void refusedFileChangesNothing();
    void unwritablePlaceRefused();
    void startupFileBytes();
    void startupFileNotWritable();

private:
    bool load(const QByteArray &bytes);
    void verifyToldOnce(const QString &title, const QString &fileName);
};

void tst_SettingsFiles::initTestCase()
{
    setUpApplication();
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

bool tst_SettingsFiles::load(const QByteArray &bytes)
{
    const QString fileName = workDir.filePath("loaded.ryd");
    return writeFile(fileName, bytes) && window->loadSettingsFrom(fileName);
}

// One message box was shown, with this title and naming the file.
void tst_SettingsFiles::verifyToldOnce(const QString &title, const QString &fileName)
{
    QCOMPARE(boxes->seen.size(), 1);
    const BoxAnswerer::Seen box = boxes->seen.takeFirst();
    QCOMPARE(box.title, title);
    QVERIFY2(box.text.contains(fileName), qPrintable(box.text));
}

// Each file loads over the one before, record and panels alike: the channel
// list follows the loaded rate (byte 2) and keeps the loaded channel (byte 3),
// and the older twelve-byte layout has no port name and no flow control
// ("HardWare").
void tst_SettingsFiles::loadsBothLayouts()
{
    const Settings rate2Chanel3 = changed(exampleSettings, {{"Chanel", 3}});
    const Settings rate0Chanel9 = changed(exampleSettings, {{"Radio Data Rate", 0}, {"Chanel", 9}});
    const struct
    {
        QByteArray bytes;
        Settings settings;
        QString portName;
        int chanels;
    } files[] = {{exampleWith({{3, 3}}), rate2Chanel3, "COM1", 5},
                 {exampleWith({{2, 0}, {3, 9}}), rate0Chanel9, "COM1", 10},
                 {exampleWith({{3, 3}}, 12), changed(rate2Chanel3, {{"Flow control", 0}}), QString(), 5}};
    for (const auto &file : files) {
        QVERIFY2(load(file.bytes), file.bytes.toHex().constData());
        COMPARE_SETTINGS(recordOf(window->record()), file.settings);
        COMPARE_SETTINGS(shown(), file.settings);
        QCOMPARE(window->record()->portName, file.portName);
        QCOMPARE(combo("Chanel")->count(), file.chanels);
    }
}

// As the operator does it: "Save Settings" with a name typed without an
// extension writes the file's bytes under that name plus ".ryd", and "Open
// Settings" of that file brings the record back.
void tst_SettingsFiles::savesAndOpensThroughDialogs()
{
    QVERIFY(load(exampleFile));
    const QString fileName = workDir.filePath("site-b");
    answerFileDialog(fileName);
    QTest::mouseClick(key("Save Settings"), Qt::LeftButton);
    QCOMPARE(readFile(fileName + ".ryd").toHex(' '), exampleFile.toHex(' '));

    QVERIFY(load(exampleWith({{3, 3}}, 12)));
    answerFileDialog(fileName + ".ryd");
    QTest::mouseClick(key("Open Settings"), Qt::LeftButton);
    COMPARE_SETTINGS(recordOf(window->record()), exampleSettings);
    COMPARE_SETTINGS(shown(), exampleSettings);
    QCOMPARE(window->record()->portName, QString("COM1"));
}

void tst_SettingsFiles::refusedFileChangesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("missing") << QByteArray();
    QTest::newRow("eleven bytes") << exampleFile.left(11);
    QTest::newRow("parity past its list") << exampleWith({{4, 4}});
    QTest::newRow("serial rate without a button") << exampleWith({{9, 8}});
}

void tst_SettingsFiles::refusedFileChangesNothing()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(load(exampleFile));
    const QString fileName = workDir.filePath(QStringLiteral("%1.ryd").arg(QTest::currentDataTag()));
    QVERIFY(bytes.isNull() || writeFile(fileName, bytes));

    QVERIFY(!window->loadSettingsFrom(fileName));
    verifyToldOnce("Open Settings", fileName);
    COMPARE_SETTINGS(recordOf(window->record()), exampleSettings);
    COMPARE_SETTINGS(shown(), exampleSettings);
    QCOMPARE(window->record()->portName, QString("COM1"));
}

void tst_SettingsFiles::unwritablePlaceRefused()
{
    const QString fileName = workDir.filePath("absent/new.ryd");
    QVERIFY(!window->saveSettingsTo(fileName));
    verifyToldOnce("Save Settings", fileName);
}

// Twelve signed bytes, then the port name as a stream string; no flow control.
// The record holds what the panels show at start: the serial timeout at the
// floor of 1200 bps (17) and the radio transmit reset at its minimum (10).
void tst_SettingsFiles::startupFileBytes()
{
    QFile::remove("test_ryd");
    MainWindow started(nullptr, [] { return QStringList(); });
    const QByteArray expected = QByteArray::fromHex("00000000000000110A000000" "00000008" "0043004F004D0031");
    QCOMPARE(readFile("test_ryd").toHex(' '), expected.toHex(' '));
}

// A start-up file that cannot be written is not read back: /dev/full takes no
// writes and reads as zeros, which would wipe the record.
void tst_SettingsFiles::startupFileNotWritable()
{
    QFile::remove("test_ryd");
    QVERIFY(QFile::link("/dev/full", "test_ryd"));
    const Settings settings{{"Power", 5}, {"Serial Timeout", 9}, {"Test address", 12}};
    Data data;
    setRecord(&data, settings);
    QVERIFY(!MainWindow::writeStartupFile(&data, "test_ryd"));
    COMPARE_SETTINGS(recordOf(&data), settings);
    QVERIFY(QFile::remove("test_ryd"));
}

QTEST_MAIN(tst_SettingsFiles)
#include "tst_settingsfiles.moc"
