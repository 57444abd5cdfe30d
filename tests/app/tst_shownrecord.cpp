#include "windowtesting.h"

#include "channelplan.h"
#include "settingsfile.h"

#include <QDial>
#include <QRandomGenerator>

// What the window shows is what the record holds and what WRITE puts into
// the device, whatever the operator does: a seeded random walk of operator
// actions against the emulator, and the cases that once broke the rule.
class tst_ShownRecord : public QObject, public WindowRig
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    // The walk runs alone, with RYD_WALK set, beside the other cases.
    void init()
    {
        if ((qstrcmp(QTest::currentTestFunction(), "walk") == 0) != qEnvironmentVariableIsSet("RYD_WALK"))
            QSKIP("in the other half of these cases");
        openWindow();
    }
    void cleanup()
    {
        if (window)
            closeWindow();
    }

    void walk_data();
    void walk();
    void readAfterSlowerSerialRate();
    void channelAfterDeviceRateChange();
    void lastChoicesFile();

private:
    Settings stored() const { return heldBy(emulator->device()); }
    QString saveFile(const QString &name, const QByteArray &bytes) const;
    QByteArray randomFile(QRandomGenerator &random) const;

    QTemporaryDir files;
};

QString tst_ShownRecord::saveFile(const QString &name, const QByteArray &bytes) const
{
    return writeFile(files.filePath(name), bytes) ? files.filePath(name) : QString();
}

// The file of a record some other operator saved: choices the panels
// offer, spin values anywhere in their ranges at the file's rates.
QByteArray tst_ShownRecord::randomFile(QRandomGenerator &random) const
{
    Data other;
    other.radioDataRate = quint8(random.bounded(5));
    other.serialDataRate = quint8(random.bounded(8));
    for (const SettingsTable::Setting &setting : SettingsTable::settings()) {
        quint8 &value = other.*setting.field;
        if (setting.field == &Data::subBand)
            value = 2;
        else if (setting.field == &Data::chanel)
            value = quint8(random.bounded(ChannelPlan::chanelCount(other.radioDataRate)));
        else if (setting.field == &Data::flowControl)
            value = quint8(2 * random.bounded(2));
        else if (setting.listed && setting.control != SettingsTable::Control::Buttons)
            value = quint8(random.bounded(2));
        else if (!setting.listed)
            value = quint8(random.bounded(SettingsTable::minimum(setting, other), setting.maximum + 1));
    }
    return SettingsFile::encode(other);
}

void tst_ShownRecord::walk_data()
{
    QTest::addColumn<quint32>("seed");
    // More seeds and a longer walk by hand: RYD_WALK_SEEDS=n RYD_WALK_SECONDS=s.
    const int seeds = qMax(3, qEnvironmentVariableIntValue("RYD_WALK_SEEDS"));
    for (int seed = 1; seed <= seeds; ++seed)
        QTest::addRow("seed %d", seed) << quint32(seed);
}

