#include "windowtesting.h"

#include <QDial>

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
    {"Sub-band", 6},      {"Radio Data Rate", 1}, {"Chanel", 7},         {"Power", 4},
    {"Test address", 10}, {"Serial Data Rate", 2}, {"Serial Timeout", 40}, {"Delay Tx-Rx", 12},
    {"Parity", 3},        {"Stop bit", 1},         {"Flow control", 2},    {"Radio Transmit Reset", 120},
    {"WDT Reset", 25}};

} // namespace

// The main window driven as an operator drives it, against the device
// emulator on a pseudo-terminal: what the device receives and what the
// window shows.
class tst_Actions : public QObject, private WindowRig
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void connectShowsDevice();
    void defaultFirstResetAnswered();
    void failurePrompt_data();
    void failurePrompt();

    void serialDataRateSetsTimeout_data();
    void serialDataRateSetsTimeout();
    void answerConversions_data();
    void answerConversions();

private:
    bool connectDistinctiveDevice();
    void edit(const QString &name, int value);
    QByteArrayList writesFor(const Settings &s) const;
};

bool tst_Actions::connectDistinctiveDevice()
{
    setDistinctiveDevice(emulator->device());
    return connectDevice();
}

// Sets a spin box or combo box the way the operator does.
void tst_Actions::edit(const QString &name, int value)
{
    const QByteArray n = name.toLatin1();
    if (name == "Flow control")
        combo("Flow control")->setCurrentIndex(value == 0 ? 1 : 0);
    else if (auto *s = spin(n.constData()))
        s->setValue(value);
    else if (auto *c = combo(n.constData()))
        c->setCurrentIndex(value);
    else
        QFAIL(qPrintable("no spin or combo box " + name));
}

// The eleven write requests for a record.
QByteArrayList tst_Actions::writesFor(const Settings &s) const
{
    const QByteArray rate = QByteArray::number(s["Serial Data Rate"] + 1);
    const auto padded = [&s](const char *name, int width) {
        return QByteArray::number(s[name]).rightJustified(width, '0');
    };
    const QByteArray record = QByteArray(1, char(48 + s["Test address"])) + ","
        + QByteArray::number(s["Serial Data Rate"]) + ",000," + padded("Delay Tx-Rx", 3) + ","
        + padded("Parity", 1) + "," + padded("Radio Transmit Reset", 3) + ","
        + padded("WDT Reset", 3) + "," + padded("Stop bit", 1);
    const auto reg = [&s](int number, const char *name) {
        return "ATS" + QByteArray::number(number) + "=" + QByteArray::number(s[name]) + "\r";
    };
    return {"+++", "ATS210=" + rate + "\r", "$3" + rate, "$0" + record,
            reg(206, "Sub-band"), reg(201, "Radio Data Rate"), reg(200, "Chanel"),
            reg(202, "Power"), reg(214, "Serial Timeout"), reg(216, "Flow control"), "ATO\r"};
}

void tst_Actions::connectShowsDevice()
{
    setDistinctiveDevice(emulator->device());
    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    QCOMPARE(key("pbOpen")->text(), QString("Disconnect"));
    QCOMPARE(panelsEnabled(), QVector<bool>(6, true));

    QTRY_COMPARE_WITH_TIMEOUT(emulator->requests(), QByteArrayList{"$2"} + readAllRequests, 5000);
    QTRY_COMPARE(progressBar()->value(), 100);
    COMPARE_SETTINGS(recordOf(window->record()), distinctiveSettings);
    COMPARE_SETTINGS(shown(), distinctiveSettings);
    QCOMPARE(combo("Flow control")->currentText(), QString("None"));
    QCOMPARE(combo("Chanel")->count(), 10);
    QCOMPARE(window->windowTitle(),
             QString::fromUtf8("Рыд Конфигуратор v.1.1.14   Hardware: D Firmware: v.3.9"));
    QCOMPARE(named<QLineEdit>("Radio module")->text(), QString("LE50-868"));
    QCOMPARE(named<QLineEdit>("FirmWare")->text(), QString("LE50-868 v3.4"));
    // The serial rate of the record sets the lowest serial timeout.
    QCOMPARE(spin("Serial Timeout")->minimum(), 5);

    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    verifyDisconnected();
    COMPARE_SETTINGS(recordOf(window->record()), distinctiveSettings);
}

