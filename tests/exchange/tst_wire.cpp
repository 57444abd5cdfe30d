#include "data.h"
#include "devicemodel.h"
#include "emulator.h"
#include "exchange.h"
#include "parser.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {
ParserParam makeParam(const QByteArray &answer, const QByteArray &mask,
                      quint8 repeats = 2, quint16 interval = 1000)
{
    ParserParam param;
    param.type = E_GetChanel;
    param.request = QByteArrayLiteral("ATS200?\r");
    param.answer = answer;
    param.mask = mask;
    param.repeats = repeats;
    param.interval = interval;
    return param;
}

QByteArrayList bytewise(const QByteArray &bytes)
{
    QByteArrayList chunks;
    for (const char c : bytes)
        chunks.append(QByteArray(1, c));
    return chunks;
}

const QByteArray rs485Answer = "adr=x,spd=x,d1=x,d2=x,par=x,res=x,wdt=x,bit=x\r";
const QByteArray rs485Mask = "1111X11111X1111X1111X11111011111X11111X1111101";

const QList<QByteArray> readAllRequests{
    "+++",      "AT/V\r",    "ATS216?\r", "ATS206?\r", "ATS201?\r",
    "ATS200?\r", "ATS214?\r", "ATS202?\r", "ATO\r",     "$1",
};

QList<int> progressValues(const QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &arguments : spy)
        values.append(arguments.at(0).toInt());
    return values;
}

Emulator::Fault fault(const QByteArray &match, int times = -1)
{
    Emulator::Fault f;
    f.match = match;
    f.times = times;
    return f;
}

Emulator::Fault silent(const QByteArray &match, int times = -1)
{
    Emulator::Fault f = fault(match, times);
    f.silent = true;
    return f;
}

Emulator::Fault replaced(const QByteArray &match, const QByteArray &answer, int times = -1)
{
    Emulator::Fault f = fault(match, times);
    f.replaceWith = answer;
    return f;
}

// subBand, radioDataRate, chanel, power, testAddress, serialDataRate,
// serialTimeout, delayTxRx, parity, radioTransmitReset, stopBit,
// flowControl, wdtReset
void setRecord(Data *data, const QList<int> &values)
{
    quint8 Data::*const fields[] = {&Data::subBand, &Data::radioDataRate, &Data::chanel, &Data::power,
                                    &Data::testAddress, &Data::serialDataRate, &Data::serialTimeout,
                                    &Data::delayTxRx, &Data::parity, &Data::radioTransmitReset,
                                    &Data::stopBit, &Data::flowControl, &Data::wdtReset};
    for (int i = 0; i < values.size(); ++i)
        data->*fields[i] = quint8(values.at(i));
}

void setFactoryRecord(Data *data, int serialDataRate)
{
    setRecord(data, {2, 2, 0, 7, 0, serialDataRate, 2, 0, 0, 50, 0, 2, 6});
}

QByteArrayList defaultWrites(int currentRate)
{
    QByteArrayList writes{"$3" + QByteArray::number(currentRate), "+++", "ATR\r"};
    for (int rate = 0; rate <= 7; ++rate)
        writes << "$3" + QByteArray::number(rate) << "+++" << "ATR\r";
    writes << "$00,4,000,000,0,050,006,0" << "ATS206=2\r" << "ATS201=2\r" << "ATS200=0\r"
           << "ATS202=7\r" << "ATS214=2\r" << "ATS216=2\r" << "ATO\r";
    return writes;
}

} // namespace

// The wire: one transaction's matcher and timer, and the program's Exchange
// against the device emulator over a pseudo-terminal: what the device
// receives and what the engine reports.
class tst_Wire : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void matcher_data();
    void matcher();
    void doneFlag_data();
    void doneFlag();
    void sendResetsPartialAnswer();
    void replacedRequestAndAnswer();
    void repeatCount_data();
    void repeatCount();
    void answerDoesNotStopTimer();

    void readAll_data();
    void readAll();
    void undeliveredAnswer_data();
    void undeliveredAnswer();
    void bytesWhileIdle();
    void restoreDefaultsSkip_data();
    void restoreDefaultsSkip();
    void saveQueue_data();
    void saveQueue();
    void defaultQueue();
    void stopWhilePollIsSent();

    // The cases below wait on the protocol's one-second clock.
    void timeouts();
    void reopenCloses();
    void lateAnswerDuringPrompt();
    void radioTest();
    void stopWhilePollIsJudged();
    void testReplacesRunningSequence();
    void deviceHangsUp_data();
    void deviceHangsUp();

private:
    bool connectDevice();
    // The progress has reached 100 since init or connectDevice.
    bool finished() const { return !progress->isEmpty() && progress->last().at(0).toInt() == 100; }
    Exchange *exchange() const { return engine.get(); }

    std::unique_ptr<Emulator> emulator;
    std::unique_ptr<Data> data;
    std::unique_ptr<Exchange> engine;
    std::unique_ptr<QSignalSpy> progress;
    std::unique_ptr<QSignalSpy> errors;
    // What sgGetSetting delivered, one entry a report.
    QList<TypeParser> types;
    QList<QByteArrayList> fields;
};