void tst_ShownRecord::walk()
{
    QFETCH(quint32, seed);
    const int walkMs = qEnvironmentVariableIsSet("RYD_WALK_SECONDS")
        ? qEnvironmentVariableIntValue("RYD_WALK_SECONDS") * 1000 : 1500;
    QRandomGenerator random(seed);
    QVERIFY(connectDevice());
    fastTimers();
    QVERIFY(files.isValid());

    QList<W_Rb *> rateButtons = radio()->rightPanel()->buttons();
    rateButtons += rs485()->serialRatePanel()->buttons();
    const QStringList spins{"Test address", "Serial Timeout", "Delay Tx-Rx", "Radio Transmit Reset"};
    const QStringList combos{"Chanel", "Flow control", "Parity", "Stop bit", "WDT Reset"};
    const QByteArrayList reads{"ATS206?", "ATS201?", "ATS200?", "ATS214?", "ATS202?", "AT/V", "$1"};
    const auto pick = [&random](const auto &list) { return list.at(int(random.bounded(int(list.size())))); };

    QStringList steps;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < walkMs) {
        progress->clear();
        const int action = int(random.bounded(20));
        // Presses, edits and files change no more than the panels; the keys
        // start a sequence with the device.
        bool sequence = action >= 13 && action != 18;
        QString step;
        if (action < 5) {
            W_Rb *rb = pick(rateButtons);
            step = "press " + rb->text();
            clickIndicator(rb);
        } else if (action < 9) {
            QSpinBox *box = spin(pick(spins).toLatin1().constData());
            const int value = int(random.bounded(box->minimum(), box->maximum() + 1));
            step = QStringLiteral("set %1 to %2").arg(box->objectName()).arg(value);
            box->setValue(value);
        } else if (action < 12) {
            QComboBox *box = combo(pick(combos).toLatin1().constData());
            const int index = int(random.bounded(box->count()));
            step = QStringLiteral("choose %1 entry %2").arg(box->objectName()).arg(index);
            box->setCurrentIndex(index);
        } else if (action < 13) {
            const int power = int(random.bounded(8));
            step = QStringLiteral("turn Power to %1").arg(power);
            radio()->rightPanel()->powerPanel()->findChild<QDial *>()->setValue(power);
        } else if (action < 17) {
            step = action < 15 ? "READ" : "WRITE";
            // READ asks before it replaces edits: either answer keeps the rules.
            boxes->answer = random.bounded(2) == 0 ? BoxAnswerer::Yes : BoxAnswerer::No;
            QTest::mouseClick(key(qPrintable(step)), Qt::LeftButton);
        } else if (action < 18) {
            step = "DEFAULT";
            pressDefault();
        } else if (action < 19) {
            const QByteArray bytes = randomFile(random);
            step = "open " + QString::fromLatin1(bytes.toHex());
            QVERIFY2(window->loadSettingsFrom(saveFile(QStringLiteral("walk%1.ryd").arg(steps.size()), bytes)),
                     qPrintable(step));
        } else {
            const QByteArray silent = pick(reads);
            const bool goOn = random.bounded(2) == 0;
            step = QStringLiteral("READ with %1 silent, answer %2").arg(QString::fromLatin1(silent), goOn ? "Yes" : "No");
            emulator->addFault(silentFault(silent, 2));
            boxes->answer = goOn ? BoxAnswerer::Yes : BoxAnswerer::No;
            QTest::mouseClick(key("READ"), Qt::LeftButton);
        }
        // A READ the operator said No to, before it would drop edits, never began.
        if (boxes->answer == BoxAnswerer::No && !boxes->seen.isEmpty() && boxes->seen.last().text == discardQuestion)
            sequence = false;
        steps << step;
        const QString where = QStringLiteral("seed %1, step %2 (%3); steps: %4")
                                  .arg(seed).arg(steps.size()).arg(step, steps.join(" | "));
        if (sequence) {
            // The sequence has ended and the device has heard nothing since.
            QTRY_VERIFY2_WITH_TIMEOUT(sequenceEnded(), qPrintable(where), 15000);
            for (int heard = -1; heard != emulator->requests().size(); QTest::qWait(30))
                heard = emulator->requests().size();
        }
        emulator->clearFaults();
        boxes->answer = BoxAnswerer::Escape;
        // Only the failure prompts of silent registers and the question
        // before edits are dropped are expected.
        for (const BoxAnswerer::Seen &box : qAsConst(boxes->seen))
            QVERIFY2(box.text.startsWith(QString::fromUtf8("Ошибка")) || box.text == discardQuestion,
                     qPrintable(box.title + ": " + box.text + "; " + where));
        boxes->seen.clear();

        const QString mismatch = differences(shown(), recordOf(window->record()));
        QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch + "; " + where));
        // Marked exactly where the shown value differs from the device's; a
        // setting a silent READ left out is marked as not read instead.
        const Settings device = stored();
        const QMap<QString, QString> marked = marks();
        for (const auto &[name, value] : shown().toStdMap()) {
            const bool differs = name == "Flow control" ? (value == 0) != (device[name] == 0) : value != device[name];
            const QString note = marked.value(name);
            QVERIFY2(note == "Not read from the device" || note.startsWith("Changed: ") == differs,
                     qPrintable(QStringLiteral("%1 marked \"%2\", shows %3, device %4; ").arg(name, note).arg(value).arg(device[name]) + where));
        }
        if (step == "WRITE") {
            const QString written = differences(stored(), shown());
            QVERIFY2(written.isEmpty(), qPrintable("device: " + written + "; " + where));
        }
    }
    qInfo("seed %u: %d steps", seed, int(steps.size()));
}

