#include "channelplan.h"
#include "settingsfile.h"
#include "trafficlog.h"
#include "windowtesting.h"

#include <QDial>
#include <QLabel>

// What the operator is shown of settings the device does not hold: the marks
// of changed and unread settings, the check after "WRITE", a file opened
// before "Connect", and the question before closing.
class tst_Changes : public QObject, public WindowRig
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void changesMarkedAndWritten();
    void rateClickReportsOnce();
    void fileBeforeConnect_data();
    void fileBeforeConnect();
    void silentDevice();

private:
    // The window's size and where every control in it lies.
    QList<QRect> layout() const
    {
        QList<QRect> rects{window->rect()};
        for (const QWidget *widget : window->findChildren<QWidget *>()) {
            if (widget->isVisible())
                rects.append(QRect(widget->mapTo(window.get(), QPoint()), widget->size()));
        }
        return rects;
    }
};

void tst_Changes::changesMarkedAndWritten()
{
    emulator->device()->setStuckRegisters({DeviceModel::Power});
    QVERIFY(connectDevice());
    QCOMPARE(marks(), (QMap<QString, QString>{}));
    const Settings device = shown();
    const QList<QRect> unmarked = layout();

    QSpinBox *delay = spin("Delay Tx-Rx");
    delay->setValue(device["Delay Tx-Rx"] + 5);
    QCOMPARE(marks(), (QMap<QString, QString>{{"Delay Tx-Rx", QString("Changed: the device holds %1").arg(device["Delay Tx-Rx"])}}));
    const auto captions = window->findChildren<QLabel *>();
    const auto caption = std::find_if(captions.begin(), captions.end(), [delay](QLabel *l) { return l->buddy() == delay; });
    QVERIFY(caption != captions.end() && (*caption)->font().bold());
    // A marked group of buttons is bold; the buttons in it keep their weight.
    const QList<W_Rb *> rates = radio()->rightPanel()->buttons();
    clickIndicator(rates.at(rates.at(0)->isChecked() ? 1 : 0));
    QVERIFY(rates.at(0)->parentWidget()->font().bold() && !rates.at(0)->font().bold() && !rates.at(1)->font().bold());
    // Marks move no control.
    QCOMPARE(layout(), unmarked);

    // Power does not stick: the box names it, the log has it and it stays
    // marked; the delay was taken.
    const int power = (device["Power"] + 3) % 8;
    radio()->rightPanel()->powerPanel()->findChild<QDial *>()->setValue(power);
    QVERIFY(runSequence("WRITE"));
    QTRY_COMPARE(boxes->seen.size(), 1);
    QCOMPARE(boxes->seen.first().title, QString("WRITE"));
    QCOMPARE(boxes->seen.takeFirst().text, QString("The device does not hold these settings as written:\n"
                                                   "Power: wrote %1, device holds %2").arg(power).arg(device["Power"]));
    const QStringList log = window->findChild<TrafficLog *>()->lines();
    QVERIFY(log.last().endsWith(QString("! Power not held: wrote %1, device holds %2").arg(power).arg(device["Power"])));
    QCOMPARE(marks(), (QMap<QString, QString>{{"Power", QString("Changed: the device holds %1").arg(device["Power"])}}));

    // A file opened while connected marks what WRITE would change.
    Data file;
    setRecord(&file, changed(shown(), {{"Parity", device["Parity"] ? 0 : 1}, {"Stop bit", device["Stop bit"] ? 0 : 1}}));
    QVERIFY(writeFile(workDir.filePath("site.ryd"), SettingsFile::encode(file)));
    QVERIFY(window->loadSettingsFrom(workDir.filePath("site.ryd")));
    QCOMPARE(marks().keys(), (QStringList{"Parity", "Power", "Stop bit"}));

    // The factory settings are checked the same way: the read-back of Power
    // is made to differ.
    const int factory = DeviceModel::factoryValue(DeviceModel::Power);
    Emulator::Fault other;
    other.match = "ATS202?";
    other.replaceWith = QByteArray("S202=") + QByteArray::number((factory + 1) % 8) + "\r";
    emulator->addFault(other);
    pressDefault();
    QTRY_COMPARE(boxes->seen.size(), 1);
    QCOMPARE(boxes->seen.first().title, QString("DEFAULT"));
    QVERIFY(boxes->seen.takeFirst().text.endsWith(QString("\nPower: wrote %1, device holds %2").arg(factory).arg((factory + 1) % 8)));
    QCOMPARE(marks().keys(), QStringList{"Power"});

    // Opening a file and closing ask; No keeps the edits, the window open
    // and connected.
    boxes->answer = BoxAnswerer::No;
    QTest::mouseClick(key("Open Settings"), Qt::LeftButton);
    QCOMPARE(boxes->seen.takeFirst().title, QString("Open Settings"));
    QCOMPARE(marks().keys(), QStringList{"Power"});
    window->close();
    QCOMPARE(boxes->seen.value(0).text, QString("Discard the changes not written to the device?"));
    boxes->seen.clear();
    QVERIFY(window->isVisible());
    QCOMPARE(key("pbOpen")->text(), QString("Disconnect"));
}