// The cases timed by the protocol's own second run as a program of their
// own (RYD_WIRE_CLOCK set), so that neither half of the wire takes long.
void tst_Wire::init()
{
    static const QStringList clockCases{QStringLiteral("timeouts"), QStringLiteral("radioTest")};
    if (clockCases.contains(QLatin1String(QTest::currentTestFunction())) != qEnvironmentVariableIsSet("RYD_WIRE_CLOCK"))
        QSKIP("in the other half of the wire cases");
    emulator = std::make_unique<Emulator>();
    QString error;
    QVERIFY2(emulator->open(&error), qPrintable(error));
    data = std::make_unique<Data>();
    engine = std::make_unique<Exchange>(nullptr, data.get());
    // Silent commands give up in 0.3 s; the cases about time itself go back
    // to the catalogue's second.
    engine->setIntervalOverride(300);
    types.clear();
    fields.clear();
    connect(engine.get(), &Exchange::sgGetSetting, this,
            [this](TypeParser type, const QList<QByteArray> &delivered) {
                types.append(type);
                fields.append(delivered);
            });
    progress = std::make_unique<QSignalSpy>(engine.get(), &Exchange::sgSetProgres);
    errors = std::make_unique<QSignalSpy>(engine.get(), &Exchange::sgError);
    QVERIFY(progress->isValid());
    QVERIFY(errors->isValid());
}

void tst_Wire::cleanup()
{
    progress.reset();
    errors.reset();
    engine.reset();
    data.reset();
    emulator.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Opens the emulator's line and waits for the read-all to finish; what it
// sent and reported is then forgotten.
bool tst_Wire::connectDevice()
{
    if (!exchange()->openPort(emulator->portName()) || !QTest::qWaitFor([this] { return finished(); }, 5000))
        return false;
    emulator->clearRequests();
    types.clear();
    fields.clear();
    progress->clear();
    errors->clear();
    return true;
}

void tst_Wire::readAll_data()
{
    QTest::addColumn<bool>("pacing");
    QTest::addColumn<int>("splitInto");

    QTest::newRow("whole answers") << false << 1;
    QTest::newRow("answers in three pieces") << false << 3;
    QTest::newRow("wire speed, byte by byte") << true << 1;
}

void tst_Wire::readAll()
{
    QFETCH(bool, pacing);
    QFETCH(int, splitInto);

    DeviceModel *device = emulator->device();
    device->setSRegister(DeviceModel::SubBand, 3);
    device->setSRegister(DeviceModel::RadioDataRate, 4);
    device->setSRegister(DeviceModel::Chanel, 17);
    device->setSRegister(DeviceModel::Power, 5);
    device->setSRegister(DeviceModel::SerialTimeout, 9);
    device->setSRegister(DeviceModel::FlowControl, 0);
    device->setFirmware("3.1");
    device->setHardware("C");
    device->setModuleVersion("LE50-868 v2.0");
    QCOMPARE(device->answer("$0:,7,000,012,1,255,030,1"), QByteArray("OK\r"));
    emulator->setPacing(pacing);
    if (splitInto > 1) {
        Emulator::Fault split;
        split.splitInto = splitInto;
        emulator->addFault(split);
    }

    QVERIFY(exchange()->openPort(emulator->portName()));
    QVERIFY(exchange()->isOpen());
    QSerialPort *port = exchange()->serialPort();
    // QSerialPort names a device below /dev by its relative name.
    QCOMPARE(QStringLiteral("/dev/") + port->portName(), emulator->portName());
    QCOMPARE(port->baudRate(QSerialPort::Input), 9600);
    QCOMPARE(port->baudRate(QSerialPort::Output), 9600);
    QCOMPARE(port->dataBits(), QSerialPort::Data8);
    QCOMPARE(port->parity(), QSerialPort::NoParity);
    QCOMPARE(port->stopBits(), QSerialPort::OneStop);
    QCOMPARE(port->flowControl(), QSerialPort::NoFlowControl);

    QTRY_COMPARE_WITH_TIMEOUT(progress->count(), 12, 5000);
    QCOMPARE(progressValues(*progress), (QList<int>{0, 9, 18, 27, 36, 45, 54, 63, 72, 81, 90, 100}));
    QCOMPARE(emulator->requests(), QByteArrayList{"$2"} + readAllRequests);
    QCOMPARE(errors->count(), 0);

    QCOMPARE(types, (QList<TypeParser>{E_GetVersion, E_GetModuleVersion, E_GetFlowControl, E_GetSubBand,
                                       E_GetRadioDataRate, E_GetChanel, E_GetSerialTimeout, E_GetPower,
                                       E_GetRs485}));
    QCOMPARE(fields, (QList<QByteArrayList>{{"3.1", "C"}, {"LE50-868 v2.0"}, {"0"}, {"3"}, {"4"}, {"17"},
                                            {"9"}, {"5"}, {":", "7", "000", "012", "1", "255", "030", "1"}}));
}

void tst_Wire::undeliveredAnswer_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("missing");

    QTest::newRow("record with seven fields")
        << QByteArray("$1") << QByteArray("adr=,spd=4,d1=000,d2=000,par=0,res=050,wdt=006,bit=0\r")
        << int(E_GetRs485);
    QTest::newRow("version with one field")
        << QByteArray("$2") << QByteArray("firmware=,pp=B\r") << int(E_GetVersion);
    QTest::newRow("module version with no field")
        << QByteArray("AT/V") << QByteArray("\r") << int(E_GetModuleVersion);
    QTest::newRow("channel with no field")
        << QByteArray("ATS200?") << QByteArray("S200=\r") << int(E_GetChanel);
}

