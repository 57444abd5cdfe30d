#include "commandline.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parse_data();
    void parse();

private:
    QTemporaryDir dir;
};

void tst_CommandLine::initTestCase()
{
    QVERIFY(dir.isValid());
    for (const char *name : {"ttyA", "ttyB"}) {
        QFile device(dir.filePath(name));
        QVERIFY(device.open(QIODevice::WriteOnly));
    }
}

// Paths in the rows are relative to the test's directory; "@" stands for it.
void tst_CommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<int>("messages");

    QTest::newRow("no options") << QStringList() << int(CommandLine::Run) << QStringList() << 0;
    QTest::newRow("one port") << QStringList{"--port", "@/ttyA"} << int(CommandLine::Run)
                              << QStringList{"@/ttyA"} << 0;
    QTest::newRow("equals form") << QStringList{"--port=@/ttyB"} << int(CommandLine::Run)
                                 << QStringList{"@/ttyB"} << 0;
    QTest::newRow("repeated, order kept") << QStringList{"--port", "@/ttyB", "--port", "@/ttyA"}
                                          << int(CommandLine::Run) << QStringList{"@/ttyB", "@/ttyA"} << 0;
    QTest::newRow("same port twice") << QStringList{"--port", "@/ttyA", "--port", "@/ttyA"}
                                     << int(CommandLine::Run) << QStringList{"@/ttyA"} << 0;
    QTest::newRow("missing device reported, others kept")
        << QStringList{"--port", "@/ttyZ", "--port", "@/ttyA"} << int(CommandLine::Run)
        << QStringList{"@/ttyA"} << 1;
    QTest::newRow("port without path") << QStringList{"--port"} << int(CommandLine::Fail) << QStringList() << 1;
    QTest::newRow("unknown option") << QStringList{"--baud", "115200"} << int(CommandLine::Fail)
                                    << QStringList() << 1;
    QTest::newRow("stray argument") << QStringList{"ttyA"} << int(CommandLine::Fail) << QStringList() << 1;
    QTest::newRow("help") << QStringList{"--help"} << int(CommandLine::ShowHelp) << QStringList() << 0;
    QTest::newRow("version") << QStringList{"--version"} << int(CommandLine::ShowVersion) << QStringList() << 0;
}

void tst_CommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, outcome);
    QFETCH(QStringList, ports);
    QFETCH(int, messages);
    arguments.replaceInStrings("@", dir.path());
    ports.replaceInStrings("@", dir.path());
    arguments.prepend("ryd-configurator");

    CommandLine commandLine;
    QCOMPARE(int(commandLine.parse(arguments)), outcome);
    QCOMPARE(commandLine.ports(), ports);
    QCOMPARE(commandLine.messages().size(), messages);
    if (outcome == CommandLine::ShowHelp)
        QVERIFY(commandLine.helpText().contains("--port <path>"));
}

QTEST_GUILESS_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
