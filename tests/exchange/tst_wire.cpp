#include "data.h"
#include "devicemodel.h"
#include "emulator.h"
#include "exchange.h"
#include "parser.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(Emulator::Fault)

namespace {
// In a matcher's list of reads: the request is sent again.
const QByteArray sendAgain = "<send>";

const QByteArrayList readAllRequests{"+++",      "AT/V\r",    "ATS216?\r", "ATS206?\r", "ATS201?\r",
                                      "ATS200?\r", "ATS214?\r", "ATS202?\r", "ATO\r",     "$1"};

Emulator::Fault fault(const QByteArray &match, const QByteArray &replaceWith = {}, int times = -1)
{
    Emulator::Fault f;
    f.match = match;
    f.replaceWith = replaceWith;
    f.times = times;
    return f;
}

Emulator::Fault silent(const QByteArray &match, int times = -1)
{
    Emulator::Fault f = fault(match, {}, times);
    f.silent = true;
    return f;
}

void setRecord(Data *data, const QList<int> &values)
{
    quint8 Data::*const fields[] = {&Data::subBand, &Data::radioDataRate, &Data::chanel, &Data::power,
                                    &Data::testAddress, &Data::serialDataRate, &Data::serialTimeout,
                                    &Data::delayTxRx, &Data::parity, &Data::radioTransmitReset,
                                    &Data::stopBit, &Data::flowControl, &Data::wdtReset};
    for (int i = 0; i < values.size(); ++i)
        data->*fields[i] = quint8(values.at(i));
}
} // namespace

// The answer matcher, and the Exchange against the device emulator on a pseudo-terminal.
class tst_Wire : public QObject
{
    Q_OBJECT

    std::unique_ptr<Emulator> emulator;
    std::unique_ptr<Data> data;
    std::unique_ptr<Exchange> engine;
    // What the engine reported since init or connectDevice, one entry a report.
    struct
    {
        QList<int> percents;
        QByteArrayList prompts;
        QList<TypeParser> types;
        QList<QByteArrayList> fields;
    } got;

    bool finished() const { return !got.percents.isEmpty() && got.percents.last() == 100; }

    // Connects and waits for the read-all; what it sent and reported is forgotten.
    bool connectDevice()
    {
        if (!engine->openPort(emulator->portName()) || !QTest::qWaitFor([this] { return finished(); }, 5000))
            return false;
        emulator->clearRequests();
        got = {};
        return true;
    }

private slots:
    void init()
    {
        if ((qstrcmp(QTest::currentTestFunction(), "timeouts") == 0) != qEnvironmentVariableIsSet("RYD_WIRE_CLOCK"))
            QSKIP("in the other half of the wire cases");
        emulator = std::make_unique<Emulator>();
        QVERIFY(emulator->open());
        data = std::make_unique<Data>();
        engine = std::make_unique<Exchange>(nullptr, data.get());
        engine->setIntervalOverride(300); // silent commands give up in 0.3 s
        got = {};
        connect(engine.get(), &Exchange::sgSetProgres, this, [this](quint8 percent) { got.percents.append(percent); });
        connect(engine.get(), &Exchange::sgError, this, [this](const QByteArray &request) { got.prompts.append(request); });
        connect(engine.get(), &Exchange::sgGetSetting, this, [this](TypeParser type, const QList<QByteArray> &fields) {
            got.types.append(type);
            got.fields.append(fields);
        });
    }