// A complete answer with the wrong number of fields ends its transaction
// without delivering anything, and the sequence goes on.
void tst_Wire::undeliveredAnswer()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);
    QFETCH(int, missing);

    emulator->addFault(replaced(request, answer));

    QVERIFY(exchange()->openPort(emulator->portName()));
    QTRY_COMPARE_WITH_TIMEOUT(progress->count(), 12, 5000);
    QCOMPARE(progress->last().at(0).toInt(), 100);
    QCOMPARE(emulator->requests(), QByteArrayList{"$2"} + readAllRequests);
    QCOMPARE(errors->count(), 0);
    QCOMPARE(types.size(), 8);
    QVERIFY(!types.contains(TypeParser(missing)));
}

// Bytes that arrive while nothing is queued stay unread; the transaction that
// is first at the next arrival gets them.
void tst_Wire::bytesWhileIdle()
{
    QVERIFY(connectDevice());
    QSerialPort *port = exchange()->serialPort();
    const QByteArray staleAnswer = "firmware=2.3,pp=B\r";

    port->write("$2");
    QTRY_COMPARE(port->bytesAvailable(), qint64(staleAnswer.size()));
    QVERIFY(types.isEmpty());

    emulator->device()->setFirmware("9.9");
    emulator->addFault(replaced("$2", "zz"));

    exchange()->addParser(E_GetVersion, QString());
    exchange()->start(true);
    QTRY_COMPARE(progress->count(), 2);
    QCOMPARE(progressValues(*progress), (QList<int>{0, 100}));
    QCOMPARE(types, QList<TypeParser>{E_GetVersion});
    QCOMPARE(fields, (QList<QByteArrayList>{{"2.3", "B"}}));
    QCOMPARE(port->bytesAvailable(), qint64(0));
}

void tst_Wire::restoreDefaultsSkip_data()
{
    QTest::addColumn<QList<int>>("types");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QByteArrayList>("sent");
    QTest::addColumn<QList<int>>("percents");

    QTest::newRow("nothing behind")
        << QList<int>{E_RestoreDefaults} << QStringList{""} << QByteArrayList{"ATR\r"}
        << QList<int>{0, 100};
    QTest::newRow("no record behind")
        << QList<int>{E_RestoreDefaults, E_SetLinkRate, E_CommandMode, E_RestoreDefaults}
        << QStringList{"", "1", "", ""} << QByteArrayList{"ATR\r"} << QList<int>{0, 100};
    QTest::newRow("attempts before the record")
        << QList<int>{E_RestoreDefaults, E_SetLinkRate, E_CommandMode, E_RestoreDefaults,
                      E_SetRs485, E_OnlineMode}
        << QStringList{"", "1", "", "", "0,4,000,000,0,050,006,0", ""}
        << QByteArrayList{"ATR\r", "$00,4,000,000,0,050,006,0", "ATO\r"}
        << QList<int>{0, 66, 83, 100};
    QTest::newRow("record right behind")
        << QList<int>{E_RestoreDefaults, E_SetRs485}
        << QStringList{"", "0,4,000,000,0,050,006,0"}
        << QByteArrayList{"ATR\r", "$00,4,000,000,0,050,006,0"} << QList<int>{0, 50, 100};
}

void tst_Wire::restoreDefaultsSkip()
{
    QFETCH(QList<int>, types);
    QFETCH(QStringList, values);
    QFETCH(QByteArrayList, sent);
    QFETCH(QList<int>, percents);

    QVERIFY(connectDevice());
    emulator->device()->setCommandMode(true);

    for (int i = 0; i < types.size(); ++i)
        exchange()->addParser(TypeParser(types.at(i)), values.at(i));
    exchange()->start(true);
    QTRY_COMPARE(progress->count(), percents.size());
    QCOMPARE(progressValues(*progress), percents);
    QCOMPARE(emulator->requests(), sent);
}

