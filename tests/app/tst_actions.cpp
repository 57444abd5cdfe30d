#include "trafficlog.h"
#include "trafficlogwindow.h"
#include "version.h"
#include "windowtesting.h"

#include <QPlainTextEdit>
#include <QRegularExpression>

namespace {

// The device as the tests find it: nothing at its factory value.
void setDistinctiveDevice(DeviceModel *device)
{
    device->setSRegister(DeviceModel::SubBand, 6);
    device->setSRegister(DeviceModel::RadioDataRate, 1);
    device->setSRegister(DeviceModel::Chanel, 7);
    device->setSRegister(DeviceModel::Power, 4);
    device->setSRegister(DeviceModel::SerialTimeout, 40);
    device->setSRegister(DeviceModel::FlowControl, 2);
    QCOMPARE(device->answer("$0:,2,009,012,3,120,025,1"), QByteArray("OK\r"));
    device->setFirmware("3.9");
    device->setHardware("D");
    device->setModuleVersion("LE50-868 v3.4");
}

const Settings distinctiveSettings{
    {"Sub-band", 6},         {"Radio Data Rate", 1}, {"Chanel", 7},       {"Power", 4},  {"Test address", 10},
    {"Serial Data Rate", 2}, {"Serial Timeout", 40}, {"Delay Tx-Rx", 12}, {"Parity", 3}, {"Stop bit", 1},
    {"Flow control", 2},     {"Radio Transmit Reset", 120}, {"WDT Reset", 25}};

} // namespace

// The main window driven as an operator drives it, against the device emulator:
// what the device receives and what the window shows.
class tst_Actions : public QObject, private WindowRig
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void connectAndDefault();
    void failurePrompt_data();
    void failurePrompt();
    void answerConversions();
    void trafficLogOfConnect();
    void logKeepsNewestLines();
};

// Connect shows the device, a disconnect keeps its record. DEFAULT asks first, No changes nothing; after Yes
// the defaults show before anything reaches the device and the first reset answered jumps straight to the record.
void tst_Actions::connectAndDefault()
{
    setDistinctiveDevice(emulator->device());
    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    QCOMPARE(key("pbOpen")->text(), QString("Disconnect"));
    QCOMPARE(panelsEnabled(), QVector<bool>(6, true));

    QTRY_COMPARE_WITH_TIMEOUT(emulator->requests(), QByteArrayList{"$2"} + readAllRequests, 5000);
    QTRY_COMPARE(progressBar()->value(), 100);
    COMPARE_SETTINGS(shown(), distinctiveSettings);
    QCOMPARE(window->windowTitle(), QString::fromUtf8("Рыд Конфигуратор v.1.1.14   Hardware: D Firmware: v.3.9"));
    QCOMPARE(named<QLineEdit>("Radio module")->text(), QString("LE50-868"));
    QCOMPARE(named<QLineEdit>("FirmWare")->text(), QString("LE50-868 v3.4"));
    QCOMPARE(spin("Serial Timeout")->minimum(), 5);

    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    verifyDisconnected();
    COMPARE_SETTINGS(recordOf(window->record()), distinctiveSettings);

    emulator->clearRequests();
    QVERIFY(connectDevice());
    boxes->answer = BoxAnswerer::No;
    QTest::mouseClick(key("DEFAULT"), Qt::LeftButton);
    QCOMPARE(boxes->seen.size(), 1);
    QCOMPARE(boxes->seen.takeFirst().buttons, QMessageBox::Yes | QMessageBox::No);
    QTest::qWait(100);
    QVERIFY(emulator->requests().isEmpty());
    COMPARE_SETTINGS(shown(), distinctiveSettings);

    clickIndicator(button(rs485()->serialRatePanel()->buttons(), 0));
    QCOMPARE(spin("Serial Timeout")->minimum(), 17);

    pressDefault();
    // Checked against the bytes written and the device's factory record read back.
    QVERIFY(emulator->requests().isEmpty());
    const Settings defaults = shown();
    COMPARE_SETTINGS(recordOf(window->record()), defaults);
    QCOMPARE(spin("Serial Timeout")->minimum(), 2);
    QCOMPARE(combo("Chanel")->count(), 5);

    const QByteArrayList expected = QByteArrayList{"$30", "+++", "ATR\r", "$00,4,000,000,0,050,006,0",
                                                   "ATS206=2\r", "ATS201=2\r", "ATS200=0\r", "ATS202=7\r",
                                                   "ATS214=2\r", "ATS216=2\r", "ATO\r"} + readAllRequests;
    QTRY_COMPARE_WITH_TIMEOUT(emulator->requests(), expected, 5000);
    QTRY_VERIFY(sequenceEnded());
    COMPARE_SETTINGS(recordOf(window->record()), defaults);
    COMPARE_SETTINGS(shown(), defaults);
}

