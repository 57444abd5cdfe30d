#include "channelplan.h"
#include "csv.h"
#include "data.h"
#include "devicerules.h"
#include "pollstatistics.h"
#include "recordvalidator.h"
#include "settingsfile.h"
#include "settingstable.h"

#include <QtTest>

namespace {

using Table = SettingsTable;
using Setting = SettingsTable::Setting;

constexpr int timeoutFloors[] = {17, 9, 5, 3, 2, 2, 2, 2};
constexpr int chanelCounts[] = {10, 10, 5, 2, 1};
// A settings file's setting bytes in their order, and the values fileBytes() gives them:
// all different, all taken by the device.
const char *const fileOrder[] = {"Delay Tx-Rx", "Power", "Radio Data Rate", "Chanel", "Parity", "Stop bit",
                                 "Sub-band", "Serial Timeout", "Radio Transmit Reset", "Serial Data Rate",
                                 "WDT Reset", "Test address"};
constexpr quint8 fileValues[] = {200, 5, 2, 4, 3, 1, 8, 150, 30, 6, 250, 63};

const Setting &named(const QString &name) { return *Table::settingNamed(name); }

QString port() { return QString::fromUtf8("/dev/ttyЖÜ0"); }

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

// The record of fileBytes().
void fill(Data &data)
{
    for (int i = 0; i < 12; ++i)
        data.*named(fileOrder[i]).field = fileValues[i];
    data.flowControl = 2;
    data.portName = port();
}

// fill()'s file built byte by byte: the port name is its length in bytes (32 bits) and
// its UTF-16 units, both big-endian.
QByteArray fileBytes()
{
    QByteArray bytes(reinterpret_cast<const char *>(fileValues), 12);
    const int length = 2 * int(port().size());
    bytes += QByteArray(2, '\0') + char(length >> 8) + char(length & 0xff);
    for (const QChar c : port())
        bytes += QByteArray(1, char(c.unicode() >> 8)) + char(c.unicode() & 0xff);
    return bytes + char(2);
}

} // namespace

class tst_Record : public QObject
{
    Q_OBJECT

private slots:
    void fileLayout()
    {
        Data written;
        fill(written);
        QCOMPARE(SettingsFile::encode(written), fileBytes());
        QCOMPARE(SettingsFile::encodeStartup(written), fileBytes().chopped(1));
        Data startup;
        QVERIFY(!SettingsFile::decodeStartup(fileBytes().left(11), startup));
        QCOMPARE(held(startup), held(Data()));
        QVERIFY(SettingsFile::decodeStartup(fileBytes().left(12), startup));
        written.flowControl = 0;
        written.portName = "COM1";
        QCOMPARE(held(startup), held(written));
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("portName");
        QTest::addColumn<bool>("flowRead");
        const QByteArray full = fileBytes();
        const QString settings = "the file is incomplete: it ends inside its settings";
        const QString name = "the file is incomplete: it ends inside the port name";
        QTest::newRow("empty") << QByteArray() << settings << "" << false;
        QTest::newRow("11 bytes") << full.left(11) << settings << "" << false;
        QTest::newRow("12 bytes alone") << full.left(12) << "" << "" << false;
        QTest::newRow("inside the length") << full.left(14) << name << "" << false;
        QTest::newRow("inside the name") << full.left(full.size() - 2) << name << "" << false;
        QTest::newRow("odd length") << full.left(12) + QByteArray::fromHex("00000003616263")
                                    << "the file is damaged: its port name cannot be read" << "" << false;
        QTest::newRow("no flow control") << full.chopped(1) << "" << port() << false;
        QTest::newRow("complete") << full << "" << port() << true;
    }