void tst_Wire::saveQueue_data()
{
    QTest::addColumn<QList<int>>("record");
    QTest::addColumn<QByteArrayList>("writes");

    // In setRecord's order.
    QTest::newRow("factory record")
        << QList<int>{2, 2, 0, 7, 0, 4, 2, 0, 0, 50, 0, 2, 6}
        << QByteArrayList{"+++", "ATS210=5\r", "$35", "$00,4,000,000,0,050,006,0",
                          "ATS206=2\r", "ATS201=2\r", "ATS200=0\r", "ATS202=7\r",
                          "ATS214=2\r", "ATS216=2\r", "ATO\r"};
    QTest::newRow("address 10, rate 7")
        << QList<int>{1, 3, 12, 5, 10, 7, 17, 3, 1, 5, 1, 0, 60}
        << QByteArrayList{"+++", "ATS210=8\r", "$38", "$0:,7,000,003,1,005,060,1",
                          "ATS206=1\r", "ATS201=3\r", "ATS200=12\r", "ATS202=5\r",
                          "ATS214=17\r", "ATS216=0\r", "ATO\r"};
    QTest::newRow("address 63, wide values")
        << QList<int>{9, 9, 255, 9, 63, 0, 255, 250, 12, 255, 2, 2, 255}
        << QByteArrayList{"+++", "ATS210=1\r", "$31", "$0o,0,000,250,12,255,255,2",
                          "ATS206=9\r", "ATS201=9\r", "ATS200=255\r", "ATS202=9\r",
                          "ATS214=255\r", "ATS216=2\r", "ATO\r"};
}

// The write sequence on the wire. A second WRITE replaces the first and any
// queued read; every write is acknowledged, whatever the device makes of it.
void tst_Wire::saveQueue()
{
    QFETCH(QList<int>, record);
    QFETCH(QByteArrayList, writes);
    QVERIFY(connectDevice());
    for (const char *write : {"ATS206=", "ATS201=", "ATS200=", "ATS202=", "ATS214=", "ATS216=", "ATS210=", "$3", "$0"})
        emulator->addFault(replaced(write, "OK\r"));
    setRecord(data.get(), record);

    exchange()->addParser(E_GetPower, QString());
    exchange()->startSave();
    exchange()->startSave();
    QTRY_VERIFY_WITH_TIMEOUT(finished(), 5000);
    QCOMPARE(errors->count(), 0);
    // The read-back follows; a device holding a parity of two digits answers
    // "$1" in a form the template refuses, so that read may be sent twice.
    QCOMPARE(emulator->requests().mid(1, writes.size() + readAllRequests.size()), writes + readAllRequests);
}

// No reset is ever answered: every attempt is sent, then the record anyway.
void tst_Wire::defaultQueue()
{
    QVERIFY(connectDevice());
    exchange()->setIntervalOverride(20);
    emulator->addFault(silent("ATR"));
    setFactoryRecord(data.get(), 3);
    exchange()->startSave();
    exchange()->startDefaultWrite();

    QTRY_VERIFY_WITH_TIMEOUT(finished(), 5000);
    QCOMPARE(errors->count(), 0);
    const QByteArrayList sent = emulator->requests();
    // The write sequence's first request went out before it was replaced.
    QCOMPARE(sent.first(), QByteArray("+++"));
    QByteArrayList expected;
    for (const QByteArray &request : defaultWrites(3)) {
        expected << request;
        if (request == "ATR\r")
            expected << request; // sent twice, unanswered
    }
    QCOMPARE(sent.mid(1), expected + readAllRequests);
}

// Silent kinds drop out quietly; the others raise sgError after their two
// sends. The prompt answers "continue" at the channel read and "stop" at the
// power read.
void tst_Wire::timeouts()
{
    exchange()->setIntervalOverride(0);
    for (const char *match : {"ATS216?", "ATS200?", "ATS202?"})
        emulator->addFault(silent(match));
    QElapsedTimer clock;
    QList<QPair<QByteArray, qint64>> received;
    QList<QPair<QByteArray, qint64>> prompts;
    connect(emulator.get(), &Emulator::requestReceived, this, [&](const QByteArray &request) {
        received.append({request, clock.elapsed()});
    });
    connect(exchange(), &Exchange::sgError, this, [&](const QByteArray &request) {
        prompts.append({request, clock.elapsed()});
        if (request.startsWith("ATS202"))
            exchange()->clearParsers();
    });

    clock.start();
    QVERIFY(exchange()->openPort(emulator->portName()));
    QTRY_COMPARE_WITH_TIMEOUT(prompts.size(), 2, 9000);
    QTest::qWait(1200);

    QList<QByteArray> requests;
    for (const auto &entry : qAsConst(received))
        requests.append(entry.first);
    QCOMPARE(requests, (QList<QByteArray>{"$2", "+++", "AT/V\r", "ATS216?\r", "ATS216?\r",
                                          "ATS206?\r", "ATS201?\r", "ATS200?\r", "ATS200?\r",
                                          "ATS214?\r", "ATS202?\r", "ATS202?\r"}));
    QCOMPARE(prompts.at(0).first, QByteArray("ATS200?\r"));
    QCOMPARE(prompts.at(1).first, QByteArray("ATS202?\r"));
    QCOMPARE(progressValues(*progress),
             (QList<int>{0, 9, 18, 27, 36, 45, 54, 63, 72, 100}));

    const auto near = [](qint64 actual, qint64 expected) {
        return qAbs(actual - expected) < 150;
    };
    const qint64 flowSent = received.at(3).second;
    QVERIFY2(near(received.at(4).second - flowSent, 1000), "ATS216? re-sent after 1 s");
    QVERIFY2(near(received.at(5).second - flowSent, 2000), "next read 2 s after ATS216?");
    const qint64 chanelSent = received.at(7).second;
    QVERIFY2(near(received.at(8).second - chanelSent, 1000), "ATS200? re-sent after 1 s");
    QVERIFY2(near(prompts.at(0).second - chanelSent, 2000), "sgError 2 s after ATS200?");
    QVERIFY2(received.at(9).second >= prompts.at(0).second, "next read after the prompt");
}

