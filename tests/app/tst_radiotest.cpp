#include "w_adres.h"
#include "windowtesting.h"

#include <QCheckBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QRegularExpression>

namespace {

// The row's marks, newest first, to the last that is not grey: "yr" is a yellow and a red mark.
QString marksOf(const W_Adres *row)
{
    QString shown;
    for (const QWidget *mark : row->rects()) {
        const QColor c = mark->palette().color(QPalette::Window);
        shown += c == Qt::gray ? '.' : c == Qt::yellow ? 'y' : c == Qt::green ? 'g' : c == Qt::red ? 'r' : '?';
    }
    return shown.remove(QRegularExpression("\\.+$"));
}

// The text the row shows after its marks.
QString summaryOf(const W_Adres *row)
{
    return row->findChild<QLabel *>(QString(), Qt::FindDirectChildrenOnly)->text();
}

} // namespace

// The radio stability check run from the window's test panel against the
// device emulator, which answers the polls of address 1 only.
class tst_RadioTest : public QObject, private WindowRig
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void init();
    void cleanup() { closeWindow(); }

    void pollsInListOrder();
    void otherSequenceEndsTest_data();
    void otherSequenceEndsTest();
    void countsStopsAndReport();

private:
    void pressTest() { QTest::mouseClick(testKeyOf(testPanel()), Qt::LeftButton); }

    W_Adres *row(int i) const { return rowsOf(testPanel()).at(i); }
};

// Address 1 and address 12 are ticked.
void tst_RadioTest::init()
{
    openWindow();
    emulator->device()->setPresentAddresses(QByteArray(1, '\x01'));
    fastTimers(500);
    QVERIFY(connectDevice());
    clickIndicator(row(0)->checkBox());
    clickIndicator(row(1)->checkBox());
    row(1)->spinBox()->setValue(12);
}

// "XMwn\r", then address 1 ("!011"), address 12 ("!01<") and address 1 again, one poll a second. The first answer
// from address 1 carries another address and counts as none.
void tst_RadioTest::pollsInListOrder()
{
    Emulator::Fault wrong;
    wrong.match = "!011";
    wrong.times = 1;
    wrong.replaceWith = "TEST2";
    emulator->addFault(wrong);
    // The one case on the protocol's own second.
    fastTimers(0);
    QElapsedTimer clock;
    QList<qint64> pollTimes;
    connect(emulator.get(), &Emulator::requestReceived, this, [&](const QByteArray &request) {
        if (request.startsWith("!01"))
            pollTimes.append(clock.elapsed());
    });

    clock.start();
    pressTest();
    QCOMPARE(testKeyOf(testPanel())->text(), QString("STOP"));
    QVERIFY(!row(0)->checkBox()->isEnabled());
    // The counts are drawn as readable text while the test runs.
    QVERIFY(row(0)->findChild<QLabel *>(QString(), Qt::FindDirectChildrenOnly)->isEnabled());

    const QByteArrayList threePolls{"XMwn\r", "!011", "!01<", "!011"};
    QTRY_COMPARE_WITH_TIMEOUT(emulator->requests(), threePolls, 3500);
    for (int i = 1; i < pollTimes.size(); ++i)
        QVERIFY2(qAbs(pollTimes.at(i) - pollTimes.at(i - 1) - 1000) < 150, "one poll a second");
    QCOMPARE(marksOf(row(0)), QString("yr"));
    QCOMPARE(progressBar()->value(), 0);

    // Stopped, the poll in flight is judged at the end of its second and nothing more is sent.
    pressTest();
    QCOMPARE(testKeyOf(testPanel())->text(), QString("TEST"));
    QVERIFY(row(0)->checkBox()->isEnabled());
    QTest::qWait(1100);
    QCOMPARE(emulator->requests(), threePolls);
    QCOMPARE(marksOf(row(0)), QString("gr"));
    QCOMPARE(marksOf(row(1)), QString("r"));
}

void tst_RadioTest::otherSequenceEndsTest_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArrayList>("sequence");

    const QByteArrayList factoryWrites{"$00,4,000,000,0,050,006,0", "ATS206=2\r", "ATS201=2\r",
                                       "ATS200=0\r", "ATS202=7\r", "ATS214=2\r", "ATS216=2\r", "ATO\r"};
    QTest::newRow("READ") << "READ" << readAllRequests;
    QTest::newRow("WRITE") << "WRITE" << QByteArrayList{"+++", "ATS210=5\r", "$35"} + factoryWrites + readAllRequests;
    QTest::newRow("DEFAULT") << "DEFAULT" << QByteArrayList{"$34", "+++", "ATR\r"} + factoryWrites + readAllRequests;
    QTest::newRow("disconnect, connect") << "pbOpen" << QByteArrayList{"$2"} + readAllRequests;
}

