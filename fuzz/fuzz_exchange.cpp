// The exchange engine in a read-all while arbitrary bytes arrive on its port,
// a pseudo-terminal. Input: reads, each a length byte and that many bytes,
// written once the previous one is off the line; 0xFF asks for every setting
// again. A setting comes only with the fields its catalogue row promises, the
// progress never goes back, the line is never given up, no transaction outlives it.

#include "catalogue.h"
#include "exchange.h"
#include "fuzzcheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdint>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {
Exchange *exchange = nullptr;
int master = -1;
// Held open: the line stays up between runs, its input can be measured.
int slave = -1;
int lastProgress = -1;

int pendingInput()
{
    int count = 0;
    FUZZ_CHECK(::ioctl(slave, FIONREAD, &count) == 0);
    return count;
}

// Turns the event loop (or waits for the kernel) until `done`, reading away
// what the engine writes; only a stalled engine takes two seconds.
template<typename Done>
void runUntil(Done done, bool turnLoop = true)
{
    QElapsedTimer clock;
    clock.start();
    char sent[512];
    do {
        if (turnLoop)
            QCoreApplication::processEvents();
        while (::read(master, sent, sizeof sent) > 0) {
        }
    } while (!done() && clock.elapsed() < 2000);
    FUZZ_CHECK(done());
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***argv)
{
    static int argc = 1;
    new QCoreApplication(argc, *argv);
    master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    FUZZ_CHECK(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY | O_NONBLOCK);
    FUZZ_CHECK(slave >= 0);

    // The read-all needs no record.
    exchange = new Exchange(nullptr, nullptr);
    QObject::connect(exchange, &Exchange::sgGetSetting, [](TypeParser type, const QList<QByteArray> &fields) {
        FUZZ_CHECK(Catalogue::contains(type) && fields.size() == Catalogue::command(type).deliveredFields);
    });
    QObject::connect(exchange, &Exchange::sgSetProgres, [](quint8 percent) {
        FUZZ_CHECK(percent <= 100 && (percent == 0 || percent >= lastProgress));
        lastProgress = percent;
    });
    QObject::connect(exchange, &Exchange::sgPortLost, [] { FUZZ_CHECK(!"the line given up"); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const QString line = QString::fromLocal8Bit(::ptsname(master));
    const int children = exchange->children().size();
    ::tcflush(slave, TCIOFLUSH);
    FUZZ_CHECK(exchange->openPort(line) && lastProgress == 0);

    for (size_t at = 0; at < size && lastProgress != 100;) {
        const uint8_t header = bytes[at++];
        if (header == 0xFF) {
            exchange->GetAllSettings();
            FUZZ_CHECK(lastProgress == 0);
            continue;
        }
        const int length = int(qMin<size_t>(header, size - at));
        const int expected = pendingInput() + length;
        FUZZ_CHECK(::write(master, bytes + at, size_t(length)) == length);
        at += size_t(length);
        // The kernel moves them over; the engine reads all, awaited or not.
        runUntil([expected] { return pendingInput() >= expected; }, false);
        runUntil([] { return pendingInput() == 0; });
    }
    FUZZ_CHECK(!exchange->openPort(line));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    FUZZ_CHECK(exchange->children().size() == children);
    return 0;
}