// Connecting again disconnects: the queue is dropped and nothing more is sent.
void tst_Wire::reopenCloses()
{
    emulator->addFault(silent("ATS206?"));

    QVERIFY(exchange()->openPort(emulator->portName()));
    QTRY_VERIFY(emulator->requests().contains("ATS206?\r"));
    const int progressBefore = progress->count();

    QVERIFY(!exchange()->openPort(emulator->portName()));
    QVERIFY(!exchange()->isOpen());
    const QList<QByteArray> sent = emulator->requests();
    QTest::qWait(700);
    QCOMPARE(emulator->requests(), sent);
    QCOMPARE(errors->count(), 0);
    QCOMPARE(progress->count(), progressBefore);
}

// The prompt for a timed-out read is still open when its late answer arrives:
// that answer ends the read and starts the next one, and closing the prompt
// must neither drop nor repeat that next read.
void tst_Wire::lateAnswerDuringPrompt()
{
    QVERIFY(connectDevice());
    emulator->device()->setCommandMode(true);
    emulator->device()->setSRegister(DeviceModel::Chanel, 21);

    Emulator::Fault late = fault("ATS200?", 1);
    // Past the two sends of 0.3 s each, while the prompt is open.
    late.delayMs = 700;
    emulator->addFault(late);
    emulator->addFault(silent("ATS200?", 1));

    bool nextStartedDuringPrompt = false;
    connect(exchange(), &Exchange::sgError, this, [&](const QByteArray &) {
        QEventLoop prompt;
        connect(emulator.get(), &Emulator::requestReceived, &prompt,
                [&](const QByteArray &request) {
                    if (request == "ATS202?\r") {
                        nextStartedDuringPrompt = true;
                        prompt.quit();
                    }
                });
        QTimer::singleShot(1500, &prompt, &QEventLoop::quit);
        prompt.exec();
    });
    exchange()->addParser(E_GetChanel, QString());
    exchange()->addParser(E_GetPower, QString());
    exchange()->addParser(E_GetSubBand, QString());
    exchange()->start(true);
    QTRY_VERIFY_WITH_TIMEOUT(finished(), 4000);
    QTest::qWait(100);

    QVERIFY(nextStartedDuringPrompt);
    QCOMPARE(errors->count(), 1);
    QCOMPARE(emulator->requests(),
             (QByteArrayList{"ATS200?\r", "ATS200?\r", "ATS202?\r", "ATS206?\r"}));
    QCOMPARE(progressValues(*progress), (QList<int>{0, 33, 66, 100}));
    QCOMPARE(types, (QList<TypeParser>{E_GetChanel, E_GetPower, E_GetSubBand}));
    QCOMPARE(fields.at(0), QByteArrayList{"21"});
}

// "XMwn\r", then one poll a second in list order, each judged when its second
// ends; the index survives a stop and a start, and a clear resets it.
void tst_Wire::radioTest()
{
    exchange()->setIntervalOverride(0);
    QVERIFY(connectDevice());
    emulator->device()->setPresentAddresses(QByteArray("\x01\x05", 2));
    // Address 1 answers with another address's text once: no answer.
    emulator->addFault(replaced("!011", "TEST2", 1));

    QElapsedTimer clock;
    QList<qint64> pollTimes;
    QList<QPair<bool, QByteArray>> results;
    QList<QByteArray> polls;
    QList<int> counts;
    connect(exchange(), &Exchange::sgRequest, this,
            [&](quint8 count, TypeParser type, const QByteArray &request) {
                QCOMPARE(type, E_Test);
                polls.append(request);
                counts.append(count);
                pollTimes.append(clock.elapsed());
            });
    connect(exchange(), &Exchange::sgOk, this,
            [&](quint8 count, TypeParser type, const QByteArray &request) {
                QCOMPARE(type, E_Test);
                counts.append(count);
                results.append({true, request});
            });
    connect(exchange(), &Exchange::sgTimeOut, this,
            [&](quint8 count, TypeParser type, const QByteArray &request) {
                QCOMPARE(type, E_Test);
                counts.append(count);
                results.append({false, request});
            });
    const QByteArray addresses("\x01\x0c\x05", 3);

    clock.start();
    exchange()->startTest(addresses);
    QTRY_COMPARE_WITH_TIMEOUT(polls.size(), 3, 3000);
    exchange()->clearParsers();
    QTest::qWait(1100);
    QCOMPARE(emulator->requests(), (QByteArrayList{"XMwn\r", "!011", "!01<", "!015"}));
    QCOMPARE(polls, (QByteArrayList{"!011", "!01<", "!015"}));
    QCOMPARE(results, (QList<QPair<bool, QByteArray>>{{false, "!011"}, {false, "!01<"}}));
    QVERIFY2(qAbs(pollTimes.at(1) - pollTimes.at(0) - 1000) < 100, "one poll a second");
    QVERIFY2(qAbs(pollTimes.at(2) - pollTimes.at(1) - 1000) < 100, "one poll a second");

    // Restarted, it goes on at the address of the poll that was stopped; a
    // clear lets that poll finish and goes on at index 1. The timing was
    // shown above: from here polls last 0.3 s.
    exchange()->setIntervalOverride(300);
    emulator->clearRequests();
    polls.clear();
    results.clear();
    exchange()->startTest(addresses);
    exchange()->clearTest();
    QTRY_COMPARE_WITH_TIMEOUT(polls.size(), 2, 2000);
    exchange()->clearParsers();
    QCOMPARE(emulator->requests(), (QByteArrayList{"XMwn\r", "!015", "!01<"}));
    QCOMPARE(results, (QList<QPair<bool, QByteArray>>{{true, "!015"}}));
    QVERIFY(std::all_of(counts.cbegin(), counts.cend(), [](int count) { return count == 1; }));

    // Cleared while stopped, the next test starts at the first address.
    emulator->clearRequests();
    exchange()->clearTest();
    exchange()->startTest(addresses);
    QTRY_COMPARE(emulator->requests().size(), 2);
    exchange()->clearParsers();
    QCOMPARE(emulator->requests(), (QByteArrayList{"XMwn\r", "!011"}));
}