    // As bytes and as a file through the validator: a refused file leaves the record as it
    // was, one without flow control keeps the record's.
    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        QFETCH(QString, portName);
        QFETCH(bool, flowRead);
        Data want;
        fill(want);
        want.portName = portName;
        want.flowControl = flowRead ? 2 : 0;
        QTemporaryDir dir;
        const QString path = dir.filePath("site.ryd");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush());
        for (bool validated : {false, true}) {
            Data data;
            DeviceRules::setFactorySettings(data);
            data.flowControl = 0;
            data.portName = "kept";
            const QString before = held(data);
            QString reason;
            bool hasFlowControl = !flowRead;
            QCOMPARE(validated ? RecordValidator::load(path, data, &reason, &hasFlowControl)
                               : SettingsFile::decode(bytes, data, &reason, &hasFlowControl),
                     problem.isEmpty());
            QCOMPARE(reason, validated && !problem.isEmpty()
                                 ? QString("The settings could not be loaded from \"%1\": %2").arg(path, problem)
                                 : problem);
            QCOMPARE(held(data), problem.isEmpty() ? held(want) : before);
            QCOMPARE(hasFlowControl, problem.isEmpty() ? flowRead : !flowRead);
        }
    }

    void validator_data()
    {
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QString>("refused");
        const auto row = [](const QString &changes, const QString &refused) {
            QTest::newRow(qPrintable(changes.isEmpty() ? "factory" : changes)) << changes << refused;
        };
        row("", "");
        for (const char *inside : {"Sub-band=0", "Sub-band=6", "Sub-band=8", "Radio Data Rate=4", "Serial Timeout=250",
                                   "Power=7", "Test address=63", "Serial Data Rate=7", "Delay Tx-Rx=250", "Parity=3",
                                   "Stop bit=1", "Flow control=0", "Radio Transmit Reset=10",
                                   "Radio Transmit Reset=250", "WDT Reset=250"})
            row(inside, "");
        for (const char *beyond : {"Sub-band=1", "Sub-band=7", "Sub-band=9", "Serial Timeout=251", "Power=8",
                                   "Test address=64", "Delay Tx-Rx=251", "Parity=4", "Stop bit=2", "Flow control=1",
                                   "Flow control=3", "Radio Transmit Reset=9", "Radio Transmit Reset=251",
                                   "WDT Reset=251"})
            row(beyond, QString(beyond).section('=', 0, 0));
        // In the window's order; a rate out of range leaves what follows it unjudged.
        row("Parity=4,Power=8", "Power,Parity");
        row("Radio Data Rate=5,Chanel=9", "Radio Data Rate");
        row("Serial Data Rate=8,Serial Timeout=0", "Serial Data Rate");
        const QString timeout("Serial Data Rate=%1,Serial Timeout=%2"), chanel("Radio Data Rate=%1,Chanel=%2");
        for (int rate = 0; rate < 8; ++rate) {
            row(timeout.arg(rate).arg(timeoutFloors[rate]), "");
            row(timeout.arg(rate).arg(timeoutFloors[rate] - 1), "Serial Timeout");
        }
        for (int rate = 0; rate < 5; ++rate) {
            row(chanel.arg(rate).arg(chanelCounts[rate] - 1), "");
            row(chanel.arg(rate).arg(chanelCounts[rate]), "Chanel");
        }
    }

    void validator()
    {
        QFETCH(QString, changes);
        QFETCH(QString, refused);
        Data record;
        base(record);
        apply(record, changes);
        QStringList names;
        for (const RecordValidator::Refusal &refusal : RecordValidator::refusals(record)) {
            names << refusal.setting->name;
            QCOMPARE(refusal.value, record.*refusal.setting->field);
        }
        QCOMPARE(names.join(','), refused);
    }

    void describe()
    {
        Data record;
        base(record);
        apply(record, "Sub-band=1,Radio Data Rate=3,Chanel=2,Serial Timeout=1,Power=9,Parity=4,Flow control=1,"
                      "Radio Transmit Reset=9,WDT Reset=251");
        const QString refusals = RecordValidator::describe(RecordValidator::refusals(record));
        QCOMPARE(refusals, QString("\"Sub-band\" holds 1 (allowed: 0 = g1 868-868.6 MHz, 2 = g2 868.7-869.2 MHz, "
                                   "6 = g3 869.4-869.65 MHz, 8 = g4 869.7-870 MHz); \"Chanel\" holds 2 (allowed at "
                                   "\"Radio Data Rate\" 38400 bps: 0 = 868.8 MHz, 1 = 869 MHz); \"Serial Timeout\" "
                                   "holds 1 (allowed at \"Serial Data Rate\" 19200 bps: 2 to 250); \"Power\" holds 9 "
                                   "(allowed: 0 to 7); \"Parity\" holds 4 (allowed: 0 = 8-bit data, no parity, "
                                   "1 = 8-bit data, even parity, 2 = 8-bit data, odd parity, 3 = 9-bit data, no "
                                   "parity); \"Flow control\" holds 1 (allowed: 0 = HardWare, 2 = None); \"Radio "
                                   "Transmit Reset\" holds 9 (allowed: 10 to 250); \"WDT Reset\" holds 251 (allowed: "
                                   "0 = Disable to 250 = 2500 sec)"));
        QCOMPARE(RecordValidator::describe({}), QString());

        // A file holding that record is refused in the same words, as is a missing file.
        QTemporaryDir dir;
        QFile file(dir.filePath("site.ryd"));
        Data kept;
        QString problem;
        QVERIFY(!RecordValidator::load(file.fileName(), kept, &problem));
        QCOMPARE(problem, RecordValidator::loadFailure(file.fileName(), "No such file or directory"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(SettingsFile::encode(record)) > 0 && file.flush());
        QVERIFY(!RecordValidator::load(file.fileName(), kept, &problem));
        QCOMPARE(problem, RecordValidator::loadFailure(file.fileName(), refusals));
        QCOMPARE(held(kept), held(Data()));
    }

    void controls()
    {
        const Setting &flow = named("Flow control"), &power = named("Power"), &address = named("Test address");
        const Setting &timeout = named("Serial Timeout");
        QCOMPARE(QList<int>({Table::shownValue(flow, 0), Table::shownValue(flow, 2), Table::recordValue(flow, 1),
                             Table::recordValue(flow, 0), Table::shownValue(power, 5), Table::recordValue(power, 5)}),
                 QList<int>({1, 0, 0, 2, 5, 5}));
        // An address is one character, none keeps it; flow control is hardware (0) or none (2).
        QCOMPARE(QList<int>({Table::answerValue(address, "o", 5), Table::answerValue(address, "12", 5),
                             Table::answerValue(address, "", 5), Table::answerValue(flow, "0", 5),
                             Table::answerValue(flow, "1", 5), Table::answerValue(flow, "7", 5),
                             Table::answerValue(flow, "abc", 5), Table::answerValue(timeout, "17", 5)}),
                 QList<int>({63, 1, 5, 0, 2, 2, 0, 17}));
        Data record;
        QCOMPARE(QList<bool>({Table::offers(flow, 1, record), Table::offers(named("Sub-band"), 7, record),
                              Table::offers(timeout, 16, record), Table::offers(timeout, 17, record)}),
                 QList<bool>({true, false, false, true}));
        apply(record, "Flow control=0,Sub-band=1,Serial Timeout=17,WDT Reset=3,Serial Data Rate=4");
        QStringList texts;
        for (const char *name : {"Flow control", "Sub-band", "Serial Timeout", "WDT Reset", "Serial Data Rate"})
            texts << Table::text(named(name), record);
        record.flowControl = 7;
        texts << Table::text(flow, record);
        QCOMPARE(texts.join(','), QString("HardWare,1,17,30 sec,19200 bps,None"));
    }

    // Each control's entries (count, first..last = the last one's value) or its range at the
    // lowest rates; every entry's text, and any byte for a spin box, reads back as its value.
    void choicesAndParse()
    {
        Data record;
        quint8 value = 0;
        QStringList offered;
        for (const Setting &setting : Table::settings()) {
            const QList<Table::Choice> choices = Table::choices(setting, record);
            offered << setting.name + ' '
                    + (choices.isEmpty() ? QString("%1..%2").arg(Table::minimum(setting, record)).arg(setting.maximum)
                                         : QString("%1 %2..%3 = %4").arg(choices.size()).arg(choices.first().text,
                                                choices.last().text).arg(choices.last().shown));
            for (const Table::Choice &choice : choices) {
                QVERIFY2(Table::parse(setting, ' ' + choice.text + ' ', record, &value), qPrintable(choice.text));
                QCOMPARE(value, Table::recordValue(setting, choice.shown));
            }
            for (int number : {0, 255}) {
                QCOMPARE(Table::parse(setting, QString::number(number), record, &value), choices.isEmpty());
                QVERIFY(!choices.isEmpty() || value == number);
            }
            for (const char *text : {"256", "-1", "x", ""})
                QVERIFY2(!Table::parse(setting, text, record, &value), text);
        }
        QCOMPARE(offered.join('\n'), QString("Sub-band 4 g1 868-868.6 MHz..g4 869.7-870 MHz = 8\n"
                                             "Radio Data Rate 5 4800 bps..115200 bps = 4\n"
                                             "Chanel 10 868.725 MHz..869.175 MHz = 9\n"
                                             "Serial Timeout 17..250\nPower 0..7\nTest address 0..63\n"
                                             "Serial Data Rate 8 1200 bps..115200 bps = 7\nDelay Tx-Rx 0..250\n"
                                             "Parity 4 8-bit data, no parity..9-bit data, no parity = 3\n"
                                             "Stop bit 2 1..2 = 1\nFlow control 2 None..HardWare = 1\n"
                                             "Radio Transmit Reset 10..250\nWDT Reset 251 Disable..2500 sec = 250"));
        QString problem;
        QVERIFY(!Table::parse(named("Serial Timeout"), "256", record, &value, &problem));
        QCOMPARE(problem, QString("\"Serial Timeout\" takes a number from 17 to 250, not \"256\""));
        QVERIFY(!Table::parse(named("Stop bit"), "3", record, &value, &problem));
        QCOMPARE(problem, QString("\"Stop bit\" has no choice \"3\"; its choices are: 1, 2"));
        QVERIFY(!Table::parse(named("Chanel"), "868.85 MHz", record, &value));
    }

    void deviceRules()
    {
        QCOMPARE(DeviceRules::addressChar(63), QChar('o'));
        for (quint8 address = 0; address < 64; ++address)
            QCOMPARE(DeviceRules::addressOf(char(DeviceRules::addressChar(address).unicode())), address);
        QCOMPARE(DeviceRules::pollRequest(63), QByteArray("!01o"));
        QCOMPARE(DeviceRules::pollAnswer(0), QByteArray("TEST0"));
        QList<int> floors, sustained;
        for (int rate : {0, 1, 2, 3, 4, 5, 6, 7, 8, 255}) {
            floors << DeviceRules::serialTimeoutFloor(quint8(rate));
            sustained << DeviceRules::highestSustainedRate(quint8(rate));
        }
        QCOMPARE(floors, QList<int>({17, 9, 5, 3, 2, 2, 2, 2, 3, 3}));
        QCOMPARE(sustained, QList<int>({2, 3, 4, 5, 7, 0, 0, 0, 0, 0}));

        Data data;
        for (const Setting &setting : Table::settings())
            data.*setting.field = 99;
        data.portName = "X";
        DeviceRules::setFactorySettings(data);
        QCOMPARE(held(data), QString("Sub-band=2,Radio Data Rate=2,Chanel=0,Serial Timeout=2,Power=7,Test address=0,"
                                     "Serial Data Rate=99,Delay Tx-Rx=0,Parity=0,Stop bit=0,Flow control=2,"
                                     "Radio Transmit Reset=50,WDT Reset=6,port=X"));
        data.serialDataRate = DeviceRules::factorySerialRate;
        QCOMPARE(Table::text(named("Serial Data Rate"), data), QString("19200 bps"));
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

    void csv()
    {
        const QStringList texts{"COM1; 2", "", "a,b", "say \"hi\"", "a\nb", "a\rb"};
        QStringList cells;
        for (const QString &text : texts)
            cells << Csv::cell(text);
        QCOMPARE(cells, QStringList({"COM1; 2", "", "\"a,b\"", "\"say \"\"hi\"\"\"", "\"a\nb\"", "\"a\rb\""}));
        QCOMPARE(Csv::line(texts), cells.join(','));
    }

    void pollStatistics()
    {
        QStringList summaries;
        for (const auto &count : {std::make_pair(7, 1), {1, 7}, {1, 2}, {2, 1}, {0, 5}, {5, 0}, {0, 0}}) {
            PollStatistics polls;
            for (int i = 0; i < count.first; ++i)
                polls.addAnswered(-1);
            for (int i = 0; i < count.second; ++i)
                polls.addUnanswered();
            summaries << polls.summary() + '|' + QString::number(polls.percent());
        }
        QCOMPARE(summaries.join(' '), QString("7/8 88%|88 1/8 13%|13 1/3 33%|33 2/3 67%|67 0/5 0%|0 5/5 100%|100 |0"));

        const auto at = [](int s) { return QDateTime::fromString(QString("2024-05-01T12:00:0%1+02:00").arg(s), Qt::ISODate); };
        PollStatistics polls, silent;
        polls.addAnswered(11, at(1));
        polls.addAnswered(-1, at(2));
        polls.addAnswered(10, at(3));
        polls.addUnanswered(at(4));
        silent.addUnanswered(at(5));
        QCOMPARE(QList<int>({polls.polled(), polls.answered(), polls.lastRoundTripMs(), polls.meanRoundTripMs(),
                             polls.maxRoundTripMs(), silent.meanRoundTripMs(), silent.maxRoundTripMs()}),
                 QList<int>({4, 3, 10, 11, 11, -1, -1}));
        QCOMPARE(polls.details(), QString("Answered 3 of 4 polls (75%)\nRound trip: last 10 ms, mean 11 ms, largest 11 ms"));
        QCOMPARE(silent.details(), QString("Answered 0 of 1 polls (0%)\nRound trip: none measured"));
        QCOMPARE(PollStatistics::csvReport({{5, polls}, {6, PollStatistics()}, {2, silent}}, "COM,\"3\""),
                 QByteArray("address,polled,answered,percent,rtt_last_ms,rtt_mean_ms,rtt_max_ms,port,first_poll,"
                            "last_poll\n5,4,3,75,10,11,11,\"COM,\"\"3\"\"\",2024-05-01T12:00:01+02:00,"
                            "2024-05-01T12:00:04+02:00\n2,1,0,0,,,,\"COM,\"\"3\"\"\",2024-05-01T12:00:05+02:00,"
                            "2024-05-01T12:00:05+02:00\n"));
        polls.clear();
        polls.addAnswered(7, at(9));
        QCOMPARE(polls.csvLine(1, "p"), QString("1,1,1,100,7,7,7,p,2024-05-01T12:00:09+02:00,2024-05-01T12:00:09+02:00"));
    }
};

QTEST_GUILESS_MAIN(tst_Record)
#include "tst_record.moc"