// The defaults show before anything reaches the device; the first reset
// answered jumps straight to the record.
void tst_Actions::defaultFirstResetAnswered()
{
    QVERIFY(connectDistinctiveDevice());
    clickIndicator(button(rs485()->serialRatePanel()->buttons(), 0));
    QCOMPARE(spin("Serial Timeout")->minimum(), 17);
    QCOMPARE(spin("Serial Timeout")->value(), 17);

    pressDefault();
    // The panels show the factory record's serial rate, and with it the
    // floor that lets the default serial timeout show.
    const Settings defaults{
        {"Sub-band", 2},     {"Radio Data Rate", 2},  {"Chanel", 0},         {"Power", 7},
        {"Test address", 0}, {"Serial Data Rate", 4}, {"Serial Timeout", 2}, {"Delay Tx-Rx", 0},
        {"Parity", 0},       {"Stop bit", 0},         {"Flow control", 2},   {"Radio Transmit Reset", 50},
        {"WDT Reset", 6}};
    QVERIFY(emulator->requests().isEmpty());
    COMPARE_SETTINGS(recordOf(window->record()), defaults);
    COMPARE_SETTINGS(shown(), defaults);
    QCOMPARE(spin("Serial Timeout")->minimum(), 2);
    QCOMPARE(combo("Chanel")->count(), 5);

    const QByteArrayList expected = QByteArrayList{"$30", "+++", "ATR\r", "$00,4,000,000,0,050,006,0",
                                                   "ATS206=2\r", "ATS201=2\r", "ATS200=0\r", "ATS202=7\r",
                                                   "ATS214=2\r", "ATS216=2\r", "ATO\r"}
        + readAllRequests;
    QTRY_COMPARE_WITH_TIMEOUT(emulator->requests(), expected, 5000);
    QTRY_VERIFY(sequenceEnded());
    // The read-back finds what the panels showed.
    COMPARE_SETTINGS(recordOf(window->record()), defaults);
    COMPARE_SETTINGS(shown(), defaults);
}

void tst_Actions::failurePrompt_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("goesOn");

    QTest::newRow("yes") << int(BoxAnswerer::Yes) << true;
    QTest::newRow("no") << int(BoxAnswerer::No) << false;
    QTest::newRow("escape") << int(BoxAnswerer::Escape) << false;
    QTest::newRow("close control") << int(BoxAnswerer::Close) << false;
}

// The power write gets no answer during WRITE. Serial timeout and flow
// control are edited so that a read-back would show in the record.
void tst_Actions::failurePrompt()
{
    QFETCH(int, answer);
    QFETCH(bool, goesOn);

    // Going on is timed by the protocol's own second; the other answers
    // are not about time.
    if (!goesOn)
        fastTimers();
    QVERIFY(connectDistinctiveDevice());
    spin("Serial Timeout")->setValue(60);
    combo("Flow control")->setCurrentIndex(1);
    const Settings edited = changed(distinctiveSettings, {{"Serial Timeout", 60}, {"Flow control", 0}});
    COMPARE_SETTINGS(recordOf(window->record()), edited);
    const Settings shownBefore = shown();
    emulator->addFault(silentFault("ATS202="));

    boxes->answer = BoxAnswerer::Answer(answer);
    QTest::mouseClick(key("WRITE"), Qt::LeftButton);
    const QByteArrayList writes = writesFor(edited);
    QCOMPARE(writes.at(7), QByteArray("ATS202=4\r"));
    const QByteArrayList untilPrompt = writes.mid(0, 8) + QByteArrayList{writes.at(7)};
    QTRY_COMPARE_WITH_TIMEOUT(boxes->seen.size(), 1, 5000);
    const BoxAnswerer::Seen prompt = boxes->seen.takeFirst();
    QCOMPARE(prompt.title, QString("ATS202=4\r"));
    QCOMPARE(prompt.text, QString::fromUtf8("Ошибка выполнения команды. Продолжить?"));
    QCOMPARE(prompt.buttons, QMessageBox::Yes | QMessageBox::No);

    if (goesOn) {
        QTRY_COMPARE_WITH_TIMEOUT(emulator->requests(), untilPrompt + writes.mid(8) + readAllRequests, 5000);
        QTRY_COMPARE(progressBar()->value(), 100);
        COMPARE_SETTINGS(recordOf(window->record()), edited);
        return;
    }
    QTRY_COMPARE(progressBar()->value(), 100);
    QTest::qWait(400);
    QCOMPARE(emulator->requests(), untilPrompt);
    QCOMPARE(progressBar()->value(), 100);
    COMPARE_SETTINGS(recordOf(window->record()), edited);
    COMPARE_SETTINGS(shown(), shownBefore);
}

void tst_Actions::serialDataRateSetsTimeout_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("timeout");

    // Rates 0 to 7 are chosen with their buttons; there is none above.
    QTest::newRow("3") << 3 << 3;
    QTest::newRow("0") << 0 << 17;
    QTest::newRow("7") << 7 << 2;
    QTest::newRow("8") << 8 << 3;
    QTest::newRow("200") << 200 << 3;
}