// The window may stop the test from inside a report; the stopped transaction
// is neither used nor restarted afterwards.
void tst_Wire::stopWhilePollIsSent()
{
    QVERIFY(connectDevice());
    connect(exchange(), &Exchange::sgRequest, this, [this] { exchange()->clearParsers(); });
    QSignalSpy requests(exchange(), &Exchange::sgRequest);
    QVERIFY(requests.isValid());

    exchange()->startTest(QByteArray(1, '\x01'));
    QTRY_COMPARE(requests.count(), 1);
    QTest::qWait(50);
    QCOMPARE(emulator->requests(), QByteArrayList{"XMwn\r"});
}

void tst_Wire::stopWhilePollIsJudged()
{
    QVERIFY(connectDevice());
    connect(exchange(), &Exchange::sgTimeOut, this, [this] { exchange()->clearParsers(); });
    QSignalSpy requests(exchange(), &Exchange::sgRequest);
    QSignalSpy timeouts(exchange(), &Exchange::sgTimeOut);
    QVERIFY(requests.isValid());
    QVERIFY(timeouts.isValid());

    exchange()->startTest(QByteArray("\x07\x08", 2));
    QTRY_COMPARE_WITH_TIMEOUT(timeouts.count(), 1, 2000);
    QTest::qWait(400);
    QCOMPARE(timeouts.count(), 1);
    QCOMPARE(requests.count(), 1);
    QCOMPARE(emulator->requests(), (QByteArrayList{"XMwn\r", "!017"}));
    // The stopped poll was not advanced past: a new start polls it again.
    emulator->clearRequests();
    disconnect(exchange(), &Exchange::sgTimeOut, this, nullptr);
    exchange()->startTest(QByteArray("\x07\x08", 2));
    QTRY_COMPARE(emulator->requests().size(), 2);
    exchange()->clearParsers();
    QCOMPARE(emulator->requests().at(1), QByteArray("!017"));
}

// The line goes dead in the middle of the read-all: the port is closed and
// the queue dropped at once, reported once, with no failure for the commands
// that would otherwise each have timed out.
void tst_Wire::deviceHangsUp_data()
{
    QTest::addColumn<QByteArray>("hangUpAt");
    QTest::addColumn<int>("settingsBefore");
    QTest::newRow("radio data rate read") << QByteArray("ATS201?") << 4;
    QTest::newRow("record read, the last") << QByteArray("$1") << 8;
}

void tst_Wire::deviceHangsUp()
{
    QFETCH(QByteArray, hangUpAt);
    QFETCH(int, settingsBefore);
    Emulator::Fault hangUp = fault(hangUpAt);
    hangUp.hangUp = true;
    emulator->addFault(hangUp);
    QSignalSpy lost(exchange(), &Exchange::sgPortLost);
    QVERIFY(lost.isValid());

    QVERIFY(exchange()->openPort(emulator->portName()));
    QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 4000);
    QVERIFY(!exchange()->isOpen());
    QCOMPARE(types.size(), settingsBefore);

    // Past the time a silent transaction would take to fail.
    QTest::qWait(700);
    QCOMPARE(lost.count(), 1);
    QCOMPARE(errors->count(), 0);
    QVERIFY(progress->last().at(0).toInt() < 100);
}

