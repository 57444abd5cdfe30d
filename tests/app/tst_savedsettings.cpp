#include "data.h"
#include "emulator.h"
#include "mainwindow.h"
#include "w_power.h"
#include "w_radio.h"
#include "w_radiocommonright.h"
#include "w_rb.h"
#include "w_rs485.h"
#include "w_serialrate.h"
#include "w_subband.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
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

#include <unistd.h>

#include <memory>

// Settings by their names, in the record's encoding (flow control 0 or 2).
using Settings = QMap<QString, int>;

namespace {

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

// Every field away from its default, two of them above 127, port "ttyUSB7".
const QByteArray wideFile = QByteArray::fromHex("C805000903010864FA07823F0000000E"
                                                "0074007400790055005300420037" "00");
const Settings wideSettings{
    {"Delay Tx-Rx", 200},  {"Power", 5},        {"Radio Data Rate", 0}, {"Chanel", 9},
    {"Parity", 3},         {"Stop bit", 1},     {"Sub-band", 8},        {"Serial Timeout", 100},
    {"Radio Transmit Reset", 250}, {"Serial Data Rate", 7}, {"WDT Reset", 130}, {"Test address", 63},
    {"Flow control", 0}};

// Answers every modal message box with OK and keeps what each one said, so
// that no test hangs on a box it did not expect.
class BoxAnswerer : public QObject
{
public:
    BoxAnswerer()
    {
        connect(&timer, &QTimer::timeout, this, &BoxAnswerer::look);
        timer.start(20);
    }

    // Title and text of each box.
    QList<QPair<QString, QString>> seen;

private:
    void look()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box == answered)
            return;
        answered = box;
        seen.append({box->windowTitle(), box->text()});
        if (QAbstractButton *ok = box->button(QMessageBox::Ok))
            QTest::mouseClick(ok, Qt::LeftButton);
        else
            QTest::keyClick(box, Qt::Key_Escape);
    }

    QTimer timer;
    QPointer<QMessageBox> answered;
};

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
class tst_SavedSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void exampleBytes();
    void roundTrip();
    void twelveByteFile();
    void unreadableFileRefused_data();
    void unreadableFileRefused();
    void unwritablePlaceRefused_data();
    void unwritablePlaceRefused();
    void loadedRateShowsItsChannels();
    void loadSendsNothingWriteSendsIt();
    void fileDialogs();

private:
    QString path(const QString &name) const { return dir->filePath(name); }
    bool load(const QByteArray &bytes);
    Settings shown() const;

    template <typename T>
    T *named(const char *name) const { return window->findChild<T *>(QLatin1String(name)); }
    W_Radio *radio() const { return window->findChild<W_Radio *>(); }
    W_Rs485 *rs485() const { return window->findChild<W_Rs485 *>(); }

    QTemporaryDir workDir;
    std::unique_ptr<BoxAnswerer> boxes;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Emulator> emulator;
    std::unique_ptr<MainWindow> window;
};

void tst_SavedSettings::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Morvell"));
    QCoreApplication::setApplicationName(QStringLiteral("Ryd"));
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QVERIFY(workDir.isValid());
    QVERIFY(QDir::setCurrent(workDir.path()));
}