void tst_Actions::failurePrompt_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(BoxAnswerer::Yes);
    QTest::newRow("no") << int(BoxAnswerer::No);
    QTest::newRow("escape") << int(BoxAnswerer::Escape);
}

// The power write gets no answer during WRITE; the edits would show a read-back.
void tst_Actions::failurePrompt()
{
    QFETCH(int, answer);
    const bool goesOn = answer == BoxAnswerer::Yes;

    // Going on waits the protocol's own second; the other answers are not about time.
    setDistinctiveDevice(emulator->device());
    QVERIFY(connectDevice());
    if (!goesOn)
        fastTimers();
    spin("Serial Timeout")->setValue(60);
    combo("Flow control")->setCurrentIndex(1);
    const Settings edited = changed(distinctiveSettings, {{"Serial Timeout", 60}, {"Flow control", 0}});
    emulator->addFault(silentFault("ATS202="));

    boxes->answer = BoxAnswerer::Answer(answer);
    QTest::mouseClick(key("WRITE"), Qt::LeftButton);
    const QByteArrayList writes{"+++",        "ATS210=3\r", "$33",        "$0:,2,000,012,3,120,025,1", "ATS206=6\r",
                                "ATS201=1\r", "ATS200=7\r", "ATS202=4\r", "ATS214=60\r", "ATS216=0\r", "ATO\r"};
    const QByteArrayList untilPrompt = writes.mid(0, 8) + QByteArrayList{writes.at(7)};
    const QByteArrayList expected = goesOn ? untilPrompt + writes.mid(8) + readAllRequests : untilPrompt;
    QTRY_VERIFY_WITH_TIMEOUT(!boxes->seen.isEmpty(), 5000);
    const BoxAnswerer::Seen prompt = boxes->seen.takeFirst();
    QCOMPARE(prompt.title, QString("ATS202=4"));
    QCOMPARE(prompt.text, QString::fromUtf8("Ошибка выполнения команды. Продолжить?"));
    QCOMPARE(prompt.informative, QString("The device did not confirm the write of \"Power\".\nYes skips this command "
                                         "and goes on with the rest of the sequence; No stops the sequence here."));
    QCOMPARE(prompt.buttons, QMessageBox::Yes | QMessageBox::No);

    QTRY_COMPARE_WITH_TIMEOUT(emulator->requests(), expected, 5000);
    QTRY_COMPARE(progressBar()->value(), 100);
    QTest::qWait(400);
    QCOMPARE(emulator->requests(), expected);
    COMPARE_SETTINGS(recordOf(window->record()), edited);
    COMPARE_SETTINGS(shown(), edited);
    if (goesOn)
        return;
    // Given up half way: one box names what was sent, the log says so, and
    // the edits not read back stay marked.
    QTRY_COMPARE(boxes->seen.size(), 1);
    const BoxAnswerer::Seen half = boxes->seen.takeFirst();
    QCOMPARE(half.title, QString("WRITE"));
    QCOMPARE(half.text, QString("WRITE ended before the device's settings were read back. The device may now hold "
                                "part of the new settings. Write requests were sent for:\nSub-band\nRadio Data Rate\n"
                                "Chanel\nPower\nTest address\nSerial Data Rate\nDelay Tx-Rx\nParity\nStop bit\n"
                                "Radio Transmit Reset\nWDT Reset"));
    QVERIFY(window->findChild<TrafficLog *>()->lines().last().endsWith(
        "! WRITE ended before its read-back, sent: Sub-band, Radio Data Rate, Chanel, Power, Test address, "
        "Serial Data Rate, Delay Tx-Rx, Parity, Stop bit, Radio Transmit Reset, WDT Reset"));
    QCOMPARE(marks().keys(), (QStringList{"Flow control", "Serial Timeout"}));
}

