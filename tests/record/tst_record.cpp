#include "channelplan.h"
#include "csv.h"
#include "data.h"
#include "devicerules.h"
#include "pollstatistics.h"
#include "recordrules.h"
#include "recordvalidator.h"
#include "settingsfile.h"
#include "settingstable.h"

#include <QtTest>

namespace {

using Table = SettingsTable;
using Setting = SettingsTable::Setting;

// A settings file's setting bytes in their order, with values all different and all taken.
const char *const fileOrder[] = {"Delay Tx-Rx", "Power", "Radio Data Rate", "Chanel", "Parity", "Stop bit",
                                 "Sub-band", "Serial Timeout", "Radio Transmit Reset", "Serial Data Rate",
                                 "WDT Reset", "Test address"};
constexpr quint8 fileValues[] = {200, 5, 2, 4, 3, 1, 8, 150, 30, 6, 250, 63};
const QString port = QString::fromUtf8("/dev/ttyЖÜ0");

const Setting &named(const QString &name) { return *Table::settingNamed(name); }

// Every setting and the port name: "Sub-band=2,...,port=COM1".
QString held(const Data &data)
{
    QStringList parts;
    for (const Setting &setting : Table::settings())
        parts << setting.name + '=' + QString::number(data.*setting.field);
    return parts.join(',') + ",port=" + data.portName;
}

// Sets the settings given as "Power=8,Chanel=2".
void apply(Data &data, const QString &changes)
{
    for (const QString &change : changes.split(',', Qt::SkipEmptyParts))
        data.*named(change.section('=', 0, 0)).field = quint8(change.section('=', 1).toInt());
}

// The factory settings at 19200 bps: a record the device takes.
void base(Data &data)
{
    DeviceRules::setFactorySettings(data);
    data.serialDataRate = DeviceRules::factorySerialRate;
}

QString names(const QList<const Setting *> &settings, const Data &record)
{
    QStringList out;
    for (const Setting *setting : settings)
        out << setting->name + '=' + QString::number(record.*setting->field);
    return out.join(',');
}

QString refused(const Data &record)
{
    QStringList out;
    for (const RecordValidator::Refusal &refusal : RecordValidator::refusals(record))
        out << refusal.setting->name;
    return out.join(',');
}

// The file of the values above, built byte by byte: the port name is its length in bytes (32 bits) and its
// UTF-16 units, both big-endian, then flow control.
QByteArray fileBytes()
{
    QByteArray bytes(reinterpret_cast<const char *>(fileValues), 12);
    const int length = 2 * int(port.size());
    bytes += QByteArray(2, '\0') + char(length >> 8) + char(length & 0xff);
    for (const QChar c : port)
        bytes += QByteArray(1, char(c.unicode() >> 8)) + char(c.unicode() & 0xff);
    return bytes + char(2);
}

} // namespace

