// Runs the connect-time read of every setting against the device emulator and
// compares the time it takes with the time its bytes need on a 9600 baud line
// (ten bits per byte, requests and answers). The engine itself must add no
// waiting: with wire-speed pacing the sequence stays within a few percent of
// the wire time, without pacing it takes a few milliseconds. Every run is made
// twice, without and with a traffic log recording it: the log must keep the
// paced sequence within 5 % of its time without the log.

#include "data.h"
#include "emulator.h"
#include "exchange.h"
#include "trafficlog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

namespace {

struct Run
{
    bool ok = false;
    // From progress 0, when the first request is written, to progress 100.
    double sequenceMs = 0;
    // From the call of openPort, so including the opening of the port.
    double openToEndMs = 0;
    double wireMs = 0;
    int requests = 0;
    qint64 bytes = 0;
    // From the read that completed an answer to the next request leaving the
    // port: the engine's own share of the sequence time.
    double turnaroundMs = 0;
};

Run runOnce(bool pacing, bool withLog)
{
    Run run;
    Emulator emulator;
    QString error;
    if (!emulator.open(&error)) {
        QTextStream(stderr) << "emulator: " << error << '\n';
        return run;
    }
    emulator.setPacing(pacing);

    Data data;
    Exchange exchange(nullptr, &data);
    TrafficLog log;
    if (withLog)
        log.follow(&exchange);
    qint64 bytes = 0;
    QObject::connect(&emulator, &Emulator::requestReceived, &exchange,
                     [&](const QByteArray &request) { bytes += request.size(); });
    QObject::connect(&emulator, &Emulator::answered, &exchange,
                     [&](const QByteArray &, const QByteArray &answer) { bytes += answer.size(); });

    QEventLoop loop;
    QElapsedTimer clock;
    // Connected after the engine's own handler, so it runs once the engine has
    // dealt with the bytes.
    qint64 readNs = -1;
    qint64 turnaroundNs = 0;
    auto *port = exchange.findChild<QSerialPort *>();
    QObject::connect(port, &QSerialPort::readyRead, &loop, [&] { readNs = clock.nsecsElapsed(); });
    QObject::connect(port, &QSerialPort::bytesWritten, &loop, [&] {
        if (readNs >= 0)
            turnaroundNs += clock.nsecsElapsed() - readNs;
        readNs = -1;
    });
    qint64 startNs = -1;
    qint64 endNs = -1;
    QObject::connect(&exchange, &Exchange::sgSetProgres, &loop, [&](quint8 percent) {
        if (percent == 0)
            startNs = clock.nsecsElapsed();
        if (percent == 100) {
            endNs = clock.nsecsElapsed();
            loop.quit();
        }
    });
    QObject::connect(&exchange, &Exchange::sgError, &loop, [&](const QByteArray &request) {
        QTextStream(stderr) << "no answer to " << request.toPercentEncoding() << '\n';
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);

    clock.start();
    if (!exchange.openPort(emulator.portName())) {
        QTextStream(stderr) << "cannot open " << emulator.portName() << '\n';
        return run;
    }
    loop.exec();
    if (endNs < 0 || (withLog && log.size() < 2 * emulator.requests().size()))
        return run;

    run.ok = true;
    run.sequenceMs = (endNs - startNs) / 1e6;
    run.openToEndMs = endNs / 1e6;
    run.bytes = bytes;
    run.wireMs = bytes * 10 * 1000.0 / 9600;
    run.requests = emulator.requests().size();
    run.turnaroundMs = turnaroundNs / 1e6;
    return run;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int rounds = 7;
    bool withinLimits = true;

    for (const bool pacing : {true, false}) {
        double withoutLogMs = 0;
        for (const bool withLog : {false, true}) {
            QList<double> sequence;
            QList<double> openToEnd;
            QList<double> turnaround;
            Run last;
            for (int i = 0; i < rounds; ++i) {
                last = runOnce(pacing, withLog);
                if (!last.ok) {
                    out << "read-all did not finish\n";
                    return 1;
                }
                sequence.append(last.sequenceMs);
                turnaround.append(last.turnaroundMs);
                openToEnd.append(last.openToEndMs);
            }
            const double sequenceMs = median(sequence);
            const double best = *std::min_element(sequence.cbegin(), sequence.cend());
            const double worst = *std::max_element(sequence.cbegin(), sequence.cend());
            out << (pacing ? "pacing on, " : "pacing off, ") << (withLog ? "traffic log:   " : "no traffic log:")
                << " sequence " << QString::number(sequenceMs, 'f', 1) << " ms (median of " << rounds << ", "
                << QString::number(best, 'f', 1) << " to " << QString::number(worst, 'f', 1) << "), wire "
                << QString::number(last.wireMs, 'f', 1) << " ms for " << last.bytes << " bytes in "
                << last.requests << " requests";
            if (pacing) {
                const double over = (sequenceMs - last.wireMs) * 100 / last.wireMs;
                out << ", " << QString::number(over, 'f', 1) << " % over the wire time";
                withinLimits = withinLimits && over <= 5.0;
            } else {
                withinLimits = withinLimits && sequenceMs < 20.0;
            }
            out << "; from openPort " << QString::number(median(openToEnd), 'f', 1)
                << " ms; engine turnaround " << QString::number(median(turnaround), 'f', 2) << " ms in all\n";
            if (!withLog) {
                withoutLogMs = sequenceMs;
                continue;
            }
            const double logCost = (sequenceMs - withoutLogMs) * 100 / withoutLogMs;
            out << "  the traffic log adds " << QString::number(logCost, 'f', 1) << " % to the sequence\n";
            // Without pacing the sequence lasts a few milliseconds and its
            // noise alone exceeds 5 %; the limit is for the line's own speed.
            if (pacing)
                withinLimits = withinLimits && logCost <= 5.0;
        }
    }
    out << (withinLimits ? "within limits\n" : "over the limits\n");
    return withinLimits ? 0 : 2;
}