// Answers the device may give, in turn: the record takes what each carries,
// the panels show it, and nothing else changes.
void tst_Actions::answerConversions()
{
    const QByteArrayList rs485Fields{"3", "000", "020", "1", "100", "012", "1"};
    const Settings rs485{{"Serial Data Rate", 3}, {"Delay Tx-Rx", 20}, {"Parity", 1},
                         {"Radio Transmit Reset", 100}, {"WDT Reset", 12}, {"Stop bit", 1}};
    // The answer's type and fields, the settings they carry, whether the panels can show them.
    const std::tuple<TypeParser, QByteArrayList, Settings, bool> answers[] = {
        {E_GetFlowControl, {"0"}, {{"Flow control", 0}}, true},
        {E_GetRs485, QByteArrayList{"7"} + rs485Fields, changed(rs485, {{"Test address", 7}}), true},
        // No address character keeps the address.
        {E_GetRs485, QByteArrayList{""} + rs485Fields, {}, true},
        {E_GetRs485, {"9", "4", "000", "300", "0", "050", "006", "0"},
         {{"Test address", 9}, {"Serial Data Rate", 4}, {"Delay Tx-Rx", 44}, {"Parity", 0},
          {"Radio Transmit Reset", 50}, {"WDT Reset", 6}, {"Stop bit", 0}}, true},
        // The panel has no button for sub-band 3.
        {E_GetSubBand, {"3"}, {{"Sub-band", 3}}, false},
        {E_SetPower, {"5"}, {}, true},
    };
    window->setPanelsEnabled(true);
    for (const auto &[type, fields, recorded, showable] : answers) {
        const Settings expected = changed(recordOf(window->record()), recorded);
        const Settings shownBefore = shown();
        window->slSetSettings(type, fields);
        const QString diff = differences(recordOf(window->record()), expected)
            + differences(shown(), showable ? changed(shownBefore, recorded) : shownBefore);
        QVERIFY2(diff.isEmpty(), qPrintable(fields.join(',') + ": " + diff));
    }
}

// The log records from the start, its window opened or not, every request
// and answer in the order of the line: a connect whose channel-plan read
// stays unanswered, with stray bytes before one answer, then a disconnect.
void tst_Actions::trafficLogOfConnect()
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
    // Long enough for a slow (sanitized) build to answer each request within its first send.
    fastTimers(600);
    boxes->answer = BoxAnswerer::Yes;

    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(sequenceEnded(), 10000);
    QCOMPARE(boxes->seen.size(), 1);
    QCOMPARE(boxes->seen.first().title, QString("ATS206?"));
    QVERIFY(boxes->seen.takeFirst().informative.startsWith("The device did not answer the read of \"Sub-band\"."));
    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);

    const auto text = [](QByteArray bytes) { return QString::fromLatin1(bytes.replace('\r', "\\r")); };
    QStringList expected{"! connected " + portName};
    for (const auto &[request, bytes] : qAsConst(line)) {
        expected << "> " + text(request);
        if (request == "ATS201?\r") {
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
    answerFileDialog(workDir.filePath("traffic.txt"));
    QTest::mouseClick(logWindow->findChild<QPushButton *>("Save Log"), Qt::LeftButton);
    QStringList saved = QString(readFile(workDir.filePath("traffic.txt"))).split('\n', Qt::SkipEmptyParts);
    const QString header = saved.isEmpty() ? QString() : saved.takeFirst();
    const QString start = "Ryd Configurator " RYD_VERSION ", port " + portName + ", saved ";
    const QDateTime saveTime = QDateTime::fromString(header.mid(start.size()), Qt::ISODate);
    QVERIFY2(header.startsWith(start) && qAbs(saveTime.secsTo(QDateTime::currentDateTime())) < 60,
             qPrintable(header));
    QStringList events;
    const QRegularExpression shape("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d ([<>!] .*)$");
    for (const QString &logLine : saved)
        events << shape.match(logLine).captured(1);
    QCOMPARE(events, expected);

    // Closed with Escape and opened again, the one log window shows the same log.
    auto *view = logWindow->findChild<QPlainTextEdit *>();
    QTest::keyClick(view, Qt::Key_Escape);
    QVERIFY(!logWindow->isVisible());
    QTest::mouseClick(key("Traffic Log"), Qt::LeftButton);
    QCOMPARE(window->findChildren<TrafficLogWindow *>().size(), 1);
    QCOMPARE(view->toPlainText(), saved.join('\n'));

    QTest::mouseClick(logWindow->findChild<QPushButton *>("Clear"), Qt::LeftButton);
    QCOMPARE(view->toPlainText(), QString());
    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    QTRY_COMPARE(view->toPlainText().mid(13, 12), QString("! connected "));
}

// Past its capacity the log drops its oldest lines and keeps the order.
void tst_Actions::logKeepsNewestLines()
{
    TrafficLog log;
    for (int i = 0; i < TrafficLog::capacity + 5; ++i)
        log.addLine(TrafficLog::Sent, QString::number(i));
    const QStringList lines = log.lines();
    QCOMPARE(lines.size(), TrafficLog::capacity);
    QVERIFY2(lines.first().endsWith(" > 5"), qPrintable(lines.first()));
    QVERIFY2(lines.last().endsWith(QStringLiteral(" > %1").arg(TrafficLog::capacity + 4)), qPrintable(lines.last()));
}

QTEST_MAIN(tst_Actions)
#include "tst_actions.moc"
