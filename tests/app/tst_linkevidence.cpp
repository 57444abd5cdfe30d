#include "trafficlog.h"
#include "trafficlogwindow.h"
#include "windowtesting.h"

#include <QFile>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QRegularExpression>

namespace {

// Answers every file dialog that opens: types `fileName` into it and accepts.
class FileChooser : public QObject
{
public:
    explicit FileChooser(const QString &fileName)
    {
        connect(&timer, &QTimer::timeout, this, [this, fileName] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(fileName);
            static_cast<QDialog *>(dialog)->accept();
        });
        timer.start(20);
    }

    QString title;
    QStringList filters;

private:
    QTimer timer;
};

QStringList fileLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {QStringLiteral("cannot read ") + fileName};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The text the row shows after its marks.
QString summaryOf(const W_Adres *row)
{
    const auto labels = row->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    return labels.size() == 1 ? labels.first()->text() : QStringLiteral("no summary label");
}

} // namespace

// The evidence an operator keeps of a link: the radio test's counts and
// round trips per address, their CSV report, and the traffic log of what
// went over the line, all driven from the window against the emulator.
class tst_LinkEvidence : public QObject, private WindowRig
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void radioTestCountsAndReport();
    void trafficLogOfConnect();
    void logKeepsNewestLines();

private:
    W_Adres *row(int i) const { return rowsOf(testPanel()).at(i); }
    void pressTest() { QTest::mouseClick(testKeyOf(testPanel()), Qt::LeftButton); }
    QString path(const QString &name) const { return workDir.filePath(name); }
};

// Address 1 answers, address 2 is absent. The counts survive a stop and a
// start; the poll in flight at the stop is not counted; the report holds
// what the rows show; a new address and "CLEAN TEST" empty the counts.
void tst_LinkEvidence::radioTestCountsAndReport()
{
    emulator->device()->setPresentAddresses(QByteArray(1, '\x01'));
    // On the wire's own time, so that a round trip is at least the time of
    // the poll's four bytes and the answer's five.
    emulator->setPacing(true);
    QVERIFY(connectDevice());
    window->findChild<Exchange *>()->setIntervalOverride(500);
    clickIndicator(row(0)->checkBox());
    clickIndicator(row(1)->checkBox());
    QCOMPARE(row(1)->adres(), quint8(2));

    pressTest();
    QTRY_COMPARE_WITH_TIMEOUT(summaryOf(row(1)), QString("0/2 0%"), 4000);
    pressTest();
    QCOMPARE(summaryOf(row(0)), QString("2/2 100%"));
    pressTest();
    QTRY_COMPARE_WITH_TIMEOUT(summaryOf(row(0)), QString("3/3 100%"), 2000);
    pressTest();
    QCOMPARE(summaryOf(row(1)), QString("0/2 0%"));

    {
        FileChooser chooser(path("report"));
        QTest::mouseClick(named<QPushButton>("Save Report"), Qt::LeftButton);
        QCOMPARE(chooser.title, QString("Save Report"));
        QCOMPARE(chooser.filters, QStringList{"CSV Files (*.csv)"});
    }
    const QStringList report = fileLines(path("report.csv"));
    QCOMPARE(report.size(), 3);
    QCOMPARE(report.at(0), QString("address,polled,answered,percent,rtt_last_ms,rtt_mean_ms,rtt_max_ms"));
    const QStringList answered = report.at(1).split(',');
    QCOMPARE(answered.mid(0, 4), (QStringList{"1", "3", "3", "100"}));
    const int last = answered.value(4).toInt(), mean = answered.value(5).toInt(), largest = answered.value(6).toInt();
    QVERIFY2(last >= 9 && mean >= 9 && last <= largest && mean <= largest && largest < 500, qPrintable(report.at(1)));
    QCOMPARE(report.at(2), QString("2,2,0,0,,,"));
    QVERIFY2(row(0)->toolTip().contains(
                 QStringLiteral("last %1 ms, mean %2 ms, largest %3 ms").arg(last).arg(mean).arg(largest)),
             qPrintable(row(0)->toolTip()));

    QVERIFY(!testPanel()->saveReportTo(path("report.csv/inside.csv")));
    QCOMPARE(boxes->seen.size(), 1);
    QCOMPARE(boxes->seen.takeFirst().title, QString("Save Report"));

    row(1)->spinBox()->setValue(3);
    QCOMPARE(summaryOf(row(1)), QString());
    QCOMPARE(summaryOf(row(0)), QString("3/3 100%"));
    QTest::mouseClick(cleanKeyOf(testPanel()), Qt::LeftButton);
    QCOMPARE(summaryOf(row(0)), QString());
    QVERIFY2(row(0)->toolTip().startsWith("The latest ten polls") && !row(0)->toolTip().contains("Round trip"),
             qPrintable(row(0)->toolTip()));
    QCOMPARE(testPanel()->reportCsv(), QByteArray("address,polled,answered,percent,rtt_last_ms,rtt_mean_ms,rtt_max_ms\n"));
}

