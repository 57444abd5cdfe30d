#include "core.h"
#include "data.h"
#include "mainwindow.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

// The command line as a user types it: the built program started as a
// process, with no window system unless an option chooses one; and what the
// start-up does with the ports and the file it was given.
class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void answeredWithoutDisplay_data();
    void answeredWithoutDisplay();
    void startsWithQtOptionsAndFile();
    void showsAndCentresWindow();
    void extraPortSelectedAndKept();
    void extraPortOfListedDevice();
    void settingsFileOpenedAtStart();

private:
    void start(QProcess &program, const QStringList &arguments);
    // The 25-byte example settings file, "site-a.ryd"; empty if not written.
    QString exampleFile() const;

    QTemporaryDir dir;
};

void tst_CommandLine::initTestCase()
{
    QVERIFY(dir.isValid());
    // The window writes its start-up file into the working directory.
    QVERIFY(QDir::setCurrent(dir.path()));
}

QString tst_CommandLine::exampleFile() const
{
    const QString file = dir.filePath("site-a.ryd");
    QFile settings(file);
    const QByteArray bytes = QByteArray::fromHex("00070200000002023204060000000008" "0043004F004D003102");
    return settings.open(QIODevice::WriteOnly) && settings.write(bytes) == bytes.size() ? file : QString();
}

void tst_CommandLine::start(QProcess &program, const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(dir.path());
    program.start(QStringLiteral(RYD_PROGRAM), arguments);
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
}

// Help and version go to standard output; a refusal is one line on standard
// error that points to --help.
void tst_CommandLine::answeredWithoutDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("said");
    QTest::addColumn<bool>("oneLine");

    const QStringList usage{"--port <path>", "[file]", "-platform"};
    QTest::newRow("--help") << QStringList{"--help"} << 0 << usage << false;
    QTest::newRow("-h") << QStringList{"-h"} << 0 << usage << false;
    QTest::newRow("--version") << QStringList{"--version"} << 0 << QStringList{"ryd-configurator 1.1.14\n"} << true;
    QTest::newRow("unknown option") << QStringList{"--no-such-option"} << 2
                                    << QStringList{"no-such-option", "--help"} << true;
    QTest::newRow("two files") << QStringList{"-style", "Windows", "a.ryd", "b.ryd"} << 2
                               << QStringList{"(a.ryd, b.ryd)", "--help"} << true;
    QTest::newRow("port without path") << QStringList{"--port"} << 2 << QStringList{"--port", "--help"} << true;
}

void tst_CommandLine::answeredWithoutDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QStringList, said);
    QFETCH(bool, oneLine);

    QProcess program;
    start(program, arguments);
    QVERIFY(program.waitForFinished(10000));
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    QVERIFY2(program.exitStatus() == QProcess::NormalExit, qPrintable("crashed: " + err));
    QCOMPARE(program.exitCode(), exitCode);

    const QString text = exitCode == 0 ? out : err;
    QCOMPARE(exitCode == 0 ? err : out, QString());
    for (const QString &part : said)
        QVERIFY2(text.contains(part), qPrintable(text));
    if (oneLine)
        QVERIFY2(text.endsWith('\n') && text.count('\n') == 1, qPrintable(text));
}

// With -platform the program starts without a display; Qt's other options and
// a settings file are taken, and a --port path that does not exist is named.
void tst_CommandLine::startsWithQtOptionsAndFile()
{
    const QString file = exampleFile();
    QVERIFY(!file.isEmpty());
    const QString missingPort = dir.filePath("ttyMissing");
    QProcess program;
    start(program, {"-platform", "offscreen", "-style", "Windows", "-reverse", "-qwindowgeometry", "640x480+0+0",
                    "--port", missingPort, file});

    // The window writes its start-up file while it is built; the settings
    // file is opened right after the window is shown.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath("test_ryd")) || program.state() == QProcess::NotRunning,
                             10000);
    QTest::qWait(300);
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    QVERIFY2(program.state() == QProcess::Running, qPrintable(err));
    QVERIFY2(err.contains("No such serial device: " + missingPort), qPrintable(err));
    program.kill();
    QVERIFY(program.waitForFinished());
}

void tst_CommandLine::showsAndCentresWindow()
{
    Core core;
    MainWindow *window = core.window();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    // The window's middle is the middle of the screen's available area.
    const QRect available = window->screen()->availableGeometry();
    const QRect placed(window->pos(), window->size());
    QVERIFY2((placed.center() - available.center()).manhattanLength() <= 2,
             qPrintable(QStringLiteral("window at %1,%2 in %3x%4+%5+%6").arg(placed.x()).arg(placed.y())
                            .arg(available.width()).arg(available.height()).arg(available.x()).arg(available.y())));
}

// A --port path is listed beside the system's ports while it exists, selected
// at start, and dropped by the refresh once it is gone.
void tst_CommandLine::extraPortSelectedAndKept()
{
    const QString path = dir.filePath("ttyEMU0");
    {
        QFile device(path);
        QVERIFY(device.open(QIODevice::WriteOnly));
    }
    Core core(nullptr, {path, dir.filePath("ttyMissing")});
    W_ComPort *ports = core.window()->portPanel();
    QCOMPARE(ports->textByName("PortName"), path);

    ports->slUpdatePortName();
    ports->slUpdatePortName();
    QCOMPARE(ports->textByName("PortName"), path);

    QVERIFY(QFile::remove(path));
    ports->slUpdatePortName();
    QVERIFY(ports->textByName("PortName") != path);
}

// A --port path that names a device the system lists, through a link or by
// its full path, does not list the device again; the listed entry is selected.
void tst_CommandLine::extraPortOfListedDevice()
{
    const QString link = dir.filePath("ttyLink");
    QVERIFY(QFile::link("/dev/null", link));
    Core core(nullptr, {link, "/dev/null"}, {}, [] { return QStringList{"tty", "null"}; });
    W_ComPort *ports = core.window()->portPanel();
    ports->slUpdatePortName();
    auto *combo = ports->findChild<QComboBox *>("PortName");
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    QCOMPARE(entries, (QStringList{"tty", "null"}));
    QCOMPARE(ports->textByName("PortName"), QString("null"));
}

void tst_CommandLine::settingsFileOpenedAtStart()
{
    const QString file = exampleFile();
    QVERIFY(!file.isEmpty());
    Core core(nullptr, {}, file);
    const Data *record = core.window()->record();
    QTRY_COMPARE(record->power, quint8(7));
    QCOMPARE(record->radioTransmitReset, quint8(50));
    QCOMPARE(record->wdtReset, quint8(6));
    QCOMPARE(record->portName, QString("COM1"));
}

QTEST_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
