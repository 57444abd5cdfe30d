#include "settingsfile.h"
#include "windowtesting.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>

#include <unistd.h>

namespace {
// The one-byte fields in the file's order.
quint8 Data::*const fileOrder[] = {&Data::delayTxRx, &Data::power, &Data::radioDataRate, &Data::chanel,
                                   &Data::parity, &Data::stopBit, &Data::subBand, &Data::serialTimeout,
                                   &Data::radioTransmitReset, &Data::serialDataRate, &Data::wdtReset,
                                   &Data::testAddress, &Data::flowControl};

QList<int> fields(const Data &d)
{
    QList<int> values;
    for (quint8 Data::*field : fileOrder)
        values << d.*field;
    return values;
}

void setFields(Data &d, const QList<int> &values)
{
    for (int i = 0; i < values.size(); ++i)
        d.*fileOrder[i] = quint8(values.at(i));
}

// The example record of the settings file description.
void setExample(Data &data)
{
    setFields(data, {0, 7, 2, 0, 0, 0, 2, 2, 50, 4, 6, 0, 2});
    data.portName = "COM1";
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

// The example record of the settings file description, port "COM1".
const QByteArray exampleFile = QByteArray::fromHex("00070200000002023204060000000008" "0043004F004D003102");
const Settings exampleSettings{
    {"Delay Tx-Rx", 0},  {"Power", 7},    {"Radio Data Rate", 2}, {"Chanel", 0},
    {"Parity", 0},       {"Stop bit", 0}, {"Sub-band", 2},        {"Serial Timeout", 2},
    {"Radio Transmit Reset", 50}, {"Serial Data Rate", 4}, {"WDT Reset", 6}, {"Test address", 0},
    {"Flow control", 2}};

// Every field away from its default, two of them above 127, port "ttyUSB7".
const QByteArray wideFile = QByteArray::fromHex("C805000903010864FA07823F0000000E"
                                                "0074007400790055005300420037" "00");
const Settings wideSettings{
    {"Delay Tx-Rx", 200},  {"Power", 5},        {"Radio Data Rate", 0}, {"Chanel", 9},
    {"Parity", 3},         {"Stop bit", 1},     {"Sub-band", 8},        {"Serial Timeout", 100},
    {"Radio Transmit Reset", 250}, {"Serial Data Rate", 7}, {"WDT Reset", 130}, {"Test address", 63},
    {"Flow control", 0}};

// Answers the next file dialog: chooses `fileName` and accepts, or cancels
// when the name is empty.
class FileDialogAnswerer : public QObject
{
public:
    explicit FileDialogAnswerer(const QString &fileName)
        : fileName(fileName)
    {
        connect(&timer, &QTimer::timeout, this, &FileDialogAnswerer::look);
        timer.start(20);
    }

    int seen = 0;
    QString title;
    QStringList filters;

private:
    void look()
    {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        if (dialog != current) {
            current = dialog;
            ++seen;
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
        }
        // Typed into the name field: selectFile() leaves the field alone while
        // it has the focus.
        if (!fileName.isEmpty()) {
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (!edit) {
                dialog->reject();
                return;
            }
            edit->setText(fileName);
        }
        const auto role = fileName.isEmpty() ? QDialogButtonBox::RejectRole : QDialogButtonBox::AcceptRole;
        auto *box = dialog->findChild<QDialogButtonBox *>();
        for (QAbstractButton *b : box->buttons()) {
            if (box->buttonRole(b) == role && b->isEnabled()) {
                QTest::mouseClick(b, Qt::LeftButton);
                return;
            }
        }
    }

    QString fileName;
    QTimer timer;
    QPointer<QFileDialog> current;
};

} // namespace

// The main window's settings files: what is written, what a load shows, and
// how a file that cannot be used is refused.
class tst_SettingsFiles : public QObject, private WindowRig
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void exampleFileBytes();
    void roundTrip();
    void decode_data();
    void decode();
    void refusedContentLeavesRecord_data();
    void refusedContentLeavesRecord();
    void twelveByteFile();
    void unreadableFileRefused_data();
    void unreadableFileRefused();
    void unwritablePlaceRefused_data();
    void unwritablePlaceRefused();
    void loadedRateShowsItsChannels();
    void fileDialogs();
    void startupFileBytes();
    void startupFileNotWritable();
    void readOnlyWorkingDirectory();

private:
    QString path(const QString &name) const { return dir->filePath(name); }
    bool load(const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> dir;
};

void tst_SettingsFiles::initTestCase()
{
    setUpApplication();
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

void tst_SettingsFiles::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    openWindow();
}

void tst_SettingsFiles::cleanup()
{
    closeWindow();
    dir.reset();
}

// Loads a file of these bytes through the window.
bool tst_SettingsFiles::load(const QByteArray &bytes)
{
    const QString fileName = path(QStringLiteral("loaded.ryd"));
    return writeFile(fileName, bytes) && window->loadSettingsFrom(fileName);
}

void tst_SettingsFiles::twelveByteFile()
{
    QVERIFY(load(exampleFile));
    QCOMPARE(combo("Flow control")->currentText(), QString("None"));

    QVERIFY(load(QByteArray::fromHex("010601050200020A0F030921")));
    const Settings twelve{
        {"Delay Tx-Rx", 1}, {"Power", 6},    {"Radio Data Rate", 1}, {"Chanel", 5},
        {"Parity", 2},      {"Stop bit", 0}, {"Sub-band", 2},        {"Serial Timeout", 10},
        {"Radio Transmit Reset", 15}, {"Serial Data Rate", 3}, {"WDT Reset", 9}, {"Test address", 33},
        {"Flow control", 0}};
    COMPARE_SETTINGS(recordOf(window->record()), twelve);
    COMPARE_SETTINGS(shown(), twelve);
    QCOMPARE(window->record()->portName, QString());
    QCOMPARE(combo("Flow control")->currentText(), QString("HardWare"));
}

void tst_SettingsFiles::unreadableFileRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("missing") << "missing.ryd" << QByteArray();
    QTest::newRow("empty") << "empty.ryd" << QByteArray("");
    QTest::newRow("eleven bytes") << "short.ryd" << QByteArray::fromHex("0107020302010211C804FA");
    QTest::newRow("directory") << "folder.ryd" << QByteArray();
}