void tst_Wire::matcher_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QByteArray>("mask");
    QTest::addColumn<QByteArrayList>("chunks");
    // Index of the chunk whose call returns true; every other call returns false.
    QTest::addColumn<int>("completeAt");
    QTest::addColumn<QByteArrayList>("fields");

    const QByteArray s200 = "S200=x\r";
    const QByteArray s200Mask = "11111X1";
    const QByteArray s206 = "S206=x\r";
    const QByteArray s206Mask = "1111101";

    QTest::newRow("run in one read")
        << s200 << s200Mask << QByteArrayList{"S200=12\r"} << 0 << QByteArrayList{"12"};
    QTest::newRow("run in three reads")
        << s200 << s200Mask << QByteArrayList{"S2", "00=1", "2\r"} << 2 << QByteArrayList{"12"};
    QTest::newRow("run byte by byte")
        << s200 << s200Mask << bytewise("S200=123\r") << 8 << QByteArrayList{"123"};
    QTest::newRow("single character")
        << s206 << s206Mask << QByteArrayList{"S206=3\r"} << 0 << QByteArrayList{"3"};
    QTest::newRow("single character too long")
        << s206 << s206Mask << QByteArrayList{"S206=34\r"} << -1 << QByteArrayList{};
    QTest::newRow("leading noise")
        << s200 << s200Mask << QByteArrayList{"\x01z", "S200=5\r"} << 1 << QByteArrayList{"5"};
    QTest::newRow("breaking byte not retried")
        << s200 << s200Mask << QByteArrayList{"SS200=5\r"} << -1 << QByteArrayList{};
    QTest::newRow("broken partial answer then whole answer")
        << s200 << s200Mask << QByteArrayList{"S20", "x", "S200=7\r"} << 2 << QByteArrayList{"7"};
    QTest::newRow("run to its terminator")
        << QByteArray("x\r") << QByteArray("X1") << QByteArrayList{"1.20\r"} << 0
        << QByteArrayList{"1.20"};
    QTest::newRow("lone terminator, no field")
        << QByteArray("x\r") << QByteArray("X1") << QByteArrayList{"\r"} << 0 << QByteArrayList{};
    QTest::newRow("literal answer")
        << QByteArray("OK\r") << QByteArray("111") << QByteArrayList{"O", "K\r"} << 1
        << QByteArrayList{};
    QTest::newRow("version, two runs")
        << QByteArray("firmware=x,pp=x\r") << QByteArray("111111111X1111X1")
        << QByteArrayList{"firmware=2.3,pp=B\r"} << 0 << QByteArrayList{"2.3", "B"};
    QTest::newRow("rs485 record, eight fields")
        << rs485Answer << rs485Mask
        << QByteArrayList{"adr=:,spd=7,d1=000,", "d2=010,par=1,res=255,wdt=006,bit=1\r"} << 1
        << QByteArrayList{":", "7", "000", "010", "1", "255", "006", "1"};
    QTest::newRow("rs485 record, two-byte parity breaks")
        << rs485Answer << rs485Mask
        << QByteArrayList{"adr=0,spd=4,d1=000,d2=000,par=12,res=050,wdt=006,bit=0\r"} << -1
        << QByteArrayList{};
    QTest::newRow("rs485 record, empty run gives seven fields")
        << rs485Answer << rs485Mask
        << QByteArrayList{"adr=,spd=4,d1=000,d2=000,par=0,res=050,wdt=006,bit=0\r"} << 0
        << QByteArrayList{"4", "000", "000", "0", "050", "006", "0"};
    QTest::newRow("two answers in one read, second ignored")
        << s200 << s200Mask << QByteArrayList{"S200=1\rS200=2\r", "Z"} << 0
        << QByteArrayList{"1"};
    QTest::newRow("single captures next to each other form one field")
        << QByteArray("ab=xx\r") << QByteArray("111001") << QByteArrayList{"ab=12\r"} << 0
        << QByteArrayList{"12"};
    QTest::newRow("run after single capture extends it")
        << QByteArray("a=xx\r") << QByteArray("110X1") << QByteArrayList{"a=1234\r"} << 0
        << QByteArrayList{"1234"};
    QTest::newRow("test answer")
        << QByteArray("TEST<") << QByteArray("11111") << QByteArrayList{"TEST<"} << 0
        << QByteArrayList{};
    QTest::newRow("test answer of another address")
        << QByteArray("TEST1") << QByteArray("11111") << QByteArrayList{"TEST2"} << -1
        << QByteArrayList{};
}

void tst_Wire::matcher()
{
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, mask);
    QFETCH(QByteArrayList, chunks);
    QFETCH(int, completeAt);
    QFETCH(QByteArrayList, fields);

    Parser parser(nullptr, makeParam(answer, mask));
    QByteArrayList out{"untouched"};
    for (int i = 0; i < chunks.size(); ++i) {
        QByteArrayList result;
        const bool complete = parser.parseAnswer(chunks.at(i), result);
        QVERIFY2(complete == (i == completeAt),
                 qPrintable(QStringLiteral("chunk %1 returned %2").arg(i).arg(complete)));
        if (complete)
            out = result;
    }
    if (completeAt < 0) {
        QVERIFY(!parser.isDone());
        return;
    }
    QCOMPARE(out, fields);
}

