#include "emulator.h"

#include "devicemodel.h"
#include "emulatorlog.h"
#include "requestframer.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

void closeFd(int *fd)
{
    if (*fd >= 0) {
        ::close(*fd);
        *fd = -1;
    }
}

// The timer counts whole milliseconds. A paced byte is delivered when less
// than half a millisecond of its byte time remains, so each delivery is off
// by at most half a millisecond either way instead of always late, and since
// every byte has its own absolute deadline the errors do not add up.
constexpr qint64 pacingSlackNs = 500000;

} // namespace

Emulator::Emulator(QObject *parent)
    : QObject(parent)
    , model(std::make_unique<DeviceModel>())
    , framer(std::make_unique<RequestFramer>())
    , timer(new QTimer(this))
{
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, &Emulator::runDue);
    clock.start();
}

Emulator::~Emulator()
{
    closeLine();
}

bool Emulator::open(QString *error)
{
    if (isOpen())
        return true;
    auto fail = [&](const QString &reason) {
        if (error)
            *error = reason;
        qCWarning(lcEmulator) << "cannot create the pseudo-terminal:" << reason;
        closeFd(&slaveFd);
        closeFd(&masterFd);
        return false;
    };

    masterFd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (masterFd < 0)
        return fail(systemError("posix_openpt"));
    if (::grantpt(masterFd) != 0)
        return fail(systemError("grantpt"));
    if (::unlockpt(masterFd) != 0)
        return fail(systemError("unlockpt"));
    char name[128];
    if (::ptsname_r(masterFd, name, sizeof name) != 0)
        return fail(systemError("ptsname"));

    // The emulator keeps the serial side open itself: when the program closes
    // its port the master then sees no hang-up, which would otherwise make the
    // read notifier fire without end.
    slaveFd = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveFd < 0)
        return fail(systemError("open serial side"));
    termios tio;
    if (::tcgetattr(slaveFd, &tio) != 0)
        return fail(systemError("tcgetattr"));
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    if (::tcsetattr(slaveFd, TCSANOW, &tio) != 0)
        return fail(systemError("tcsetattr"));

    const int flags = ::fcntl(masterFd, F_GETFL);
    if (flags < 0 || ::fcntl(masterFd, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail(systemError("fcntl"));
    ::fcntl(masterFd, F_SETFD, FD_CLOEXEC);

    slavePath = QString::fromLocal8Bit(name);
    readNotifier = new QSocketNotifier(masterFd, QSocketNotifier::Read, this);
    connect(readNotifier, &QSocketNotifier::activated, this, &Emulator::readMaster);
    writeNotifier = new QSocketNotifier(masterFd, QSocketNotifier::Write, this);
    writeNotifier->setEnabled(false);
    connect(writeNotifier, &QSocketNotifier::activated, this, &Emulator::flushUnwritten);
    rxFreeNs = txFreeNs = now();
    qCDebug(lcEmulator) << "serving on" << slavePath;
    return true;
}

bool Emulator::isOpen() const
{
    return masterFd >= 0;
}

QString Emulator::portName() const
{
    return slavePath;
}

DeviceModel *Emulator::device() const
{
    return model.get();
}

QList<QByteArray> Emulator::requests() const
{
    return log;
}

void Emulator::clearRequests()
{
    log.clear();
}

void Emulator::addFault(const Fault &fault)
{
    faults.append(fault);
}

void Emulator::clearFaults()
{
    faults.clear();
}

void Emulator::setPacing(bool on)
{
    paced = on;
}

bool Emulator::pacing() const
{
    return paced;
}

void Emulator::hangUp()
{
    qCDebug(lcEmulator) << "hanging up" << slavePath;
    closeLine();
}

qint64 Emulator::now() const
{
    return clock.nsecsElapsed();
}

void Emulator::readMaster()
{
    QByteArray received;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(masterFd, buffer, sizeof buffer);
        if (n > 0) {
            received.append(buffer, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // Cannot happen while the emulator holds the serial side open; stop
        // listening rather than spin on a notifier that never quiets down.
        qCWarning(lcEmulator) << "reading the pseudo-terminal failed:"
                              << (n == 0 ? QStringLiteral("end of file") : systemError("read"));
        readNotifier->setEnabled(false);
        break;
    }
    if (!received.isEmpty())
        receive(received);
}

// Paced, each byte counts as received one byte time after the line was free
// for it; a request is taken when its last byte has been received.
void Emulator::receive(const QByteArray &bytes)
{
    if (!paced && incoming.isEmpty()) {
        frame(bytes);
        return;
    }
    const qint64 arrival = now();
    for (char c : bytes) {
        if (paced)
            rxFreeNs = qMax(arrival, rxFreeNs) + byteTimeNs;
        else
            rxFreeNs = qMax(arrival, incoming.isEmpty() ? arrival : incoming.last().dueNs);
        incoming.append({rxFreeNs, QByteArray(1, c), false});
    }
    rearm();
}

void Emulator::frame(const QByteArray &bytes)
{
    const QList<QByteArray> requests = framer->feed(bytes);
    const QByteArray dropped = framer->takeDropped();
    if (!dropped.isEmpty())
        qCDebug(lcEmulator) << "dropped" << dropped;
    for (const QByteArray &request : requests) {
        handleRequest(request);
        if (!isOpen())
            return;
    }
}

void Emulator::handleRequest(const QByteArray &request)
{
    log.append(request);
    qCDebug(lcEmulator) << "request" << request;
    // Announced before it is answered, so a test can still change the device
    // or add a fault for this very request.
    emit requestReceived(request);
    if (!isOpen())
        return;

    const QByteArray answer = model->answer(request);
    Fault fault;
    const bool faulty = takeFault(request, &fault);
    // Paced, the answer follows the request's last byte on the line's own
    // clock, however early or late the timer delivered that byte.
    const qint64 base = paced && incoming.isEmpty() ? rxFreeNs : now();
    const qint64 due = base + qint64(qMax(0, fault.delayMs)) * 1000000;

    if (faulty && (fault.silent || fault.hangUp)) {
        qCDebug(lcEmulator) << "answer" << request << (fault.hangUp ? "hang-up" : "withheld");
        emit answered(request, QByteArray());
        if (fault.hangUp && isOpen()) {
            enqueue(&outgoing, {due, QByteArray(), true});
            rearm();
        }
        return;
    }

    const QByteArray body = fault.replaceWith.isEmpty() ? answer : fault.replaceWith;
    qCDebug(lcEmulator) << "answer" << request << fault.noise + body;
    emit answered(request, fault.noise + body);
    if (!isOpen() || (fault.noise.isEmpty() && body.isEmpty()))
        return;

    if (!fault.noise.isEmpty())
        enqueue(&outgoing, {due, fault.noise, false});
    const int pieces = qBound(1, fault.splitInto, qMax(1, body.size()));
    int start = 0;
    for (int i = 0; i < pieces; ++i) {
        const int end = body.size() * (i + 1) / pieces;
        enqueue(&outgoing, {due + qint64(i) * splitGapMs * 1000000, body.mid(start, end - start),
                            false});
        start = end;
    }
    rearm();
}

// The first fault that matches the request applies, and one of its times is
// used up.
bool Emulator::takeFault(const QByteArray &request, Fault *fault)
{
    for (int i = 0; i < faults.size(); ++i) {
        Fault &candidate = faults[i];
        if (candidate.times == 0 || !request.startsWith(candidate.match))
            continue;
        *fault = candidate;
        if (candidate.times > 0 && --candidate.times == 0)
            faults.removeAt(i);
        return true;
    }
    return false;
}

void Emulator::enqueue(QList<Chunk> *queue, const Chunk &chunk)
{
    auto at = queue->end();
    while (at != queue->begin() && (at - 1)->dueNs > chunk.dueNs)
        --at;
    queue->insert(at, chunk);
}

void Emulator::runDue()
{
    const qint64 t = now();
    // Answers held back by a fault are never sent early; only the paced line
    // has slack.
    const qint64 lineT = paced ? t + pacingSlackNs : t;

    QByteArray received;
    while (!incoming.isEmpty() && incoming.first().dueNs <= lineT)
        received.append(incoming.takeFirst().bytes);
    if (!received.isEmpty()) {
        frame(received);
        if (!isOpen())
            return;
    }

    while (!outgoing.isEmpty() && outgoing.first().dueNs <= t) {
        const Chunk chunk = outgoing.takeFirst();
        if (chunk.hangUp) {
            hangUp();
            return;
        }
        if (!paced) {
            send(chunk.bytes);
            continue;
        }
        // The line carries one byte at a time: each is delivered when its
        // last bit would have arrived.
        for (char c : chunk.bytes) {
            txFreeNs = qMax(chunk.dueNs, txFreeNs) + byteTimeNs;
            onWire.append({txFreeNs, QByteArray(1, c), false});
        }
    }

    QByteArray delivered;
    while (!onWire.isEmpty() && onWire.first().dueNs <= lineT)
        delivered.append(onWire.takeFirst().bytes);
    if (!delivered.isEmpty())
        send(delivered);

    rearm();
}

// Wakes at the first moment runDue() has something to deliver, rounded up to
// the timer's whole milliseconds; with the slack of the paced line that is
// the nearest millisecond to a byte's deadline.
void Emulator::rearm()
{
    const qint64 slack = paced ? pacingSlackNs : 0;
    qint64 next = -1;
    auto consider = [&next](const QList<Chunk> &queue, qint64 early) {
        if (!queue.isEmpty() && (next < 0 || queue.first().dueNs - early < next))
            next = queue.first().dueNs - early;
    };
    consider(incoming, slack);
    consider(outgoing, 0);
    consider(onWire, slack);
    if (next < 0) {
        timer->stop();
        return;
    }
    const qint64 wait = next - now();
    timer->start(wait <= 0 ? 0 : int((wait + 999999) / 1000000));
}

void Emulator::send(const QByteArray &bytes)
{
    if (!isOpen())
        return;
    unwritten.append(bytes);
    flushUnwritten();
}

void Emulator::flushUnwritten()
{
    while (!unwritten.isEmpty()) {
        const ssize_t n = ::write(masterFd, unwritten.constData(), size_t(unwritten.size()));
        if (n > 0) {
            unwritten.remove(0, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            writeNotifier->setEnabled(true);
            return;
        }
        qCWarning(lcEmulator) << "writing the pseudo-terminal failed:" << systemError("write");
        unwritten.clear();
        break;
    }
    writeNotifier->setEnabled(false);
}

// May run inside a notifier's own activation (a request that hangs up), so
// the notifiers are disabled at once and deleted later.
void Emulator::closeLine()
{
    for (QSocketNotifier **notifier : {&readNotifier, &writeNotifier}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            (*notifier)->deleteLater();
            *notifier = nullptr;
        }
    }
    closeFd(&masterFd);
    closeFd(&slaveFd);
    timer->stop();
    incoming.clear();
    outgoing.clear();
    onWire.clear();
    unwritten.clear();
    framer->clear();
}