    void cleanup()
    {
        engine.reset();
        emulator.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void matcher_data()
    {
        QTest::addColumn<TypeParser>("kind");
        QTest::addColumn<QByteArrayList>("reads");
        QTest::addColumn<int>("completeAt"); // the one read that completes an answer
        QTest::addColumn<bool>("done");

        QTest::newRow("single character too long") << E_GetSubBand << QByteArrayList{"S206=34\r"} << -1 << false;
        QTest::newRow("a send drops the partial answer")
            << E_GetChanel << QByteArrayList{"S200=", sendAgain, "4\r", "S200=4\r"} << 3 << true;
        QTest::newRow("done until a byte breaks") << E_CommandMode << QByteArrayList{"O", "K\r", "Z"} << 1 << false;
        QTest::newRow("done while a new answer starts") << E_CommandMode << QByteArrayList{"OK\r", "O"} << 0 << true;
    }

    void matcher()
    {
        QFETCH(TypeParser, kind);
        QFETCH(QByteArrayList, reads);
        QFETCH(int, completeAt);
        QFETCH(bool, done);

        Parser parser(nullptr, engine->getParserParam(kind, QString()));
        QByteArrayList out;
        for (int i = 0; i < reads.size(); ++i) {
            if (reads.at(i) == sendAgain)
                parser.doRequest();
            else
                QCOMPARE(parser.parseAnswer(reads.at(i), out), i == completeAt);
        }
        QCOMPARE(parser.isDone(), done);
    }

    void readAll_data()
    {
        QTest::addColumn<Emulator::Fault>("deviceFault");
        QTest::addColumn<int>("delivered"); // settings reported, in reading order

        Emulator::Fault split;
        split.splitInto = 3;
        QTest::newRow("whole answers") << Emulator::Fault() << 9;
        QTest::newRow("answers in three pieces") << split << 9;
        QTest::newRow("record with seven fields")
            << fault("$1", "adr=,spd=4,d1=000,d2=000,par=0,res=050,wdt=006,bit=0\r") << 8;
    }

    // Connecting reads everything in order and delivers each setting; an answer
    // with the wrong number of fields ends its read unheard, and the rest goes on.
    void readAll()
    {
        QFETCH(Emulator::Fault, deviceFault);
        QFETCH(int, delivered);
        DeviceModel *device = emulator->device();
        device->setCommandMode(true);
        for (const char *write : {"ATS206=3\r", "ATS201=4\r", "ATS200=17\r", "ATS202=5\r", "ATS214=9\r", "ATS216=0\r",
                                  "$0:,7,000,012,1,255,030,1"})
            QCOMPARE(device->answer(write), QByteArray("OK\r"));
        emulator->addFault(deviceFault);

        QVERIFY(engine->openPort(emulator->portName()));
        QTRY_VERIFY_WITH_TIMEOUT(finished(), 5000);
        QCOMPARE(got.percents, (QList<int>{0, 9, 18, 27, 36, 45, 54, 63, 72, 81, 90, 100}));
        QCOMPARE(emulator->requests(), QByteArrayList{"$2"} + readAllRequests);
        const QList<TypeParser> types{E_GetVersion, E_GetModuleVersion, E_GetFlowControl, E_GetSubBand, E_GetRadioDataRate,
                                      E_GetChanel,  E_GetSerialTimeout, E_GetPower,       E_GetRs485};
        const QList<QByteArrayList> fields{{"2.3", "B"}, {"LE50-868 v1.2"}, {"0"}, {"3"}, {"4"}, {"17"},
                                           {"9"},        {"5"}, {":", "7", "000", "012", "1", "255", "030", "1"}};
        QCOMPARE(got.types, types.mid(0, delivered));
        QCOMPARE(got.fields, fields.mid(0, delivered));
    }

    // Bytes that arrive while nothing is queued stay unread; the transaction
    // that is first at the next arrival gets them.
    void bytesWhileIdle()
    {
        QVERIFY(connectDevice());
        auto *port = engine->findChild<QSerialPort *>();
        port->write("$2");
        QTRY_COMPARE(port->bytesAvailable(), qint64(qstrlen("firmware=2.3,pp=B\r")));

        emulator->addFault(fault("$2", "zz"));
        engine->addParser(E_GetVersion, QString());
        engine->start(true);
        QTRY_VERIFY(finished());
        QCOMPARE(got.fields, (QList<QByteArrayList>{{"2.3", "B"}}));
    }

    void writeQueue_data()
    {
        QTest::addColumn<bool>("defaults");
        QTest::addColumn<QByteArrayList>("writes");

        const QByteArrayList registers{"ATS206=9\r",   "ATS201=9\r", "ATS200=255\r", "ATS202=9\r",
                                       "ATS214=255\r", "ATS216=2\r", "ATO\r"};
        QTest::newRow("WRITE") << false
                               << QByteArrayList{"+++", "ATS210=1\r", "$31", "$0o,0,000,250,12,255,255,2"} + registers;
        // DEFAULT tries the current rate, then every rate, until a reset is
        // answered; the record at the factory's serial rate and the registers follow.
        QByteArrayList resets;
        for (const int rate : {0, 0, 1, 2, 3, 4, 5, 6, 7})
            resets << "$3" + QByteArray::number(rate) << "+++" << "ATR\r" << "ATR\r";
        resets << "$0o,4,000,250,12,255,255,2";
        QTest::newRow("DEFAULT, no reset answered") << true << resets + registers;
    }

    // WRITE and DEFAULT, each replacing a WRITE that has sent its first
    // request, then the read-back (its "$1" may be sent twice: a device holding
    // a two-digit parity answers in a form the template refuses). Every write
    // is acknowledged, whatever the device makes of it.
    void writeQueue()
    {
        QFETCH(bool, defaults);
        QFETCH(QByteArrayList, writes);
        QVERIFY(connectDevice());
        if (defaults) // eighteen resets, each sent twice
            engine->setIntervalOverride(20);
        emulator->addFault(silent("ATR"));
        for (const char *write : {"ATS206=", "ATS201=", "ATS200=", "ATS202=", "ATS214=", "ATS216=", "ATS210=", "$3", "$0"})
            emulator->addFault(fault(write, "OK\r"));
        setRecord(data.get(), {9, 9, 255, 9, 63, 0, 255, 250, 12, 255, 2, 2, 255});

        engine->startSave();
        if (defaults)
            engine->startDefaultWrite();
        else
            engine->startSave();
        QTRY_VERIFY_WITH_TIMEOUT(finished(), 5000);
        const QByteArrayList expected = QByteArrayList{"+++"} + writes + readAllRequests;
        QCOMPARE(emulator->requests().mid(0, expected.size()), expected);
    }

    // Silent kinds drop out quietly; the others raise sgError after their two
    // sends a second apart. The prompt answers "continue" at the channel read
    // and "stop" at the power read.
    void timeouts()
    {
        engine->setIntervalOverride(0);
        for (const char *match : {"ATS216?", "ATS200?", "ATS202?"})
            emulator->addFault(silent(match));
        QElapsedTimer clock;
        QList<qint64> receivedAt;
        QList<qint64> promptedAt;
        connect(emulator.get(), &Emulator::requestReceived, this, [&] { receivedAt.append(clock.elapsed()); });
        connect(engine.get(), &Exchange::sgError, this, [&](const QByteArray &request) {
            promptedAt.append(clock.elapsed());
            if (request.startsWith("ATS202"))
                engine->clearParsers();
        });

        clock.start();
        QVERIFY(engine->openPort(emulator->portName()));
        QTRY_COMPARE_WITH_TIMEOUT(got.prompts.size(), 2, 9000);
        QTest::qWait(1200);
        QCOMPARE(emulator->requests(), (QByteArrayList{"$2", "+++", "AT/V\r", "ATS216?\r", "ATS216?\r", "ATS206?\r",
                                                       "ATS201?\r", "ATS200?\r", "ATS200?\r", "ATS214?\r", "ATS202?\r",
                                                       "ATS202?\r"}));
        QCOMPARE(got.prompts, (QByteArrayList{"ATS200?\r", "ATS202?\r"}));
        QCOMPARE(got.percents, (QList<int>{0, 9, 18, 27, 36, 45, 54, 63, 72, 100}));
        const auto near = [](qint64 actual, qint64 expected) { return qAbs(actual - expected) < 150; };
        QVERIFY2(near(receivedAt.at(5) - receivedAt.at(3), 2000), "next read 2 s after ATS216?");
        QVERIFY2(near(receivedAt.at(8) - receivedAt.at(7), 1000), "ATS200? re-sent after 1 s");
        QVERIFY2(near(promptedAt.at(0) - receivedAt.at(7), 2000), "sgError 2 s after ATS200?");
        QVERIFY2(receivedAt.at(9) >= promptedAt.at(0), "next read after the prompt");
    }

    // The prompt for a timed-out read is still open when its late answer
    // arrives: that answer ends the read and starts the next one, and closing
    // the prompt must neither drop nor repeat that next read.
    void lateAnswerDuringPrompt()
    {
        QVERIFY(connectDevice());
        emulator->device()->setCommandMode(true);
        Emulator::Fault late = fault("ATS200?", {}, 1);
        late.delayMs = 700; // past the two sends of 0.3 s each, while the prompt is open
        emulator->addFault(late);
        emulator->addFault(silent("ATS200?", 1));
        bool nextStartedDuringPrompt = false;
        connect(engine.get(), &Exchange::sgError, this, [&] {
            nextStartedDuringPrompt = QTest::qWaitFor([&] { return emulator->requests().contains("ATS202?\r"); }, 1500);
        });

        for (const TypeParser type : {E_GetChanel, E_GetPower, E_GetSubBand})
            engine->addParser(type, QString());
        engine->start(true);
        QTRY_VERIFY_WITH_TIMEOUT(finished(), 4000);
        QTest::qWait(100);
        QVERIFY(nextStartedDuringPrompt);
        QCOMPARE(got.prompts.size(), 1);
        QCOMPARE(emulator->requests(), (QByteArrayList{"ATS200?\r", "ATS200?\r", "ATS202?\r", "ATS206?\r"}));
        QCOMPARE(got.percents, (QList<int>{0, 33, 66, 100}));
        QCOMPARE(got.fields.at(0), QByteArrayList{"0"});
    }

    // The radio test replaces a running read-all: "XMwn\r", then one poll an
    // interval in list order, each judged against the answer of its own
    // address. The window may stop it from inside a report, while a poll is
    // sent or judged: that poll is neither used nor restarted, nor advanced
    // past, so a new start polls its address again.
    void radioTest()
    {
        QVERIFY(connectDevice());
        emulator->device()->setPresentAddresses(QByteArray("\x05\x0c", 2));
        emulator->addFault(silent("ATS206?"));
        engine->GetAllSettings();
        QTRY_VERIFY(emulator->requests().contains("ATS206?\r"));
        emulator->clearRequests();
        QByteArrayList results;
        connect(engine.get(), &Exchange::sgOk, this,
                [&](quint8, TypeParser, const QByteArray &request) { results.append(request + " answered"); });
        connect(engine.get(), &Exchange::sgTimeOut, this,
                [&](quint8, TypeParser, const QByteArray &request) { results.append(request + " silent"); });
        const QByteArray polled("\x0c\x01\x05", 3);
        engine->startTest(polled);
        QTRY_COMPARE_WITH_TIMEOUT(results.size(), 4, 3000);
        engine->clearParsers();
        QCOMPARE(results, (QByteArrayList{"!01< answered", "!011 silent", "!015 answered", "!01< answered"}));
        // Cleared while stopped at the second address, it starts at the first.
        engine->clearTest();
        engine->startTest(polled);
        QTRY_COMPARE(emulator->requests(),
                     (QByteArrayList{"XMwn\r", "!01<", "!011", "!015", "!01<", "!011", "XMwn\r", "!01<"}));
        engine->clearParsers();

        for (const auto report : {&Exchange::sgRequest, &Exchange::sgOk}) {
            emulator->clearRequests();
            const auto stopping = connect(engine.get(), report, this, [this] { engine->clearParsers(); });
            QByteArrayList expected{"XMwn\r", "!01<", "XMwn\r", "!01<"};
            if (report == &Exchange::sgRequest)
                expected.removeAt(1);
            engine->startTest(polled);
            QTest::qWait(500);
            disconnect(stopping);
            engine->startTest(polled);
            QTRY_COMPARE(emulator->requests(), expected);
            engine->clearParsers();
        }

        // Connecting again closes the port and drops the running test at once.
        emulator->clearRequests();
        engine->startTest(polled);
        QTRY_VERIFY(emulator->requests().contains("!01<"));
        QVERIFY(!engine->openPort(emulator->portName()));
        results.clear();
        QTest::qWait(700);
        QVERIFY(results.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_Wire)
#include "tst_wire.moc"
