#include "windowtesting.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>

#include <unistd.h>

namespace {

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
class tst_SavedSettings : public QObject, private WindowRig
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

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

void tst_SavedSettings::initTestCase()
{
    setUpApplication();
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

void tst_SavedSettings::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    openWindow();
}

void tst_SavedSettings::cleanup()
{
    closeWindow();
    dir.reset();
}

// Loads a file of these bytes through the window.
bool tst_SavedSettings::load(const QByteArray &bytes)
{
    const QString fileName = path(QStringLiteral("loaded.ryd"));
    return writeFile(fileName, bytes) && window->loadSettingsFrom(fileName);
}

void tst_SavedSettings::twelveByteFile()
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

void tst_SavedSettings::unreadableFileRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("missing") << "missing.ryd" << QByteArray();
    QTest::newRow("empty") << "empty.ryd" << QByteArray("");
    QTest::newRow("eleven bytes") << "short.ryd" << QByteArray::fromHex("0107020302010211C804FA");
    QTest::newRow("directory") << "folder.ryd" << QByteArray();
}

// The operator is told, naming the file; record and panels stay as they were.
void tst_SavedSettings::unreadableFileRefused()
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

void tst_SavedSettings::unwritablePlaceRefused_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("older");

    QTest::newRow("missing directory") << "absent/new.ryd" << "older.ryd";
    QTest::newRow("below a file") << "older.ryd/new.ryd" << "older.ryd";
    QTest::newRow("directory path") << "folder" << "folder/older.ryd";
    QTest::newRow("read-only directory") << "locked/older.ryd" << "locked/older.ryd";
}

// The operator is told, naming the file, and an older file keeps its bytes.
void tst_SavedSettings::unwritablePlaceRefused()
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
void tst_SavedSettings::loadedRateShowsItsChannels()
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
void tst_SavedSettings::fileDialogs()
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
void tst_SavedSettings::startupFileBytes()
{
    QFile::remove("test_ryd");
    MainWindow window(nullptr, [] { return QStringList(); });
    const QByteArray expected = QByteArray::fromHex("00000000000000110a000000")
        + QByteArray::fromHex("00000008") + QByteArray::fromHex("0043004F004D0031");
    QCOMPARE(readFile("test_ryd").toHex(), expected.toHex());
}

// A start-up file that cannot be written must not be read back: here writes
// fail while reads return zeros, which would wipe the record.
void tst_SavedSettings::startupFileNotWritable()
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

void tst_SavedSettings::readOnlyWorkingDirectory()
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

QTEST_MAIN(tst_SavedSettings)
#include "tst_savedsettings.moc"
