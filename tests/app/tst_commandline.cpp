#include "commandline.h"
#include "core.h"
#include "data.h"
#include "mainwindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QtTest>

// The command line as a user types it, to the built program with no window system
// unless an option chooses one; and what the start-up does with the ports and file it was given.
class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void process_data();
    void process();
    void language_data();
    void language();
    void startsAsTold();

private:
    QTemporaryDir dir;
    // The 25-byte example settings file: power 7, port "COM1".
    QString exampleFile;
};

void tst_CommandLine::initTestCase()
{
    // The window writes its start-up file into the working directory, which the processes share.
    QVERIFY(QDir::setCurrent(dir.path()));
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        qunsetenv(name);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir.path()));
    exampleFile = dir.filePath("site-a.ryd");
    QFile settings(exampleFile);
    QVERIFY(settings.open(QIODevice::WriteOnly));
    QVERIFY(settings.write(QByteArray::fromHex("00070200000002023204060000000008" "0043004F004D003102")) == 25);
}

// The version goes to standard output, as the help does (language, below); a refusal is one line on
// standard error that points to --help. With -platform the program starts without a display, takes Qt's
// other options and a settings file, names a --port path that does not exist, and runs until stopped
// (exit code -1 here).
void tst_CommandLine::process_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");

    QTest::newRow("--version") << QStringList{"--version"} << 0 << "ryd-configurator 1.1.14\n";
    QTest::newRow("unknown option") << QStringList{"--no-such-option"} << 2 << "no-such-option";
    QTest::newRow("unknown language") << QStringList{"--language", "de"} << 2 << "Unknown language 'de'";
    QTest::newRow("two files") << QStringList{"-style", "Windows", "a.ryd", "b.ryd"} << 2 << "(a.ryd, b.ryd)";
    // Left over once the offscreen platform has taken what it uses.
    QTest::newRow("X11 option without X") << QStringList{"-platform", "offscreen", "-title", "x"} << 2
                                          << "Unknown option 'title'";
    const QString missingPort = dir.filePath("ttyMissing");
    QTest::newRow("Qt's options and a file")
        << QStringList{"-platform", "offscreen", "-style", "Windows", "-reverse", "-qwindowgeometry", "640x480+0+0",
                       "--port", missingPort, exampleFile}
        << -1 << "No such serial device: " + missingPort;
}

void tst_CommandLine::process()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QFile::remove("test_ryd");
    QProcess program;
    program.start(QStringLiteral(RYD_PROGRAM), arguments);
    if (exitCode < 0) {
        // The start-up file is written while the window is built, the settings file opened once it is shown.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists("test_ryd") || program.state() == QProcess::NotRunning, 10000);
        QTest::qWait(300);
        QCOMPARE(program.state(), QProcess::Running);
        program.kill();
    }
    QVERIFY(program.waitForFinished(10000));
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    QVERIFY2((program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1) == exitCode, qPrintable(err));
    const QString text = exitCode == 0 ? out : err;
    QCOMPARE(exitCode == 0 ? err : out, QString());
    QVERIFY2(text.contains(said), qPrintable(text));
    if (exitCode == 2)
        QVERIFY2(text.endsWith("Try --help.\n") && text.count('\n') == 1, qPrintable(text));
}

// The language follows the locale unless --language says otherwise: the help, and a message of the running
// window (the program's and Qt's texts are translated once the window's application object exists).
void tst_CommandLine::language_data()
{
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    const QString ru = "Язык окна: ru (русский) или en (английский).";
    const QString missingPort = dir.filePath("ttyNone");
    QTest::newRow("ru locale") << QByteArray("ru_RU.UTF-8") << QStringList{"--help"} << 0 << ru;
    QTest::newRow("en over ru") << QByteArray("ru_RU.UTF-8") << QStringList{"--language", "en", "--help"} << 0
                                << "The language of the window: ru (Russian) or en (English).";
    QTest::newRow("ru over C") << QByteArray("C") << QStringList{"--help", "--language", "ru"} << 0 << ru;
    QTest::newRow("window in ru") << QByteArray("ru_RU.UTF-8") << QStringList{"-platform", "offscreen", "--port", missingPort}
                                  << -1 << "Нет такого последовательного устройства: " + missingPort;
}

void tst_CommandLine::language()
{
    QFETCH(QByteArray, locale);
    const QByteArray before = qgetenv("LANG");
    const auto restore = qScopeGuard([before] { qputenv("LANG", before); });
    qputenv("LANG", locale);
    process();
}

// Started as the program starts it: the window shown in the middle of the screen's available area, the
// file loaded. A --port path is listed beside the system's ports and selected while it exists, from when it
// appears to when the refresh finds it gone; one naming a listed device, through a link or by its full path,
// is not listed again. A port typed into the list is offered the same way.
void tst_CommandLine::startsAsTold()
{
    const QString port = dir.filePath("ttyEMU0");
    const QString link = dir.filePath("ttyLink");
    QVERIFY(QFile::link("/dev/null", link));
    CommandLine commandLine;
    QCOMPARE(commandLine.parse({"ryd-configurator", "--port", port, "--port", link, "--port", "/dev/null", exampleFile},
                               CommandLine::AfterApplication),
             CommandLine::Run);
    Core core(nullptr, commandLine.ports(), commandLine.settingsFile(), [] { return QStringList{"tty", "null"}; });
    MainWindow *window = core.window();

    QVERIFY(window->isVisible());
    const QRect available = window->screen()->availableGeometry();
    QVERIFY((QRect(window->pos(), window->size()).center() - available.center()).manhattanLength() <= 2);
    QTRY_COMPARE(window->record()->power, quint8(7));

    // The system lists "tty" and "null"; the link and /dev/null name the latter.
    auto *list = window->portPanel()->findChild<QComboBox *>("PortName");
    QCOMPARE(list->count(), 2);
    QVERIFY(QFile(port).open(QIODevice::WriteOnly));
    QTRY_COMPARE(list->count(), 3);
    QCOMPARE(list->currentText(), port);
    QVERIFY(QFile::remove(port));
    window->portPanel()->slUpdatePortName();
    QCOMPARE(list->count(), 2);

    const QString typed = dir.filePath("ttyTyped");
    list->setFocus();
    list->lineEdit()->clear();
    QTest::keyClicks(list->lineEdit(), typed);
    QTest::keyClick(list->lineEdit(), Qt::Key_Return);
    QCOMPARE(list->count(), 2);
    QVERIFY(QFile(typed).open(QIODevice::WriteOnly));
    window->portPanel()->slUpdatePortName();
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->currentText(), typed);
}

QTEST_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