void tst_Actions::serialDataRateSetsTimeout()
{
    QFETCH(int, rate);
    QFETCH(int, timeout);

    window->setPanelsEnabled(true);
    spin("Serial Timeout")->setValue(100);
    QCOMPARE(window->record()->serialTimeout, quint8(100));
    if (rate < 8)
        clickIndicator(button(rs485()->serialRatePanel()->buttons(), rate));
    else
        window->slValueChange(QStringLiteral("Serial Data Rate"), rate);
    QCOMPARE(window->record()->serialDataRate, quint8(rate));
    QCOMPARE(window->record()->serialTimeout, quint8(timeout));
    QCOMPARE(spin("Serial Timeout")->value(), timeout);
    QCOMPARE(spin("Serial Timeout")->minimum(), timeout);
}

void tst_Actions::answerConversions_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArrayList>("fields");
    QTest::addColumn<Settings>("before");
    QTest::addColumn<Settings>("recorded");
    QTest::addColumn<Settings>("displayed");

    const Settings hardware{{"Flow control", 0}};
    const Settings none{{"Flow control", 2}};
    QTest::newRow("flow control 0") << int(E_GetFlowControl) << QByteArrayList{"0"} << none << hardware << hardware;
    QTest::newRow("flow control 1") << int(E_GetFlowControl) << QByteArrayList{"1"} << hardware << none << none;
    QTest::newRow("flow control 7") << int(E_GetFlowControl) << QByteArrayList{"7"} << hardware << none << none;
    QTest::newRow("flow control abc") << int(E_GetFlowControl) << QByteArrayList{"abc"} << none << hardware << hardware;

    const Settings someAddress{{"Test address", 5}, {"Serial Timeout", 50}};
    const Settings record{{"Serial Data Rate", 3}, {"Delay Tx-Rx", 20}, {"Parity", 1},
                          {"Radio Transmit Reset", 100}, {"WDT Reset", 12}, {"Stop bit", 1}};
    const QByteArrayList recordFields{"3", "000", "020", "1", "100", "012", "1"};
    const Settings address7 = changed(record, {{"Test address", 7}});
    const Settings address12 = changed(record, {{"Test address", 1}});
    QTest::newRow("record, address 7")
        << int(E_GetRs485) << QByteArrayList{"7"} + recordFields << someAddress << address7 << address7;
    QTest::newRow("record, address 12")
        << int(E_GetRs485) << QByteArrayList{"12"} + recordFields << someAddress << address12 << address12;
    QTest::newRow("record, empty address")
        << int(E_GetRs485) << QByteArrayList{""} + recordFields << someAddress << record << record;
    const Settings delay300{{"Test address", 9}, {"Serial Data Rate", 4}, {"Delay Tx-Rx", 44},
                           {"Radio Transmit Reset", 50}, {"WDT Reset", 6}};
    QTest::newRow("record, delay 300")
        << int(E_GetRs485) << QByteArrayList{"9", "4", "000", "300", "0", "050", "006", "0"}
        << someAddress << delay300 << delay300;
    // The panel has no button for sub-band 3.
    QTest::newRow("sub-band 3") << int(E_GetSubBand) << QByteArrayList{"3"} << Settings()
                                << Settings{{"Sub-band", 3}} << Settings();
    QTest::newRow("write confirmation") << int(E_SetPower) << QByteArrayList{"5"} << someAddress
                                        << Settings() << Settings();
}

void tst_Actions::answerConversions()
{
    QFETCH(int, type);
    QFETCH(QByteArrayList, fields);
    QFETCH(Settings, before);
    QFETCH(Settings, recorded);
    QFETCH(Settings, displayed);

    window->setPanelsEnabled(true);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        edit(it.key(), it.value());
    const Settings recordBefore = recordOf(window->record());
    const Settings shownBefore = shown();
    COMPARE_SETTINGS(recordBefore, before);
    const QString title = window->windowTitle();

    window->slSetSettings(TypeParser(type), fields);
    COMPARE_SETTINGS(recordOf(window->record()), changed(recordBefore, recorded));
    COMPARE_SETTINGS(shown(), changed(shownBefore, displayed));
    QCOMPARE(window->windowTitle(), title);
    if (type == E_GetFlowControl) {
        QCOMPARE(combo("Flow control")->currentText(),
                 QString(recorded["Flow control"] == 0 ? "HardWare" : "None"));
    }
}

QTEST_MAIN(tst_Actions)
#include "tst_actions.moc"