// The device is at 9600 bps with serial timeout 3; the operator picks 1200
// bps, which raises the floor to 17, then reads the device again, and
// again once its serial timeout is 1.
void tst_ShownRecord::readAfterSlowerSerialRate()
{
    emulator->device()->setSRegister(DeviceModel::SerialTimeout, 3);
    QVERIFY(emulator->device()->setRs485Text("0,3,000,000,0,050,006,0"));
    QVERIFY(connectDevice());
    // Set once connected: a loaded machine may take longer than these to answer the read-all.
    fastTimers();
    clickIndicator(button(rs485()->serialRatePanel()->buttons(), 0));
    QCOMPARE(spin("Serial Timeout")->value(), 17);

    boxes->answer = BoxAnswerer::Yes;
    QVERIFY(runSequence("READ"));
    QCOMPARE(boxes->seen.takeFirst().text, discardQuestion);
    QCOMPARE(spin("Serial Timeout")->value(), 3);
    COMPARE_SETTINGS(shown(), recordOf(window->record()));
    QVERIFY(runSequence("WRITE"));
    QVERIFY(emulator->requests().contains("ATS214=3\r"));
    QCOMPARE(emulator->device()->sRegister(DeviceModel::SerialTimeout), 3);

    // Without the device's serial rate (its read is skipped when silent)
    // the operator's 1200 bps governs.
    clickIndicator(button(rs485()->serialRatePanel()->buttons(), 0));
    emulator->addFault(silentFault("$1"));
    QVERIFY(runSequence("READ"));
    QCOMPARE(boxes->seen.takeFirst().text, discardQuestion);
    QVERIFY(boxes->seen.isEmpty());
    QCOMPARE(spin("Serial Timeout")->value(), 17);
    QCOMPARE(int(window->record()->serialTimeout), 17);

    // A value below every floor stays as the device reported it, is told
    // once, and WRITE gives it back.
    emulator->clearFaults();
    emulator->device()->setSRegister(DeviceModel::SerialTimeout, 1);
    QVERIFY(runSequence("READ"));
    QTRY_COMPARE(boxes->seen.size(), 2);
    QCOMPARE(boxes->seen.takeFirst().text, discardQuestion);
    QVERIFY(boxes->seen.takeFirst().text.contains("\"Serial Timeout\": the device reported 1"));
    QCOMPARE(int(window->record()->serialTimeout), 1);
    QVERIFY(runSequence("WRITE"));
    QVERIFY(emulator->requests().contains("ATS214=1\r"));
    QTRY_COMPARE(boxes->seen.size(), 1);
    boxes->seen.clear();
}

// The device's radio rate answer rebuilds the channel list while the record
// still holds a channel of the old list that the new one lacks; the channel
// read then fails and the operator goes on.
void tst_ShownRecord::channelAfterDeviceRateChange()
{
    emulator->device()->setSRegister(DeviceModel::RadioDataRate, 0);
    emulator->device()->setSRegister(DeviceModel::Chanel, 8);
    QVERIFY(connectDevice());
    fastTimers();
    QCOMPARE(combo("Chanel")->currentIndex(), 8);
    emulator->device()->setSRegister(DeviceModel::RadioDataRate, 4);
    emulator->addFault(silentFault("ATS200?"));
    boxes->answer = BoxAnswerer::Yes;

    QVERIFY(runSequence("READ"));
    QCOMPARE(boxes->seen.size(), 1);
    boxes->seen.clear();
    QCOMPARE(combo("Chanel")->count(), 1);
    QCOMPARE(int(window->record()->chanel), 0);
    emulator->clearFaults();
    QVERIFY(runSequence("WRITE"));
    QVERIFY(emulator->requests().contains("ATS200=0\r"));

    // A channel the shown rate's list lacks, read while the device's own
    // rate was not, is kept as the device reported it: no entry stands for it.
    emulator->device()->setSRegister(DeviceModel::RadioDataRate, 0);
    emulator->device()->setSRegister(DeviceModel::Chanel, 8);
    emulator->addFault(silentFault("ATS201?"));
    QVERIFY(runSequence("READ"));
    QTRY_COMPARE(boxes->seen.size(), 2);
    QVERIFY(boxes->seen.last().text.contains("\"Chanel\": the device reported 8"));
    QCOMPARE(int(window->record()->chanel), 8);
    boxes->seen.clear();
}

// A file of the last choices of the lists and the ends of the ranges loads as it is, and WRITE then sends
// what the panels show.
void tst_ShownRecord::lastChoicesFile()
{
    QVERIFY(files.isValid());
    Data data;
    const Settings lastChoices{{"Sub-band", 2}, {"Radio Data Rate", 3}, {"Chanel", 1}, {"Parity", 3}, {"Stop bit", 1},
                               {"Serial Data Rate", 7}, {"Serial Timeout", 250}, {"Radio Transmit Reset", 250},
                               {"WDT Reset", 250}, {"Power", 7}, {"Test address", 63}, {"Delay Tx-Rx", 250}};
    setRecord(&data, lastChoices);
    const QString path = saveFile("last.ryd", SettingsFile::encode(data));
    QVERIFY(window->loadSettingsFrom(path));
    COMPARE_SETTINGS(recordOf(window->record()), lastChoices);
    COMPARE_SETTINGS(shown(), lastChoices);
    QVERIFY(connectDevice());
    QVERIFY(window->loadSettingsFrom(path));
    QVERIFY(runSequence("WRITE"));
    COMPARE_SETTINGS(stored(), shown());
}

QTEST_MAIN(tst_ShownRecord)
#include "tst_shownrecord.moc"