void tst_Wire::doneFlag_data()
{
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<bool>("done");

    QTest::newRow("nothing after") << QByteArray() << true;
    QTest::newRow("mismatching byte") << QByteArray("Z") << false;
    QTest::newRow("start of a new answer") << QByteArray("O") << true;
    QTest::newRow("broken new answer") << QByteArray("OZ") << false;
}

void tst_Wire::doneFlag()
{
    QFETCH(QByteArray, after);
    QFETCH(bool, done);

    Parser parser(nullptr, makeParam("OK\r", "111"));
    QByteArrayList out;
    QVERIFY(!parser.isDone());
    QVERIFY(parser.parseAnswer("OK\r", out));
    QVERIFY(parser.isDone());
    QVERIFY(!parser.parseAnswer(after, out));
    QCOMPARE(parser.isDone(), done);

    // Every send starts a fresh judgement.
    parser.doRequest();
    QVERIFY(!parser.isDone());
}

void tst_Wire::sendResetsPartialAnswer()
{
    Parser parser(nullptr, makeParam("S200=x\r", "11111X1"));
    QSignalSpy requests(&parser, &Parser::sgRequest);
    QVERIFY(requests.isValid());
    QByteArrayList out;

    QVERIFY(!parser.parseAnswer("S200=", out));
    parser.doRequest();
    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.at(0).at(0).toByteArray(), QByteArray("ATS200?\r"));
    QVERIFY(!parser.parseAnswer("4\r", out));
    QVERIFY(parser.parseAnswer("S200=4\r", out));
    QCOMPARE(out, QByteArrayList{"4"});
}

void tst_Wire::replacedRequestAndAnswer()
{
    Parser parser(nullptr, makeParam("TEST1", "11111"));
    QSignalSpy requests(&parser, &Parser::sgRequest);
    QVERIFY(requests.isValid());
    QByteArrayList out;

    parser.setRequest("!01<");
    parser.setAnswer("TEST<");
    parser.doRequest();
    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.at(0).at(0).toByteArray(), QByteArray("!01<"));
    QVERIFY(!parser.parseAnswer("TEST1", out));
    QVERIFY(parser.parseAnswer("TEST<", out));
}

void tst_Wire::repeatCount_data()
{
    QTest::addColumn<int>("repeats");
    QTest::addColumn<bool>("restartAfterFirstTick");
    QTest::addColumn<int>("sends");

    QTest::newRow("0 behaves as 1") << 0 << false << 1;
    QTest::newRow("1") << 1 << false << 1;
    QTest::newRow("3") << 3 << false << 3;
    QTest::newRow("restart resets the count") << 2 << true << 4;
}

// Counts only, on a short interval; the timing itself is repeatTiming's.
void tst_Wire::repeatCount()
{
    QFETCH(int, repeats);
    QFETCH(bool, restartAfterFirstTick);
    QFETCH(int, sends);

    Parser parser(nullptr, makeParam("OK\r", "111", quint8(repeats), 50));
    QSignalSpy requests(&parser, &Parser::sgRequest);
    QSignalSpy timeouts(&parser, &Parser::sgTimeout);
    QVERIFY(requests.isValid());
    QVERIFY(timeouts.isValid());

    parser.start();
    QCOMPARE(requests.count(), 1);
    if (restartAfterFirstTick) {
        QTRY_COMPARE(requests.count(), 2);
        parser.start();
        QCOMPARE(requests.count(), 3);
    }
    QTRY_COMPARE(timeouts.count(), 1);
    QTest::qWait(200);
    QCOMPARE(timeouts.count(), 1);
    QCOMPARE(requests.count(), sends);
}

void tst_Wire::answerDoesNotStopTimer()
{
    Parser parser(nullptr, makeParam("TEST5", "11111", 1, 50));
    QSignalSpy timeouts(&parser, &Parser::sgTimeout);
    QVERIFY(timeouts.isValid());
    QByteArrayList out;

    parser.start();
    QVERIFY(parser.parseAnswer("TEST5", out));
    QTRY_COMPARE(timeouts.count(), 1);
    QVERIFY(parser.isDone());
}

// Starting the radio test drops whatever sequence is running: only the test
// mode and the polls reach the device after it.
void tst_Wire::testReplacesRunningSequence()
{
    QVERIFY(connectDevice());
    emulator->addFault(silent("ATS206?"));
    exchange()->GetAllSettings();
    QTRY_VERIFY(emulator->requests().contains("ATS206?\r"));
    emulator->clearRequests();

    exchange()->startTest(QByteArray(1, '\x01'));
    QTest::qWait(700);
    exchange()->clearParsers();
    const QByteArrayList sent = emulator->requests();
    QVERIFY2(sent.size() >= 2, qPrintable(sent.join(' ')));
    QCOMPARE(sent.first(), QByteArray("XMwn\r"));
    for (const QByteArray &request : sent.mid(1))
        QCOMPARE(request, QByteArray("!011"));
}

QTEST_GUILESS_MAIN(tst_Wire)
#include "tst_wire.moc"
