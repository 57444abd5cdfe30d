#include "data.h"
#include "devicemodel.h"
#include "devicesession.h"
#include "emulator.h"
#include "settingstable.h"

#include <QtTest>

#include <memory>

// The device session against the emulator.
class tst_Session : public QObject
{
    Q_OBJECT

    struct Ended
    {
        DeviceSession::Sequence sequence;
        DeviceSession::SequenceEnd end;
        QByteArray failed;
    };

private slots:
    void sequences();
    void failures_data();
    void failures();
};

// Connect, WRITE and DEFAULT as a script runs them: each ends completed with
// the record and the device's reported values holding what the device holds.
void tst_Session::sequences()
{
    Emulator emulator;
    QVERIFY(emulator.open());
    emulator.device()->setSRegister(DeviceModel::Chanel, 3);
    emulator.device()->setSRegister(DeviceModel::RadioDataRate, 1);
    DeviceModel::Rs485Record rs485 = emulator.device()->rs485();
    rs485.serialDataRate = 0;
    rs485.testAddress = 9;
    emulator.device()->setRs485(rs485);
    emulator.device()->setSRegister(DeviceModel::SerialTimeout, 17);

    Data record;
    DeviceSession session(nullptr, &record);
    session.setAbandonOnFailure(true);
    QList<Ended> ended;
    connect(&session, &DeviceSession::sgSequenceEnded, this,
            [&ended](DeviceSession::Sequence s, DeviceSession::SequenceEnd e, const QByteArray &f) {
                ended.append({s, e, f});
            });
    const auto waitEnd = [&ended](DeviceSession::Sequence sequence) {
        return QTest::qWaitFor([&ended] { return !ended.isEmpty(); }, 10000) && ended.size() == 1
            && ended.takeFirst().sequence == sequence && ended.isEmpty();
    };

    QVERIFY(session.connectDevice(emulator.portName()));
    QVERIFY(waitEnd(DeviceSession::Sequence::Connect));
    QCOMPARE(session.unanswered(), QByteArrayList());
    const QMap<QString, quint8> device{{"Chanel", 3}, {"Radio Data Rate", 1}, {"Serial Data Rate", 0},
                                       {"Test address", 9}, {"Serial Timeout", 17}};
    for (auto it = device.cbegin(); it != device.cend(); ++it) {
        QCOMPARE(session.deviceValues().value(it.key()), it.value());
        QCOMPARE(record.*SettingsTable::settingNamed(it.key())->field, it.value());
    }
    QCOMPARE(session.deviceValues().size(), SettingsTable::settings().size());
    QCOMPARE(session.radioModule(), QString("LE50-868"));

    record.power = 3;
    record.chanel = 9;
    session.write();
    QVERIFY(waitEnd(DeviceSession::Sequence::Write));
    QCOMPARE(emulator.device()->sRegister(DeviceModel::Power), 3);
    QCOMPARE(session.deviceValues().value("Power"), quint8(3));
    QCOMPARE(session.deviceValues().value("Chanel"), quint8(9));

    session.restoreDefaults();
    QCOMPARE(record.power, quint8(7));
    QVERIFY(waitEnd(DeviceSession::Sequence::FactoryDefaults));
    QCOMPARE(session.deviceValues().value("Serial Data Rate"), quint8(4));
    QCOMPARE(session.deviceValues().value("Power"), quint8(7));
    session.closePort();
    QVERIFY(session.deviceValues().isEmpty());
}

void tst_Session::failures_data()
{
    QTest::addColumn<bool>("hangUp");
    QTest::addColumn<int>("end");
    QTest::newRow("no answer, abandoned") << false << int(DeviceSession::SequenceEnd::Abandoned);
    QTest::newRow("line lost") << true << int(DeviceSession::SequenceEnd::LineLost);
}

// A script's session gives up at the first request the prompt would ask
// about, and names it; nothing more is sent.
void tst_Session::failures()
{
    QFETCH(bool, hangUp);
    QFETCH(int, end);
    Emulator emulator;
    QVERIFY(emulator.open());
    Emulator::Fault fault;
    fault.match = "ATS201?";
    fault.silent = !hangUp;
    fault.hangUp = hangUp;
    emulator.addFault(fault);
    Data record;
    DeviceSession session(nullptr, &record);
    session.setAbandonOnFailure(true);
    session.findChild<Exchange *>()->setIntervalOverride(100);
    QSignalSpy prompts(&session, &DeviceSession::sgError);
    QSignalSpy ended(&session, &DeviceSession::sgSequenceEnded);
    QVERIFY(ended.isValid());
    QVERIFY(session.connectDevice(emulator.portName()));
    QVERIFY(ended.wait(5000));
    QCOMPARE(ended.first().at(1).value<DeviceSession::SequenceEnd>(), DeviceSession::SequenceEnd(end));
    QCOMPARE(ended.first().at(2).toByteArray(), QByteArray("ATS201?\r"));
    QTest::qWait(300);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(prompts.size(), 0);
    QCOMPARE(emulator.requests().last(), QByteArray("ATS201?\r"));
    QCOMPARE(session.deviceValues().contains("Radio Data Rate"), false);
}

QTEST_GUILESS_MAIN(tst_Session)
#include "tst_session.moc"
