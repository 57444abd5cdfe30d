// The exchange engine running a read-all while arbitrary bytes arrive on its
// serial port.
//
// The target holds both ends of a pseudo-terminal: the engine opens the slave
// side by name with openPort, the target writes the input to the master side.
// Input: reads, each a length byte and that many bytes; a length of 0 turns
// the event loop once without new bytes, 0xFF asks for every setting again
// (the operator's READ) in the middle of the sequence. Each read is written
// only once the engine has taken the previous one off the line, so the reads
// reach the engine as they are split in the input. A run takes a few
// milliseconds, so the port is closed again long before a transaction's
// one-second timer fires.

#include "catalogue.h"
#include "data.h"
#include "exchange.h"
#include "fuzzcheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr uint8_t readAllByte = 0xFF;
// Far beyond what a pseudo-terminal needs; only a stalled machine or an engine
// that stopped reading gets there.
constexpr qint64 deliveryLimitMs = 2000;

struct Harness
{
    Data *data = nullptr;
    Exchange *exchange = nullptr;
    int master = -1;
    // Kept open by the target so the line stays up between runs and its
    // input queue can be measured and flushed.
    int slave = -1;
    QString slavePath;
    int children = 0;

    int lastProgress = -1;
    // The last bytes the engine wrote to the line.
    QByteArray sent;
};

Harness harness;

int pendingInput()
{
    int count = 0;
    FUZZ_CHECK(::ioctl(harness.slave, FIONREAD, &count) == 0);
    return count;
}

// Requests the engine sends are read and kept, newest last: nobody answers
// them but the input.
void drainMaster()
{
    char buffer[512];
    ssize_t got = 0;
    while ((got = ::read(harness.master, buffer, sizeof buffer)) > 0)
        harness.sent = (harness.sent + QByteArray(buffer, int(got))).right(256);
}

void writeToLine(const char *bytes, int length)
{
    while (length > 0) {
        const ssize_t written = ::write(harness.master, bytes, size_t(length));
        if (written < 0) {
            FUZZ_CHECK(errno == EAGAIN || errno == EINTR);
            drainMaster();
            continue;
        }
        bytes += written;
        length -= int(written);
    }
}

// The kernel moves bytes written to the master side over to the slave side
// on its own schedule; wait until they are there, then let the engine read.
void deliver(int expected)
{
    QElapsedTimer clock;
    clock.start();
    while (pendingInput() < expected && clock.elapsed() < deliveryLimitMs)
        ::sched_yield();
    clock.restart();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        drainMaster();
    } while (pendingInput() > 0 && clock.elapsed() < deliveryLimitMs);
    // The port reads what arrives even when no transaction waits for it.
    FUZZ_CHECK(pendingInput() == 0);
}

// The captured places of a kind's answer template, in order: the terminator
// of an 'X' run, or 0 for a '0' place that captures exactly one byte.
QByteArray capturePlaces(TypeParser type)
{
    const ParserParam param = harness.exchange->getParserParam(type, QString());
    QByteArray places;
    for (int i = 0; i < param.mask.size(); ++i) {
        if (param.mask.at(i) == 'X') {
            places.append(param.answer.at(i + 1));
            ++i;
        } else if (param.mask.at(i) == '0') {
            places.append('\0');
        }
    }
    return places;
}

void onSetting(TypeParser type, const QList<QByteArray> &fields)
{
    FUZZ_CHECK(Catalogue::contains(type));
    const Command &command = Catalogue::command(type);
    FUZZ_CHECK(command.deliveredFields != 0);
    FUZZ_CHECK(fields.size() == command.deliveredFields);
    // The answer belongs to the transaction that is running: the one whose
    // request went out last. Its bytes may still wait in the port's buffer.
    harness.exchange->serialPort()->flush();
    drainMaster();
    FUZZ_CHECK(harness.sent.endsWith(command.request));

    const QByteArray places = capturePlaces(type);
    FUZZ_CHECK(places.size() == fields.size());
    for (int i = 0; i < fields.size(); ++i) {
        if (places.at(i) == '\0') {
            FUZZ_CHECK(fields.at(i).size() == 1);
        } else {
            FUZZ_CHECK(!fields.at(i).isEmpty());
            FUZZ_CHECK(!fields.at(i).contains(places.at(i)));
        }
    }
}

void onProgress(quint8 percent)
{
    FUZZ_CHECK(percent <= 100);
    if (percent != 0)
        FUZZ_CHECK(percent >= harness.lastProgress);
    harness.lastProgress = percent;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static int qtArgc = 1;
    static char *qtArgv[] = {(*argv)[0], nullptr};
    Q_UNUSED(argc);
    new QCoreApplication(qtArgc, qtArgv);

    harness.master = ::posix_openpt(O_RDWR | O_NOCTTY);
    FUZZ_CHECK(harness.master >= 0);
    FUZZ_CHECK(::grantpt(harness.master) == 0 && ::unlockpt(harness.master) == 0);
    FUZZ_CHECK(::fcntl(harness.master, F_SETFL, ::fcntl(harness.master, F_GETFL) | O_NONBLOCK) == 0);
    const char *name = ::ptsname(harness.master);
    FUZZ_CHECK(name != nullptr);
    harness.slavePath = QString::fromLocal8Bit(name);
    harness.slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    FUZZ_CHECK(harness.slave >= 0);

    harness.data = new Data;
    harness.exchange = new Exchange(nullptr, harness.data);
    harness.children = harness.exchange->children().size();
    QObject::connect(harness.exchange, &Exchange::sgGetSetting, harness.exchange, &onSetting);
    QObject::connect(harness.exchange, &Exchange::sgSetProgres, harness.exchange, &onProgress);
    QObject::connect(harness.exchange, &Exchange::sgPortLost, harness.exchange,
                     [](const QString &) { FUZZ_CHECK(!"the engine gave up a working line"); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    Exchange *exchange = harness.exchange;
    ::tcflush(harness.slave, TCIOFLUSH);
    drainMaster();
    harness.lastProgress = -1;
    harness.sent.clear();

    FUZZ_CHECK(exchange->openPort(harness.slavePath));
    FUZZ_CHECK(harness.lastProgress == 0);
    // The port writes from the event loop.
    QElapsedTimer clock;
    clock.start();
    while (harness.sent.isEmpty() && clock.elapsed() < deliveryLimitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        drainMaster();
    }
    FUZZ_CHECK(harness.sent == "$2");

    size_t at = 0;
    while (at < size && harness.lastProgress != 100) {
        const uint8_t header = bytes[at++];
        if (header == readAllByte) {
            exchange->GetAllSettings();
            FUZZ_CHECK(harness.lastProgress == 0);
            continue;
        }
        const int length = int(qMin<size_t>(header, size - at));
        const int expected = pendingInput() + length;
        writeToLine(reinterpret_cast<const char *>(bytes + at), length);
        at += size_t(length);
        deliver(expected);
    }

    FUZZ_CHECK(!exchange->openPort(harness.slavePath));
    // The dropped transactions are deleted once control is back in the event
    // loop; none may outlive that.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    FUZZ_CHECK(exchange->children().size() == harness.children);
    return 0;
}