// The operator is told, naming the file; record and panels stay as they were.
void tst_SettingsFiles::unreadableFileRefused()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);

    const QString fileName = path(name);
    if (name.startsWith("folder"))
        QVERIFY(QDir().mkpath(fileName));
    else if (!bytes.isNull())
        QVERIFY(writeFile(fileName, bytes));
    QVERIFY(load(wideFile));
    const Settings shownBefore = shown();

    QVERIFY(!window->loadSettingsFrom(fileName));
    QCOMPARE(boxes->seen.size(), 1);
    const BoxAnswerer::Seen box = boxes->seen.takeFirst();
    QCOMPARE(box.title, QString("Open Settings"));
    QVERIFY2(box.text.contains(fileName), qPrintable(box.text));
    COMPARE_SETTINGS(recordOf(window->record()), wideSettings);
    QCOMPARE(window->record()->portName, QString("ttyUSB7"));
    COMPARE_SETTINGS(shown(), shownBefore);
}

void tst_SettingsFiles::unwritablePlaceRefused_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("older");

    QTest::newRow("missing directory") << "absent/new.ryd" << "older.ryd";
    QTest::newRow("below a file") << "older.ryd/new.ryd" << "older.ryd";
    QTest::newRow("directory path") << "folder" << "folder/older.ryd";
    QTest::newRow("read-only directory") << "locked/older.ryd" << "locked/older.ryd";
}