// Any other sequence ends a running test: it runs to its end with its
// progress shown, no poll follows, and the test panel is idle again.
void tst_RadioTest::otherSequenceEndsTest()
{
    QFETCH(QString, key);
    QFETCH(QByteArrayList, sequence);

    pressTest();
    QTRY_COMPARE(emulator->requests(), (QByteArrayList{"XMwn\r", "!011"}));
    auto *pressed = window->findChild<QPushButton *>(key);
    if (key == "DEFAULT")
        pressDefault();
    else
        QTest::mouseClick(pressed, Qt::LeftButton);
    QCOMPARE(testKeyOf(testPanel())->text(), QString("TEST"));
    if (key == "pbOpen")
        QTest::mouseClick(pressed, Qt::LeftButton);
    const QByteArrayList expected = QByteArrayList{"XMwn\r", "!011"} + sequence;
    QTRY_COMPARE_WITH_TIMEOUT(emulator->requests(), expected, 3000);
    QTRY_COMPARE(progressBar()->value(), 100);
    QTest::qWait(600);
    QCOMPARE(emulator->requests(), expected);
    QCOMPARE(marksOf(row(0)), QString("y"));
}

// STOP once the answer to a poll is in: the poll is judged and counted at the end of its second, and the
// next start goes on with the next address. CLEAN TEST while a poll is under way: that poll is left out
// of the fresh counts and the next poll is the first address, not the same one again. After disconnecting
// the counts can still be saved, under a name offered with the port and the date; the report holds what the
// rows show, with the port and the times of each address's first and last poll.
void tst_RadioTest::countsStopsAndReport()
{
    // On the wire's own time: a round trip lasts at least the poll's four bytes and the answer's five.
    emulator->setPacing(true);
    int answers = 0, polls12 = 0;
    connect(window->findChild<Exchange *>(), &Exchange::sgAnswer, this, [&](TypeParser, const QByteArray &request) {
        if (request == "!011" && (++answers == 2 || answers == 4))
            QTimer::singleShot(0, this, [this] { pressTest(); });
    });
    connect(emulator.get(), &Emulator::requestReceived, this, [&](const QByteArray &request) {
        if (request == "!01<" && ++polls12 == 2)
            QTimer::singleShot(0, this, [this] { QTest::mouseClick(cleanKeyOf(testPanel()), Qt::LeftButton); });
    });
    pressTest();
    QTRY_COMPARE_WITH_TIMEOUT(summaryOf(row(0)), QString("2/2 100%"), 3000);
    QCOMPARE(emulator->requests(), (QByteArrayList{"XMwn\r", "!011", "!01<", "!011"}));
    QCOMPARE(summaryOf(row(1)), QString("0/1 0%"));
    emulator->clearRequests();
    pressTest();
    const QByteArrayList afterClean{"XMwn\r", "!01<", "!011", "!01<", "!011"};
    QTRY_COMPARE_WITH_TIMEOUT(emulator->requests(), afterClean, 4000);
    QTRY_COMPARE(summaryOf(row(0)), QString("2/2 100%"));
    QCOMPARE(summaryOf(row(1)), QString("0/1 0%"));
    QCOMPARE(marksOf(row(1)), QString("r"));

    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    QString offered;
    answerFileDialog(workDir.filePath("report"), &offered);
    QTest::mouseClick(named<QPushButton>("Save Report"), Qt::LeftButton);
    const QString port = QFileInfo(portName).fileName();
    QVERIFY2(QRegularExpression("^radio-test_" + port + "_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\.csv$")
                 .match(offered).hasMatch(), qPrintable(offered));
    const QStringList report = QString(readFile(workDir.filePath("report.csv"))).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(report.size(), 3);
    const QStringList answered = report.at(1).split(',');
    QCOMPARE(answered.mid(0, 4), (QStringList{"1", "2", "2", "100"}));
    const int last = answered.value(4).toInt(), mean = answered.value(5).toInt(), largest = answered.value(6).toInt();
    QVERIFY2(last >= 9 && mean >= 9 && last <= largest && mean <= largest && largest < 500, qPrintable(report.at(1)));
    QVERIFY2(row(0)->toolTip().contains(
                 QStringLiteral("last %1 ms, mean %2 ms, largest %3 ms").arg(last).arg(mean).arg(largest)),
             qPrintable(row(0)->toolTip()));
    QCOMPARE(answered.value(7), portName);
    const QDateTime first = QDateTime::fromString(answered.value(8), Qt::ISODate);
    const QDateTime lastPoll = QDateTime::fromString(answered.value(9), Qt::ISODate);
    QVERIFY2(first.msecsTo(lastPoll) > 0 && qAbs(lastPoll.secsTo(QDateTime::currentDateTime())) < 30,
             qPrintable(report.at(1)));
    QCOMPARE(report.at(2).section(',', 0, 7), "12,1,0,0,,,," + portName);
    QCOMPARE(emulator->requests(), afterClean);

    // A new address empties the counts of its row.
    row(1)->spinBox()->setValue(3);
    QCOMPARE(summaryOf(row(1)), QString());
    QCOMPARE(summaryOf(row(0)), QString("2/2 100%"));
}

QTEST_MAIN(tst_RadioTest)
#include "tst_radiotest.moc"