// The log records from the start, its window opened or not: a connect whose
// channel-plan read stays unanswered, with stray bytes before one answer,
// then a disconnect. Every request is logged as sent and every answer as
// accepted, in the order of the line.
void tst_LinkEvidence::trafficLogOfConnect()
{
    emulator->addFault(silentFault("ATS206?", 2));
    Emulator::Fault noise;
    noise.match = "ATS201?";
    noise.times = 1;
    noise.noise = "\xff\n";
    emulator->addFault(noise);
    QList<QPair<QByteArray, QByteArray>> line;
    connect(emulator.get(), &Emulator::answered, this,
            [&](const QByteArray &request, const QByteArray &bytes) { line.append({request, bytes}); });
    window->findChild<Exchange *>()->setIntervalOverride(200);
    boxes->answer = BoxAnswerer::Yes;

    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    QTRY_VERIFY(sequenceEnded());
    QCOMPARE(boxes->seen.size(), 1);
    QCOMPARE(boxes->seen.takeFirst().title, QString("ATS206?\r"));
    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    QCOMPARE(key("pbOpen")->text(), QString("Connect"));

    const auto text = [](QByteArray bytes) { return QString::fromLatin1(bytes.replace('\r', "\\r")); };
    QStringList expected{"! connected " + portName};
    for (const auto &[request, bytes] : qAsConst(line)) {
        expected << "> " + text(request);
        if (request == "ATS201?\r") {
            QVERIFY(bytes.startsWith("\xff\n"));
            expected << "! unexpected: \\xff\\n" << "< " + text(bytes.mid(2));
        } else if (!bytes.isEmpty()) {
            expected << "< " + text(bytes);
        }
    }
    const int lastSilent = expected.lastIndexOf("> ATS206?\\r");
    expected.insert(lastSilent + 1, "! no answer: ATS206?\\r");
    expected.insert(lastSilent + 2, "! failure prompt ATS206?\\r answered Yes");
    expected << "! disconnected " + portName;
    QCOMPARE(expected.count("> ATS206?\\r"), 2);

    QTest::mouseClick(key("Traffic Log"), Qt::LeftButton);
    auto *logWindow = window->findChild<TrafficLogWindow *>();
    QVERIFY(logWindow && logWindow->isVisible());
    {
        FileChooser chooser(path("traffic.txt"));
        QTest::mouseClick(logWindow->findChild<QPushButton *>("Save Log"), Qt::LeftButton);
        QCOMPARE(chooser.title, QString("Save Log"));
    }
    const QStringList saved = fileLines(path("traffic.txt"));
    QStringList events;
    const QRegularExpression shape("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d ([<>!] .*)$");
    for (const QString &logLine : saved)
        events << shape.match(logLine).captured(1);
    QCOMPARE(events, expected);

    // Closed and opened again, the one log window shows the same log.
    auto *view = logWindow->findChild<QPlainTextEdit *>();
    logWindow->close();
    QTest::mouseClick(key("Traffic Log"), Qt::LeftButton);
    QCOMPARE(window->findChildren<TrafficLogWindow *>().size(), 1);
    QCOMPARE(view->toPlainText(), saved.join('\n'));

    QTest::mouseClick(logWindow->findChild<QPushButton *>("Clear"), Qt::LeftButton);
    QCOMPARE(view->toPlainText(), QString());
    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    QTRY_COMPARE(view->toPlainText().mid(13, 12), QString("! connected "));
    QVERIFY(!logWindow->saveLogTo(path("traffic.txt/inside.txt")));
    QCOMPARE(boxes->seen.size(), 1);
    QCOMPARE(boxes->seen.takeFirst().title, QString("Save Log"));
}

// Past its capacity the log drops its oldest lines and keeps the order.
void tst_LinkEvidence::logKeepsNewestLines()
{
    TrafficLog log;
    for (int i = 0; i < TrafficLog::capacity + 5; ++i)
        log.addLine(TrafficLog::Sent, QString::number(i));
    const QStringList lines = log.lines();
    QCOMPARE(lines.size(), TrafficLog::capacity);
    QVERIFY2(lines.first().endsWith(" > 5"), qPrintable(lines.first()));
    QVERIFY2(lines.last().endsWith(QStringLiteral(" > %1").arg(TrafficLog::capacity + 4)), qPrintable(lines.last()));
}

QTEST_MAIN(tst_LinkEvidence)
#include "tst_linkevidence.moc"