class tst_Record : public QObject
{
    Q_OBJECT

private slots:
    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("portName");
        QTest::addColumn<bool>("flowRead");
        const QByteArray full = fileBytes();
        const QString settings = "the file is incomplete: it ends inside its settings";
        const QString name = "the file is incomplete: it ends inside the port name";
        QTest::newRow("11 bytes") << full.left(11) << settings << "" << false;
        QTest::newRow("12 bytes alone") << full.left(12) << "" << "" << false;
        QTest::newRow("inside the length") << full.left(14) << name << "" << false;
        QTest::newRow("inside the name") << full.left(full.size() - 2) << name << "" << false;
        QTest::newRow("odd length") << full.left(12) + QByteArray::fromHex("00000003616263")
                                    << "the file is damaged: its port name cannot be read" << "" << false;
        QTest::newRow("no flow control") << full.chopped(1) << "" << port << false;
        QTest::newRow("complete") << full << "" << port << true;
    }

    // A refused file leaves the record as it was, one without flow control keeps the record's. The record
    // written gives the same bytes.
    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        QFETCH(QString, portName);
        QFETCH(bool, flowRead);
        Data want;
        for (int i = 0; i < 12; ++i)
            want.*named(fileOrder[i]).field = fileValues[i];
        want.flowControl = 2;
        want.portName = port;
        QCOMPARE(SettingsFile::encode(want), fileBytes());
        QCOMPARE(SettingsFile::encodeStartup(want), fileBytes().chopped(1));
        want.portName = portName;
        want.flowControl = flowRead ? 2 : 0;
        Data data;
        data.portName = "kept";
        const QString before = held(data);
        QString reason;
        bool hasFlowControl = !flowRead;
        QCOMPARE(SettingsFile::decode(bytes, data, &reason, &hasFlowControl), problem.isEmpty());
        QCOMPARE(reason, problem);
        QCOMPARE(held(data), problem.isEmpty() ? held(want) : before);
        QCOMPARE(hasFlowControl, problem.isEmpty() ? flowRead : !flowRead);
        Data startup;
        QCOMPARE(SettingsFile::decodeStartup(bytes, startup), bytes.size() >= 12);
    }

    // Changes to the factory record, and the settings refused, in the window's order.
    void validator_data()
    {
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QString>("refused");
        const QStringList rows{
            "|", "Sub-band=0,Sub-band=6,Sub-band=8,Radio Data Rate=4,Chanel=0|",
            "Serial Timeout=250,Power=7,Test address=63,Serial Data Rate=7,Delay Tx-Rx=250,Parity=3,Stop bit=1|",
            "Flow control=0,Radio Transmit Reset=10,WDT Reset=250|", "Radio Transmit Reset=250|",
            "Sub-band=1|Sub-band", "Sub-band=7|Sub-band", "Sub-band=9|Sub-band", "Serial Timeout=251|Serial Timeout",
            "Power=8|Power", "Test address=64|Test address", "Delay Tx-Rx=251|Delay Tx-Rx", "Parity=4|Parity",
            "Stop bit=2|Stop bit", "Flow control=1|Flow control", "Flow control=3|Flow control",
            "Radio Transmit Reset=9|Radio Transmit Reset", "Radio Transmit Reset=251|Radio Transmit Reset",
            "WDT Reset=251|WDT Reset", "Parity=4,Power=8|Power,Parity",
            // A rate out of range leaves what follows it unjudged.
            "Radio Data Rate=5,Chanel=9|Radio Data Rate", "Serial Data Rate=8,Serial Timeout=0|Serial Data Rate"};
        for (const QString &row : rows)
            QTest::newRow(qPrintable(row)) << row.section('|', 0, 0) << row.section('|', 1);
        constexpr int floors[] = {17, 9, 5, 3, 2, 2, 2, 2};
        for (int rate = 0; rate < 8; ++rate) {
            const QString at = QString("Serial Data Rate=%1,Serial Timeout=").arg(rate);
            QTest::newRow(qPrintable(at)) << at + QString::number(floors[rate]) << "";
            QTest::newRow(qPrintable(at + '-')) << at + QString::number(floors[rate] - 1) << "Serial Timeout";
        }
        constexpr int counts[] = {10, 10, 5, 2, 1};
        for (int rate = 0; rate < 5; ++rate) {
            const QString at = QString("Radio Data Rate=%1,Chanel=").arg(rate);
            QTest::newRow(qPrintable(at)) << at + QString::number(counts[rate] - 1) << "";
            QTest::newRow(qPrintable(at + '+')) << at + QString::number(counts[rate]) << "Chanel";
        }
    }

    void validator()
    {
        QFETCH(QString, changes);
        QFETCH(QString, refused);
        Data record;
        base(record);
        apply(record, changes);
        QCOMPARE(::refused(record), refused);
        for (const RecordValidator::Refusal &refusal : RecordValidator::refusals(record))
            QCOMPARE(refusal.value, record.*refusal.setting->field);
    }

    // A list by its values and texts, a long run by its ends, a range at the record's rate.
    void describe()
    {
        Data record;
        base(record);
        apply(record, "Sub-band=1,Radio Data Rate=3,Chanel=2,Serial Timeout=1,Flow control=1,WDT Reset=251");
        QCOMPARE(RecordValidator::describe(RecordValidator::refusals(record)),
                 QString("\"Sub-band\" holds 1 (allowed: 0 = g1 868-868.6 MHz, 2 = g2 868.7-869.2 MHz, "
                         "6 = g3 869.4-869.65 MHz, 8 = g4 869.7-870 MHz); \"Chanel\" holds 2 (allowed at "
                         "\"Radio Data Rate\" 38400 bps: 0 = 868.8 MHz, 1 = 869 MHz); \"Serial Timeout\" "
                         "holds 1 (allowed at \"Serial Data Rate\" 19200 bps: 2 to 250); \"Flow control\" holds 1 "
                         "(allowed: 0 = HardWare, 2 = None); \"WDT Reset\" holds 251 (allowed: "
                         "0 = Disable to 250 = 2500 sec)"));
    }

    void rules_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("held");
        QTest::addColumn<QString>("changed");
        // An edit: a serial rate chosen, even the one held, sets the timeout's floor; a radio rate keeps the
        // channel's frequency where its list has it. The edited setting is not given back.
        QTest::newRow("slower serial rate") << "" << "Serial Data Rate=0" << "" << "Serial Timeout=17";
        QTest::newRow("same serial rate") << "Serial Timeout=40" << "Serial Data Rate=4" << "" << "Serial Timeout=2";
        QTest::newRow("same channel plan") << "Radio Data Rate=0,Chanel=5" << "Radio Data Rate=1" << "" << "";
        QTest::newRow("frequency found") << "Radio Data Rate=4" << "Radio Data Rate=2" << "" << "Chanel=2";
        QTest::newRow("frequency moved") << "Chanel=2" << "Radio Data Rate=4" << "" << "Chanel=0";
        QTest::newRow("frequency lacking") << "Chanel=4" << "Radio Data Rate=3" << "" << "Chanel=0";
        QTest::newRow("beyond the list") << "Radio Data Rate=3,Chanel=7" << "Radio Data Rate=0" << "" << "Chanel=0";
        QTest::newRow("other setting") << "" << "Power=3" << "" << "";
        QTest::newRow("edit out of range") << "" << "Test address=70" << "" << "Test address=63";
        // The record brought to its rules; a list without the entry, and what a device reported, kept.
        const QString wrong("Chanel=7,Serial Timeout=1,Power=9,Test address=70,Parity=9,Flow control=5,"
                            "Radio Transmit Reset=0");
        QTest::newRow("constrained") << wrong << "" << ""
                                     << "Chanel=0,Serial Timeout=2,Power=7,Test address=63,Flow control=2,"
                                        "Radio Transmit Reset=10";
        QTest::newRow("held") << wrong << "" << "Chanel,Serial Timeout,Power"
                              << "Test address=63,Flow control=2,Radio Transmit Reset=10";
    }

    void rules()
    {
        QFETCH(QString, start);
        QFETCH(QString, edit);
        QFETCH(QString, held);
        QFETCH(QString, changed);
        Data record;
        base(record);
        apply(record, start);
        const QList<const Setting *> settings = edit.isEmpty()
            ? RecordRules::constrain(record, held.split(',', Qt::SkipEmptyParts))
            : RecordRules::edit(record, named(edit.section('=', 0, 0)), quint8(edit.section('=', 1).toInt()));
        QCOMPARE(names(settings, record), changed);
        // What the rules leave refused: the held values and a list's value it has no entry for.
        QStringList left{held};
        if (start.contains("Parity"))
            left << "Parity";
        QCOMPARE(refused(record), left.filter(QRegularExpression(".")).join(','));
    }

    // A text reads back as its value, a channel of another rate's list not at all; an address is one
    // character, none keeps it; flow control is hardware (0) or none (2).
    void choices()
    {
        Data record;
        quint8 value = 0;
        QVERIFY(Table::parse(named("Flow control"), " None ", record, &value) && value == 2);
        QVERIFY(!Table::parse(named("Chanel"), "868.85 MHz", record, &value));
        const Setting &flow = named("Flow control"), &address = named("Test address");
        QCOMPARE(QList<int>({Table::answerValue(address, "o", 5), Table::answerValue(address, "12", 5),
                             Table::answerValue(address, "", 5), Table::answerValue(flow, "0", 5),
                             Table::answerValue(flow, "1", 5), Table::answerValue(flow, "abc", 5),
                             Table::answerValue(named("Serial Timeout"), "17", 5), Table::shownValue(flow, 7)}),
                 QList<int>({63, 1, 5, 0, 2, 0, 17, 0}));
    }

    void deviceRules()
    {
        QCOMPARE(DeviceRules::pollRequest(63) + DeviceRules::pollAnswer(0), QByteArray("!01oTEST0"));
        QCOMPARE(QList<int>({DeviceRules::polledAddress("!01o"), DeviceRules::polledAddress("!02o"),
                             DeviceRules::polledAddress("!01"), DeviceRules::polledAddress("$1")}),
                 QList<int>({63, -1, -1, -1}));
        // The timeout's floor and the fastest serial rate carried, by rate index.
        QString rates;
        for (int rate : {0, 1, 2, 3, 4, 5, 6, 7, 8, 255})
            rates += QString(" %1/%2").arg(DeviceRules::serialTimeoutFloor(quint8(rate))).arg(DeviceRules::highestSustainedRate(quint8(rate)));
        QCOMPARE(rates, QString(" 17/2 9/3 5/4 3/5 2/7 2/0 2/0 2/0 3/0 3/0"));
    }

    // Count/step of each band at radio data rates 0 to 5; "?" where the plan does not know it.
    void channelPlan()
    {
        QStringList plan;
        for (quint8 band : {0, 1, 2, 6, 8}) {
            QString line = QString::number(band) + ':';
            for (quint8 speed = 0; speed < 6; ++speed)
                line += QString(" %1/%2%3").arg(ChannelPlan::count(band, speed)).arg(ChannelPlan::step(band, speed))
                            .arg(ChannelPlan::knows(band, speed) ? "" : "?");
            plan << line;
        }
        QCOMPARE(plan.join("; "), QString("0: 12/50 12/50 6/100 3/200 1/600 0/0?; 1: 0/0? 0/0? 0/0? 0/0? 0/0? 0/0?; "
                                          "2: 10/50 10/50 5/100 2/200 1/500 0/0?; "
                                          "6: 1/250 1/250 1/250 1/250 0/0 0/0?; 8: 6/50 6/50 3/100 2/150 0/0 0/0?"));
        QCOMPARE(ChannelPlan::chanelText(868000, 50, 11), QString("868.575 MHz"));
    }

    void csvAndPolls()
    {
        const QStringList texts{"COM1; 2", "", "a,b", "say \"hi\"", "a\nb", "a\rb"};
        QCOMPARE(Csv::line(texts), QString("COM1; 2,,\"a,b\",\"say \"\"hi\"\"\",\"a\nb\",\"a\rb\""));

        const auto at = [](int s) { return QDateTime::fromString(QString("2024-05-01T12:00:0%1+02:00").arg(s), Qt::ISODate); };
        PollStatistics polls, silent, rounded;
        polls.addAnswered(11, at(1));
        polls.addAnswered(-1, at(2));
        polls.addAnswered(10, at(3));
        polls.addUnanswered(at(4));
        silent.addUnanswered(at(5));
        rounded.addAnswered(-1);
        for (int i = 0; i < 7; ++i)
            rounded.addUnanswered();
        QCOMPARE(QStringList({polls.summary(), rounded.summary(), PollStatistics().summary()}),
                 QStringList({"3/4 75%", "1/8 13%", ""}));
        QCOMPARE(polls.details(), QString("Answered 3 of 4 polls (75%)\nRound trip: last 10 ms, mean 11 ms, largest 11 ms"));
        QCOMPARE(PollStatistics::csvReport({{5, polls}, {6, PollStatistics()}, {2, silent}}, "COM,\"3\""),
                 QByteArray("address,polled,answered,percent,rtt_last_ms,rtt_mean_ms,rtt_max_ms,port,first_poll,"
                            "last_poll\n5,4,3,75,10,11,11,\"COM,\"\"3\"\"\",2024-05-01T12:00:01+02:00,"
                            "2024-05-01T12:00:04+02:00\n2,1,0,0,,,,\"COM,\"\"3\"\"\",2024-05-01T12:00:05+02:00,"
                            "2024-05-01T12:00:05+02:00\n"));
    }
};

QTEST_GUILESS_MAIN(tst_Record)
#include "tst_record.moc"