void tst_SavedSettings::init()
{
    boxes = std::make_unique<BoxAnswerer>();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    emulator = std::make_unique<Emulator>();
    QString error;
    QVERIFY2(emulator->open(&error), qPrintable(error));
    Emulator *line = emulator.get();
    window = std::make_unique<MainWindow>(nullptr, [line] { return QStringList{line->portName()}; });
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

// A test takes the boxes it expects out of the list; any left over were not
// expected.
void tst_SavedSettings::cleanup()
{
    window.reset();
    emulator.reset();
    dir.reset();
    const QString unexpected = boxes->seen.isEmpty() ? QString() : boxes->seen.first().second;
    boxes.reset();
    QVERIFY2(unexpected.isNull(), qPrintable("unexpected message box: " + unexpected));
}

// Loads a file of these bytes through the window.
bool tst_SavedSettings::load(const QByteArray &bytes)
{
    const QString fileName = path(QStringLiteral("loaded.ryd"));
    return writeFile(fileName, bytes) && window->loadSettingsFrom(fileName);
}

Settings tst_SavedSettings::shown() const
{
    return {{"Sub-band", checkedNumber(radio()->subBandPanel()->buttons())},
            {"Radio Data Rate", checkedNumber(radio()->rightPanel()->buttons())},
            {"Chanel", named<QComboBox>("Chanel")->currentIndex()},
            {"Power", radio()->rightPanel()->powerPanel()->power()},
            {"Test address", named<QSpinBox>("Test address")->value()},
            {"Serial Data Rate", checkedNumber(rs485()->serialRatePanel()->buttons())},
            {"Serial Timeout", named<QSpinBox>("Serial Timeout")->value()},
            {"Delay Tx-Rx", named<QSpinBox>("Delay Tx-Rx")->value()},
            {"Parity", named<QComboBox>("Parity")->currentIndex()},
            {"Stop bit", named<QComboBox>("Stop bit")->currentIndex()},
            {"Flow control", named<QComboBox>("Flow control")->currentText() == "HardWare" ? 0 : 2},
            {"Radio Transmit Reset", named<QSpinBox>("Radio Transmit Reset")->value()},
            {"WDT Reset", named<QComboBox>("WDT Reset")->currentIndex()}};
}

void tst_SavedSettings::exampleBytes()
{
    Data *d = window->record();
    d->delayTxRx = 0;
    d->power = 7;
    d->radioDataRate = 2;
    d->chanel = 0;
    d->parity = 0;
    d->stopBit = 0;
    d->subBand = 2;
    d->serialTimeout = 2;
    d->radioTransmitReset = 50;
    d->serialDataRate = 4;
    d->wdtReset = 6;
    d->testAddress = 0;
    d->portName = QStringLiteral("COM1");
    d->flowControl = 2;
    QVERIFY(window->saveSettingsTo(path("example.ryd")));
    QCOMPARE(readFile(path("example.ryd")).toHex(' '),
             QByteArray("00 07 02 00 00 00 02 02 32 04 06 00 00 00 00 08 00 43 00 4f 00 4d 00 31 02"));
}

void tst_SavedSettings::roundTrip()
{
    Data *d = window->record();
    d->delayTxRx = 200;
    d->power = 5;
    d->radioDataRate = 0;
    d->chanel = 9;
    d->parity = 3;
    d->stopBit = 1;
    d->subBand = 8;
    d->serialTimeout = 100;
    d->radioTransmitReset = 250;
    d->serialDataRate = 7;
    d->wdtReset = 130;
    d->testAddress = 63;
    d->portName = QStringLiteral("ttyUSB7");
    d->flowControl = 0;
    QVERIFY(window->saveSettingsTo(path("wide.ryd")));
    QCOMPARE(readFile(path("wide.ryd")).toHex(), wideFile.toHex());

    QVERIFY(load(exampleFile));
    QCOMPARE(d->portName, QString("COM1"));
    QCOMPARE(d->flowControl, quint8(2));
    QVERIFY(window->loadSettingsFrom(path("wide.ryd")));
    COMPARE_SETTINGS(recordOf(d), wideSettings);
    COMPARE_SETTINGS(shown(), wideSettings);
    QCOMPARE(d->portName, QString("ttyUSB7"));
}

void tst_SavedSettings::twelveByteFile()
{
    QVERIFY(load(exampleFile));
    QCOMPARE(named<QComboBox>("Flow control")->currentText(), QString("None"));

    QVERIFY(load(QByteArray::fromHex("010601050200020A0F030921")));
    const Settings twelve{
        {"Delay Tx-Rx", 1}, {"Power", 6},    {"Radio Data Rate", 1}, {"Chanel", 5},
        {"Parity", 2},      {"Stop bit", 0}, {"Sub-band", 2},        {"Serial Timeout", 10},
        {"Radio Transmit Reset", 15}, {"Serial Data Rate", 3}, {"WDT Reset", 9}, {"Test address", 33},
        {"Flow control", 0}};
    COMPARE_SETTINGS(recordOf(window->record()), twelve);
    COMPARE_SETTINGS(shown(), twelve);
    QCOMPARE(window->record()->portName, QString());
    QCOMPARE(named<QComboBox>("Flow control")->currentText(), QString("HardWare"));
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
    const QPair<QString, QString> box = boxes->seen.takeFirst();
    QCOMPARE(box.first, QString("Open Settings"));
    QVERIFY2(box.second.contains(fileName), qPrintable(box.second));
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
    const QPair<QString, QString> box = boxes->seen.takeFirst();
    QCOMPARE(box.first, QString("Save Settings"));
    QVERIFY2(box.second.contains(path(target)), qPrintable(box.second));
    QCOMPARE(readFile(olderFile).toHex(), exampleFile.toHex());
    COMPARE_SETTINGS(recordOf(window->record()), wideSettings);
}

// The channel list follows the loaded rate and keeps the loaded channel.
void tst_SavedSettings::loadedRateShowsItsChannels()
{
    QVERIFY(load(wideFile));
    QCOMPARE(named<QComboBox>("Chanel")->count(), 10);
    QCOMPARE(named<QComboBox>("Chanel")->currentIndex(), 9);

    QByteArray rate2chanel3 = exampleFile;
    rate2chanel3[3] = 3;
    QVERIFY(load(rate2chanel3));
    QCOMPARE(named<QComboBox>("Chanel")->count(), 5);
    QCOMPARE(named<QComboBox>("Chanel")->currentIndex(), 3);
    QCOMPARE(checkedNumber(radio()->rightPanel()->buttons()), 2);
    QCOMPARE(window->record()->radioDataRate, quint8(2));
    QCOMPARE(window->record()->chanel, quint8(3));
}

void tst_SavedSettings::loadSendsNothingWriteSendsIt()
{
    auto *progress = window->centralWidget()->findChild<QProgressBar *>(QString(), Qt::FindDirectChildrenOnly);
    QTest::mouseClick(named<QPushButton>("pbOpen"), Qt::LeftButton);
    QTRY_COMPARE(progress->value(), 100);
    QTRY_COMPARE(emulator->requests().size(), 11);
    emulator->clearRequests();

    QVERIFY(load(wideFile));
    QTest::qWait(300);
    QVERIFY(emulator->requests().isEmpty());

    QSignalSpy progressSpy(progress, &QProgressBar::valueChanged);
    QVERIFY(progressSpy.isValid());
    QTest::mouseClick(named<QPushButton>("WRITE"), Qt::LeftButton);
    const QByteArrayList expected{
        "+++", "ATS210=8\r", "$38", "$0o,7,000,200,3,250,130,1", "ATS206=8\r", "ATS201=0\r",
        "ATS200=9\r", "ATS202=5\r", "ATS214=100\r", "ATS216=0\r", "ATO\r",
        "+++", "AT/V\r", "ATS216?\r", "ATS206?\r", "ATS201?\r", "ATS200?\r", "ATS214?\r",
        "ATS202?\r", "ATO\r", "$1"};
    QTRY_COMPARE_WITH_TIMEOUT(emulator->requests(), expected, 5000);
    QTRY_VERIFY(!progressSpy.isEmpty() && progressSpy.last().at(0).toInt() == 100);
    COMPARE_SETTINGS(recordOf(window->record()), wideSettings);
}

// The real dialogs: a file chosen in the save dialog is written; cancelling
// either dialog changes nothing.
void tst_SavedSettings::fileDialogs()
{
    QVERIFY(load(wideFile));
    const QString chosen = path("chosen.ryd");
    {
        FileDialogAnswerer answerer(chosen);
        QTest::mouseClick(named<QPushButton>("Save Settings"), Qt::LeftButton);
        QCOMPARE(answerer.seen, 1);
        QCOMPARE(answerer.title, QString("Save Settings"));
        QCOMPARE(answerer.filters, QStringList{"Ryd Files (*.ryd)"});
    }
    QCOMPARE(readFile(chosen).toHex(), wideFile.toHex());

    const QStringList filesBefore = QDir(dir->path()).entryList(QDir::Files);
    {
        FileDialogAnswerer answerer{QString()};
        QTest::mouseClick(named<QPushButton>("Save Settings"), Qt::LeftButton);
        QCOMPARE(answerer.seen, 1);
    }
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), filesBefore);

    QVERIFY(load(exampleFile));
    const Settings recordBefore = recordOf(window->record());
    const Settings shownBefore = shown();
    {
        FileDialogAnswerer answerer{QString()};
        QTest::mouseClick(named<QPushButton>("Open Settings"), Qt::LeftButton);
        QCOMPARE(answerer.seen, 1);
        QCOMPARE(answerer.title, QString("Open Settings"));
        QCOMPARE(answerer.filters, QStringList{"Ryd Files (*.ryd)"});
    }
    COMPARE_SETTINGS(recordOf(window->record()), recordBefore);
    COMPARE_SETTINGS(shown(), shownBefore);
    QCOMPARE(window->record()->portName, QString("COM1"));
}

QTEST_MAIN(tst_SavedSettings)
#include "tst_savedsettings.moc"