// One click on a rate is one report: the channel list and the channel follow
// without reports of their own, and after every report the record holds a
// channel its rate offers, which the list shows.
void tst_Changes::rateClickReportsOnce()
{
    window->setPanelsEnabled(true);
    QStringList reports;
    QStringList outside;
    for (W_QWidget *panel : window->findChildren<W_QWidget *>()) {
        connect(panel, &W_QWidget::sgValueChange, this, [&](const QString &name, int value) {
            reports << QString("%1 %2").arg(name).arg(value);
            const Data *record = window->record();
            if (record->chanel >= ChannelPlan::chanelCount(record->radioDataRate))
                outside << reports.last();
        });
    }
    const QList<W_Rb *> rates = radio()->rightPanel()->buttons();
    for (int rate : {4, 0, 3, 1, 2, 4, 2}) {
        reports.clear();
        clickIndicator(rates.at(rate));
        QCOMPARE(reports, QStringList{QString("Radio Data Rate %1").arg(rate)});
        QCOMPARE(combo("Chanel")->count(), ChannelPlan::chanelCount(rate));
        QCOMPARE(combo("Chanel")->currentIndex(), int(window->record()->chanel));
    }
    QCOMPARE(outside, QStringList());
}

void tst_Changes::fileBeforeConnect_data()
{
    QTest::addColumn<bool>("again");
    QTest::newRow("shown again") << true;
    QTest::newRow("device's kept") << false;
}

// The site's file is opened, then "Connect" reads the device: the file is
// offered again, and shown marked or left aside.
void tst_Changes::fileBeforeConnect()
{
    QFETCH(bool, again);
    QVERIFY(connectDevice());
    const Settings device = shown();
    spin("Test address")->setValue(device["Test address"] + 1);
    combo("WDT Reset")->setCurrentIndex(device["WDT Reset"] ? 0 : 1);
    const Settings site = shown();
    QVERIFY(window->saveSettingsTo(workDir.filePath("site.ryd")));
    // Disconnecting asks before the edits go; No keeps them and the port.
    boxes->answer = BoxAnswerer::No;
    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    QCOMPARE(boxes->seen.takeFirst().text, discardQuestion);
    QCOMPARE(key("pbOpen")->text(), QString("Disconnect"));
    COMPARE_SETTINGS(shown(), site);
    boxes->answer = BoxAnswerer::Yes;
    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    QCOMPARE(boxes->seen.takeFirst().title, QString("Disconnect"));
    QVERIFY(window->loadSettingsFrom(workDir.filePath("site.ryd")));
    QCOMPARE(marks(), (QMap<QString, QString>{}));

    boxes->answer = again ? BoxAnswerer::Yes : BoxAnswerer::No;
    QVERIFY(runSequence("pbOpen"));
    QTRY_COMPARE(boxes->seen.size(), 1);
    QCOMPARE(boxes->seen.takeFirst().text, QString("Show the settings of site.ryd again? They differ from the device "
                                                   "in 2 settings and reach it only with WRITE."));
    COMPARE_SETTINGS(shown(), again ? site : device);
    QCOMPARE(marks().keys(), again ? (QStringList{"Test address", "WDT Reset"}) : QStringList());
}

// The device falls silent: the prompts go on to the end, then one box says
// so, and every setting is marked as not read. The port stays open. The
// marks coming and going move no control.
void tst_Changes::silentDevice()
{
    QVERIFY(connectDevice());
    const QList<QRect> unmarked = layout();
    emulator->addFault(silentFault(""));
    fastTimers(100);
    boxes->answer = BoxAnswerer::Yes;
    QTest::mouseClick(key("READ"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(sequenceEnded(), 15000);
    QTRY_VERIFY(!boxes->seen.isEmpty() && boxes->seen.last().title == "READ");
    const BoxAnswerer::Seen told = boxes->seen.takeLast();
    QVERIFY2(told.text.startsWith("No setting was read from the device on " + portName + ": nothing answered."),
             qPrintable(told.text));
    boxes->seen.clear();
    QMap<QString, QString> notRead;
    for (const SettingsTable::Setting &setting : SettingsTable::settings())
        notRead.insert(setting.name, "Not read from the device");
    QCOMPARE(marks(), notRead);
    QCOMPARE(layout(), unmarked);
    QCOMPARE(key("pbOpen")->text(), QString("Disconnect"));

    // A READ that leaves "$1" unanswered marks the settings it carries.
    emulator->clearFaults();
    emulator->addFault(silentFault("$1", 2));
    QVERIFY(runSequence("READ"));
    boxes->seen.clear();
    QCOMPARE(marks().keys(), (QStringList{"Delay Tx-Rx", "Parity", "Radio Transmit Reset", "Serial Data Rate",
                                          "Stop bit", "Test address", "WDT Reset"}));
    QCOMPARE(layout(), unmarked);
}

QTEST_MAIN(tst_Changes)
#include "tst_changes.moc"