// The operator is told, naming the file, and an older file keeps its bytes.
void tst_SettingsFiles::unwritablePlaceRefused()
{
    QFETCH(QString, target);
    QFETCH(QString, older);

    const bool locked = target.startsWith("locked");
    if (locked && geteuid() == 0)
        QSKIP("root writes into read-only directories");
    const QString olderFile = path(older);
    QVERIFY(QDir().mkpath(QFileInfo(olderFile).path()));
    QVERIFY(writeFile(olderFile, exampleFile));
    if (target == "folder")
        QVERIFY(QDir().mkpath(path(target)));
    if (locked)
        QVERIFY(QFile::setPermissions(path("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QVERIFY(load(wideFile));

    const bool saved = window->saveSettingsTo(path(target));
    if (locked)
        QFile::setPermissions(path("locked"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!saved);
    QCOMPARE(boxes->seen.size(), 1);
    const BoxAnswerer::Seen box = boxes->seen.takeFirst();
    QCOMPARE(box.title, QString("Save Settings"));
    QVERIFY2(box.text.contains(path(target)), qPrintable(box.text));
    QCOMPARE(readFile(olderFile).toHex(), exampleFile.toHex());
    COMPARE_SETTINGS(recordOf(window->record()), wideSettings);
}

// The channel list follows the loaded rate and keeps the loaded channel.
void tst_SettingsFiles::loadedRateShowsItsChannels()
{
    QVERIFY(load(wideFile));
    QCOMPARE(combo("Chanel")->count(), 10);
    QCOMPARE(combo("Chanel")->currentIndex(), 9);

    QByteArray rate2chanel3 = exampleFile;
    rate2chanel3[3] = 3;
    QVERIFY(load(rate2chanel3));
    QCOMPARE(combo("Chanel")->count(), 5);
    QCOMPARE(combo("Chanel")->currentIndex(), 3);
    QCOMPARE(checkedNumber(radio()->rightPanel()->buttons()), 2);
    QCOMPARE(window->record()->radioDataRate, quint8(2));
    QCOMPARE(window->record()->chanel, quint8(3));
}

// The real dialogs: a file chosen in the save dialog is written; cancelling
// either dialog changes nothing.
void tst_SettingsFiles::fileDialogs()
{
    QVERIFY(load(wideFile));
    const QString chosen = path("chosen.ryd");
    {
        FileDialogAnswerer answerer(chosen);
        QTest::mouseClick(key("Save Settings"), Qt::LeftButton);
        QCOMPARE(answerer.seen, 1);
        QCOMPARE(answerer.title, QString("Save Settings"));
        QCOMPARE(answerer.filters, QStringList{"Ryd Files (*.ryd)"});
    }
    QCOMPARE(readFile(chosen).toHex(), wideFile.toHex());

    const QStringList filesBefore = QDir(dir->path()).entryList(QDir::Files);
    {
        FileDialogAnswerer answerer{QString()};
        QTest::mouseClick(key("Save Settings"), Qt::LeftButton);
        QCOMPARE(answerer.seen, 1);
    }
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), filesBefore);

    QVERIFY(load(exampleFile));
    const Settings recordBefore = recordOf(window->record());
    const Settings shownBefore = shown();
    {
        FileDialogAnswerer answerer{QString()};
        QTest::mouseClick(key("Open Settings"), Qt::LeftButton);
        QCOMPARE(answerer.seen, 1);
        QCOMPARE(answerer.title, QString("Open Settings"));
        QCOMPARE(answerer.filters, QStringList{"Ryd Files (*.ryd)"});
    }
    COMPARE_SETTINGS(recordOf(window->record()), recordBefore);
    COMPARE_SETTINGS(shown(), shownBefore);
    QCOMPARE(window->record()->portName, QString("COM1"));
}

// Twelve signed bytes, then the port name as a stream string; no flow control.
// The record holds what the panels show at start: the serial timeout at the
// floor of 1200 bps (17) and the radio transmit reset at its minimum (10).
void tst_SettingsFiles::startupFileBytes()
{
    QFile::remove("test_ryd");
    MainWindow window(nullptr, [] { return QStringList(); });
    const QByteArray expected = QByteArray::fromHex("00000000000000110a000000")
        + QByteArray::fromHex("00000008") + QByteArray::fromHex("0043004F004D0031");
    QCOMPARE(readFile("test_ryd").toHex(), expected.toHex());
}

// A start-up file that cannot be written must not be read back: here writes
// fail while reads return zeros, which would wipe the record.
void tst_SettingsFiles::startupFileNotWritable()
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

void tst_SettingsFiles::readOnlyWorkingDirectory()
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

// Byte for byte both ways, whichever Qt the build uses: files move between
// builds and operators.
void tst_SettingsFiles::exampleFileBytes()
{
    const QByteArray file = QByteArray::fromHex("00070200000002023204060000000008" "0043004f004d003102");
    Data data;
    setExample(data);
    QCOMPARE(SettingsFile::encode(data).toHex(' '), file.toHex(' '));

    Data loaded;
    QVERIFY(SettingsFile::decode(file, loaded));
    QCOMPARE(fields(loaded), fields(data));
    QCOMPARE(loaded.portName, QString("COM1"));
}

void tst_SettingsFiles::roundTrip()
{
    Data data;
    setFields(data, {250, 1, 4, 9, 3, 1, 8, 200, 200, 7, 255, 63, 128});
    data.portName = QString::fromUtf8("/dev/serial/by-id/usb-Ryd_µ");

    Data loaded;
    QVERIFY(SettingsFile::decode(SettingsFile::encode(data), loaded));
    QCOMPARE(fields(loaded), fields(data));
    QCOMPARE(loaded.portName, data.portName);
}

void tst_SettingsFiles::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("expected");
    QTest::addColumn<QString>("portName");

    const QByteArray twelve = QByteArray::fromHex("0107020302010211c804fa3f");
    const QList<int> twelveFields = {1, 7, 2, 3, 2, 1, 2, 17, 200, 4, 250, 63};
    QTest::newRow("twelve bytes: empty name, flow control 0")
        << twelve << (twelveFields + QList<int>{0}) << QString();
    QTest::newRow("null name")
        << twelve + QByteArray::fromHex("ffffffff02") << (twelveFields + QList<int>{2}) << QString();
    QTest::newRow("name cut short")
        << twelve + QByteArray::fromHex("00000008004300") << (twelveFields + QList<int>{0}) << QString();
    QTest::newRow("name longer than the file")
        << twelve + QByteArray::fromHex("7ffffffe0043") << (twelveFields + QList<int>{0}) << QString();
    QTest::newRow("odd name length: corrupt, nothing read after it")
        << twelve + QByteArray::fromHex("0000000361626302") << (twelveFields + QList<int>{0}) << QString();
    QTest::newRow("no flow control byte")
        << twelve + QByteArray::fromHex("000000020041") << (twelveFields + QList<int>{0}) << "A";
    QTest::newRow("trailing bytes ignored")
        << twelve + QByteArray::fromHex("00000002004102ffff") << (twelveFields + QList<int>{2}) << "A";
}

void tst_SettingsFiles::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, expected);
    QFETCH(QString, portName);
    Data data;
    data.portName = "kept?";
    data.flowControl = 99;
    QVERIFY(SettingsFile::decode(bytes, data));
    QCOMPARE(fields(data), expected);
    QCOMPARE(data.portName, portName);
}

void tst_SettingsFiles::refusedContentLeavesRecord_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte") << QByteArray(1, '\x05');
    QTest::newRow("eleven bytes") << QByteArray(11, '\x05');
}

void tst_SettingsFiles::refusedContentLeavesRecord()
{
    QFETCH(QByteArray, bytes);
    Data data;
    setExample(data);
    const QList<int> before = fields(data);
    QString problem;
    QVERIFY(!SettingsFile::decode(bytes, data, &problem));
    QVERIFY(!problem.isEmpty());
    QCOMPARE(fields(data), before);
    QCOMPARE(data.portName, QString("COM1"));
    QVERIFY(!SettingsFile::decodeStartup(bytes, data));
    QCOMPARE(fields(data), before);
}

QTEST_MAIN(tst_SettingsFiles)
#include "tst_settingsfiles.moc"
