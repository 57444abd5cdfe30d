#include "devicemodel.h"
#include "emulator.h"
#include "serialline.h"

#include <QSerialPort>
#include <QtTest>

#include <ctime>

Q_DECLARE_METATYPE(Emulator::Fault)

class tst_Emulator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void requestSplitAcrossWrites();
    void faults_data();
    void faults();
    void faultTimesRunOut();
    void pacingTakesWireTime();

private:
    QByteArray exchange(const QByteArray &request, int answerSize);

    Emulator *emulator = nullptr;
    QSerialPort *port = nullptr;
    QByteArray received;
    int reads = 0;
};

namespace {

const QByteArray firmwareAnswer = "firmware=2.3,pp=B\r";
const QByteArray recordAnswer = "adr=0,spd=4,d1=000,d2=000,par=0,res=050,wdt=006,bit=0\r";

Emulator::Fault fault(const QByteArray &match, int times = 1)
{
    Emulator::Fault f;
    f.match = match;
    f.times = times;
    return f;
}

} // namespace

void tst_Emulator::initTestCase()
{
    qRegisterMetaType<QSerialPort::SerialPortError>();
}

void tst_Emulator::init()
{
    emulator = new Emulator(this);
    QString error;
    QVERIFY2(emulator->open(&error), qPrintable(error));
    QVERIFY(emulator->isOpen());
    QVERIFY(emulator->portName().startsWith(QLatin1String("/dev/")));
    port = new QSerialPort(this);
    received.clear();
    reads = 0;
    connect(port, &QSerialPort::readyRead, this, [this] {
        received += port->readAll();
        ++reads;
    });
    QVERIFY(openPort(port, emulator->portName()));
}

void tst_Emulator::cleanup()
{
    delete port;
    port = nullptr;
    delete emulator;
    emulator = nullptr;
}

// Writes the request and waits until answerSize bytes came back; returns
// what came.
QByteArray tst_Emulator::exchange(const QByteArray &request, int answerSize)
{
    received.clear();
    port->write(request);
    // The caller compares what came; a shortfall shows there.
    [[maybe_unused]] const bool done = QTest::qWaitFor([&] { return received.size() >= answerSize; }, 3000);
    return received;
}

void tst_Emulator::requestSplitAcrossWrites()
{
    port->write("$00,4,0");
    QVERIFY(port->waitForBytesWritten(1000));
    QTest::qWait(30);
    QVERIFY(emulator->requests().isEmpty());
    QVERIFY(received.isEmpty());

    QCOMPARE(exchange("00,000,0,050,006,0", 3), QByteArray("OK\r"));
    QCOMPARE(emulator->requests(), QList<QByteArray>{"$00,4,000,000,0,050,006,0"});
}

void tst_Emulator::faults_data()
{
    QTest::addColumn<Emulator::Fault>("fault");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer");

    Emulator::Fault silent = fault("$2");
    silent.silent = true;
    QTest::newRow("silent") << silent << QByteArray("$2") << QByteArray();

    Emulator::Fault noise = fault("$2");
    noise.noise = QByteArray("\x00zS", 3);
    QTest::newRow("noise") << noise << QByteArray("$2") << QByteArray("\x00zS", 3) + firmwareAnswer;

    Emulator::Fault sevenFields = fault("$1");
    sevenFields.replaceWith = "adr=0,spd=4,d1=000,d2=000,par=0,res=050,wdt=006\r";
    QTest::newRow("$1 with seven fields") << sevenFields << QByteArray("$1") << sevenFields.replaceWith;

    Emulator::Fault everything = fault("$2");
    everything.delayMs = 20;
    everything.splitInto = 2;
    everything.noise = "??";
    everything.replaceWith = "firmware=0.1,pp=Z\r";
    QTest::newRow("all at once") << everything << QByteArray("$2")
                                 << QByteArray("??firmware=0.1,pp=Z\r");

    Emulator::Fault otherPrefix = fault("ATS2");
    otherPrefix.silent = true;
    QTest::newRow("other prefix") << otherPrefix << QByteArray("$2") << firmwareAnswer;

    Emulator::Fault anyRequest = fault(QByteArray());
    anyRequest.replaceWith = "ERROR\r";
    QTest::newRow("empty match") << anyRequest << QByteArray("$2") << QByteArray("ERROR\r");

    // The replacement goes out even where the device itself stays silent.
    Emulator::Fault online = fault("ATS200?");
    online.replaceWith = "S200=9\r";
    QTest::newRow("answer while online") << online << QByteArray("ATS200?\r") << QByteArray("S200=9\r");
}

// After the faulted request a "$3" probe goes out; its "OK\r" must be the
// only thing that follows the faulted answer.
void tst_Emulator::faults()
{
    QFETCH(Emulator::Fault, fault);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);

    QSignalSpy answered(emulator, &Emulator::answered);
    QVERIFY(answered.isValid());
    emulator->addFault(fault);
    port->write(request);
    QTRY_COMPARE(answered.count(), 1);
    QTRY_COMPARE(received, answer);
    QCOMPARE(answered.at(0).at(1).toByteArray(), answer);

    port->write("$37");
    QTRY_COMPARE(received, answer + "OK\r");
    QCOMPARE(emulator->requests(), (QList<QByteArray>{request, "$37"}));
}

void tst_Emulator::faultTimesRunOut()
{
    Emulator::Fault twice = fault("$2", 2);
    twice.silent = true;
    emulator->addFault(twice);

    port->write("$2$2$2");
    QTRY_COMPARE(received, firmwareAnswer);
    QCOMPARE(emulator->requests().size(), 3);

    Emulator::Fault always = fault("$3", -1);
    always.replaceWith = "NO\r";
    emulator->addFault(always);
    QCOMPARE(exchange("$31$32$33", 9), QByteArray("NO\rNO\rNO\r"));

    emulator->clearFaults();
    QCOMPARE(exchange("$34", 3), QByteArray("OK\r"));
}

// "$2" and its 18-byte answer are 20 bytes on the wire, about 20.8 ms at
// 9600 baud; a request counts as received only after its own bytes.
void tst_Emulator::pacingTakesWireTime()
{
    emulator->setPacing(true);
    QVERIFY(emulator->pacing());

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(exchange("$2", 18), firmwareAnswer);
    const qint64 exchangeMs = clock.elapsed();
    QVERIFY2(exchangeMs >= 20 && exchangeMs < 500, qPrintable(QString::number(exchangeMs)));

    qint64 receivedAtMs = -1;
    connect(emulator, &Emulator::requestReceived, this, [&] { receivedAtMs = clock.elapsed(); });
    const QByteArray record = "$00,4,000,000,0,050,006,0";
    clock.restart();
    QCOMPARE(exchange(record, 3), QByteArray("OK\r"));
    const qint64 recordMs = clock.elapsed();
    QVERIFY2(receivedAtMs >= 25 && receivedAtMs < 500, qPrintable(QString::number(receivedAtMs)));
    QVERIFY2(recordMs >= 28, qPrintable(QString::number(recordMs)));
}

QTEST_GUILESS_MAIN(tst_Emulator)
#include "tst_emulator.moc"
