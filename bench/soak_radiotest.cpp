// Runs the radio stability test for a long time against the device emulator,
// in one process, and checks three things at the end: every poll was judged
// as the emulator really answered it (answered with the right "TEST" and
// address character within the poll's second: sgOk, otherwise sgTimeOut),
// the polls kept their one-second period, and the memory of the process did
// not grow once the first minute was over. A traffic log records the run, as
// the program's own does from its start; it is filled to its capacity before
// the test, so the memory watched is that of a full log dropping its oldest
// lines. A program, not a test: the exit code says whether the run stayed
// within those limits.

#include "data.h"
#include "devicemodel.h"
#include "emulator.h"
#include "exchange.h"
#include "trafficlog.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLoggingCategory>
#include <QStringList>
#include <QTextStream>
#include <QTimer>
#include <QVector>

#include <algorithm>
#include <cmath>

namespace {

constexpr double pollPeriodMs = 1000.0;
constexpr double periodLimitPercent = 1.0;
constexpr double memoryLimitPercent = 5.0;

struct Options
{
    qint64 durationMs = 10 * 60 * 1000;
    int lossPercent = 20;
    QByteArray addresses;
    QByteArray present;
    quint32 seed = 1;
    bool trafficLog = true;
};

// Only what is needed to judge a poll, so that the record of a long run adds
// next to nothing to the memory being watched.
struct Poll
{
    enum Answer : quint8 { NoAnswer, Right, Wrong, Late };
    enum Judgement : quint8 { NotJudged, Ok, TimeOut };

    char addressChar = 0;
    Answer answer = NoAnswer;
    Judgement judgement = NotJudged;
    bool heard = false;     // the emulator received the request
    qint64 sentNs = 0;
    qint64 arrivalNs = -1;  // when the answer's last byte reached the line
};

// Resident memory of this process in kB, -1 when it cannot be read.
qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (;;) {
        const QByteArray line = status.readLine();
        if (line.isEmpty())
            return -1;
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
}

bool parseAddressList(const QString &text, QByteArray *out)
{
    out->clear();
    for (const QString &item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int address = item.trimmed().toInt(&ok);
        if (!ok || address < 0 || address > 63)
            return false;
        out->append(char(address));
    }
    return true;
}

QString addressText(const QByteArray &addresses)
{
    QStringList items;
    for (const char address : addresses)
        items.append(QString::number(quint8(address)));
    return items.join(QLatin1Char(','));
}

bool parseOptions(const QCoreApplication &app, Options *options, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs the radio stability test against the device emulator and checks its judgements, "
        "its poll period and the memory of the process."));
    parser.addHelpOption();
    const QCommandLineOption minutes(QStringLiteral("minutes"), QStringLiteral("Minutes to run (10)."),
                                     QStringLiteral("M"));
    const QCommandLineOption seconds(QStringLiteral("seconds"),
                                     QStringLiteral("Seconds to run, added to --minutes when both are given."),
                                     QStringLiteral("S"));
    const QCommandLineOption loss(QStringLiteral("loss"),
                                  QStringLiteral("Percent of polls to present addresses left unanswered (20)."),
                                  QStringLiteral("P"));
    const QCommandLineOption addresses(QStringLiteral("addresses"),
                                       QStringLiteral("Addresses polled, 0..63 (1,2,...,10)."),
                                       QStringLiteral("LIST"));
    const QCommandLineOption present(QStringLiteral("present"),
                                     QStringLiteral("Addresses that answer (1,2,...,7)."), QStringLiteral("LIST"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed of the emulator's losses (1)."),
                                  QStringLiteral("N"));
    const QCommandLineOption noLog(QStringLiteral("no-traffic-log"),
                                   QStringLiteral("Run without the traffic log."));
    parser.addOptions({minutes, seconds, loss, addresses, present, seed, noLog});
    parser.process(app);

    options->trafficLog = !parser.isSet(noLog);
    bool ok = true;
    if (parser.isSet(minutes) || parser.isSet(seconds)) {
        double total = 0;
        if (parser.isSet(minutes))
            total += parser.value(minutes).toDouble(&ok) * 60;
        bool secondsOk = true;
        if (parser.isSet(seconds))
            total += parser.value(seconds).toDouble(&secondsOk);
        if (!ok || !secondsOk || total < 2 || total > 7 * 24 * 3600) {
            *error = QStringLiteral("the run must last from 2 seconds to a week");
            return false;
        }
        options->durationMs = qint64(total * 1000);
    }
    if (parser.isSet(loss)) {
        options->lossPercent = parser.value(loss).toInt(&ok);
        if (!ok || options->lossPercent < 0 || options->lossPercent > 100) {
            *error = QStringLiteral("--loss takes a percent from 0 to 100");
            return false;
        }
    }
    if (!parseAddressList(parser.value(addresses).isEmpty() ? QStringLiteral("1,2,3,4,5,6,7,8,9,10")
                                                               : parser.value(addresses),
                          &options->addresses)
        || options->addresses.isEmpty()) {
        *error = QStringLiteral("--addresses takes a list of addresses 0..63, such as 1,2,3");
        return false;
    }
    if (!parseAddressList(parser.isSet(present) ? parser.value(present) : QStringLiteral("1,2,3,4,5,6,7"),
                          &options->present)) {
        *error = QStringLiteral("--present takes a list of addresses 0..63, such as 1,2,3");
        return false;
    }
    if (parser.isSet(seed)) {
        options->seed = parser.value(seed).toUInt(&ok);
        if (!ok) {
            *error = QStringLiteral("--seed takes an unsigned number");
            return false;
        }
    }
    return true;
}

QString describeAnswer(const Poll &poll, const QByteArray &present)
{
    switch (poll.answer) {
    case Poll::Right:
        return QStringLiteral("answered TEST%1").arg(QLatin1Char(poll.addressChar));
    case Poll::Wrong:
        return QStringLiteral("answered something else");
    case Poll::Late:
        return QStringLiteral("answered after the poll's second");
    case Poll::NoAnswer:
        break;
    }
    if (!poll.heard)
        return QStringLiteral("never received the poll");
    return present.contains(char(poll.addressChar - 48)) ? QStringLiteral("answered nothing (lost)")
                                                          : QStringLiteral("answered nothing (absent address)");
}

QString percent(double value)
{
    return QString::number(value, 'f', 2) + QStringLiteral(" %");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("soak-radiotest"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    Options options;
    QString error;
    if (!parseOptions(app, &options, &error)) {
        err << "soak-radiotest: " << error << '\n';
        return 1;
    }
    // Every poll writes several debug lines; over hours they are only noise.
    // QT_LOGGING_RULES still switches them on.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));

    Emulator emulator;
    if (!emulator.open(&error)) {
        err << "emulator: " << error << '\n';
        return 1;
    }
    emulator.setPacing(true);
    emulator.device()->setPresentAddresses(options.present);
    emulator.device()->setLossPercent(options.lossPercent);
    emulator.device()->setRandomSeed(options.seed);

    Data data;
    Exchange exchange(nullptr, &data);
    TrafficLog trafficLog;
    if (options.trafficLog) {
        trafficLog.follow(&exchange);
        for (int i = 0; i < TrafficLog::capacity; ++i)
            trafficLog.addLine(i % 2 ? TrafficLog::Answer : TrafficLog::Sent,
                               TrafficLog::escaped(i % 2 ? "TEST1" : "!011"));
    }
    if (!exchange.openPort(emulator.portName())) {
        err << "cannot open " << emulator.portName() << '\n';
        return 1;
    }
    // Let the connect-time read-all finish before the test replaces it, as an
    // operator's "TEST" comes after connecting.
    {
        QEventLoop loop;
        bool readAllDone = false;
        const QMetaObject::Connection progress =
            QObject::connect(&exchange, &Exchange::sgSetProgres, &loop, [&](quint8 value) {
                if (value == 100) {
                    readAllDone = true;
                    loop.quit();
                }
            });
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        loop.exec();
        QObject::disconnect(progress);
        if (!readAllDone) {
            err << "the read-all after connecting did not finish\n";
            return 1;
        }
    }

    QVector<Poll> polls;
    polls.reserve(int(options.durationMs / 1000) + 16);
    int strayAnswers = 0;
    int strayJudgements = 0;
    int outOfOrder = 0;
    qint64 latestArrivalNs = 0;
    QElapsedTimer clock;

    auto current = [&](const QByteArray &request) -> Poll * {
        if (polls.isEmpty() || polls.last().judgement != Poll::NotJudged || request.size() != 4
            || request.at(3) != polls.last().addressChar)
            return nullptr;
        return &polls.last();
    };

    QObject::connect(&exchange, &Exchange::sgRequest, &app,
                     [&](quint8, TypeParser, const QByteArray &request) {
                         Poll poll;
                         poll.addressChar = request.size() == 4 ? request.at(3) : 0;
                         poll.sentNs = clock.nsecsElapsed();
                         const char expected = char(48 + options.addresses.at(polls.size() % options.addresses.size()));
                         if (!request.startsWith("!01") || poll.addressChar != expected)
                             ++outOfOrder;
                         polls.append(poll);
                     });
    QObject::connect(&emulator, &Emulator::answered, &app,
                     [&](const QByteArray &request, const QByteArray &bytes) {
                         // The emulator's own log of requests would grow for the
                         // whole run and be counted as the program's memory.
                         emulator.clearRequests();
                         if (!request.startsWith("!01"))
                             return;
                         Poll *poll = current(request);
                         if (!poll) {
                             ++strayAnswers;
                             return;
                         }
                         poll->heard = true;
                         if (bytes.isEmpty())
                             return;
                         // The signal comes when the request has arrived; with no
                         // faults set the answer goes out at once and needs only
                         // its own bytes' time on the line.
                         poll->arrivalNs = clock.nsecsElapsed() + bytes.size() * Emulator::byteTimeNs;
                         latestArrivalNs = qMax(latestArrivalNs, poll->arrivalNs - poll->sentNs);
                         if (bytes != "TEST" + QByteArray(1, poll->addressChar))
                             poll->answer = Poll::Wrong;
                         else if (poll->arrivalNs - poll->sentNs > qint64(pollPeriodMs * 1e6))
                             poll->answer = Poll::Late;
                         else
                             poll->answer = Poll::Right;
                     });
    auto judge = [&](const QByteArray &request, Poll::Judgement judgement) {
        Poll *poll = current(request);
        if (!poll) {
            ++strayJudgements;
            return;
        }
        poll->judgement = judgement;
    };
    QObject::connect(&exchange, &Exchange::sgOk, &app,
                     [&](quint8, TypeParser, const QByteArray &request) { judge(request, Poll::Ok); });
    QObject::connect(&exchange, &Exchange::sgTimeOut, &app,
                     [&](quint8, TypeParser, const QByteArray &request) { judge(request, Poll::TimeOut); });

    const qint64 checkpointMs = qMin<qint64>(60000, options.durationMs / 10);
    const qint64 startKb = residentKb();
    qint64 checkpointKb = -1;
    QTimer checkpoint;
    checkpoint.setSingleShot(true);
    qint64 loggedAtCheckpoint = 0;
    qint64 logged = 0;
    QObject::connect(&trafficLog, &TrafficLog::lineAdded, &app, [&] { ++logged; });
    QObject::connect(&checkpoint, &QTimer::timeout, &app, [&] {
        checkpointKb = residentKb();
        loggedAtCheckpoint = logged;
    });

    // A line now and then, so a long run shows that it is alive.
    QTimer progress;
    progress.setInterval(int(qMax<qint64>(checkpointMs, options.durationMs / 10)));
    QObject::connect(&progress, &QTimer::timeout, &app, [&] {
        out << QString::number(clock.elapsed() / 1000.0, 'f', 0) << " s: " << polls.size() << " polls, VmRSS "
            << residentKb() << " kB\n";
        out.flush();
    });

    QTimer end;
    end.setSingleShot(true);
    end.setTimerType(Qt::PreciseTimer);
    QObject::connect(&end, &QTimer::timeout, &app, [&] {
        exchange.clearParsers();
        app.quit();
    });

    out << "soak-radiotest: " << options.durationMs / 1000.0 << " s, addresses " << addressText(options.addresses)
        << ", present " << addressText(options.present) << ", loss " << options.lossPercent << " %, seed "
        << options.seed << ", wire-speed pacing, " << (options.trafficLog ? "traffic log" : "no traffic log")
        << '\n';
    out.flush();
    clock.start();
    checkpoint.start(int(checkpointMs));
    progress.start();
    end.start(int(options.durationMs));
    exchange.startTest(options.addresses);
    app.exec();
    const qint64 endKb = residentKb();

    // The poll in flight when the test stopped gets no judgement.
    const int judgedCount = polls.isEmpty() ? 0 : polls.size() - (polls.last().judgement == Poll::NotJudged ? 1 : 0);
    int okCount = 0;
    int timeOutCount = 0;
    int rightCount = 0;
    int lostCount = 0;
    int presentPolls = 0;
    QStringList differences;
    for (int i = 0; i < judgedCount; ++i) {
        const Poll &poll = polls.at(i);
        const bool isPresent = options.present.contains(char(poll.addressChar - 48));
        if (isPresent) {
            ++presentPolls;
            if (poll.answer == Poll::NoAnswer)
                ++lostCount;
        }
        if (poll.answer == Poll::Right)
            ++rightCount;
        if (poll.judgement == Poll::Ok)
            ++okCount;
        else if (poll.judgement == Poll::TimeOut)
            ++timeOutCount;
        const Poll::Judgement expected = poll.answer == Poll::Right ? Poll::Ok : Poll::TimeOut;
        if (poll.judgement == expected)
            continue;
        const QString judged = poll.judgement == Poll::Ok        ? QStringLiteral("sgOk")
                               : poll.judgement == Poll::TimeOut ? QStringLiteral("sgTimeOut")
                                                                 : QStringLiteral("no judgement");
        differences.append(QStringLiteral("poll %1 (address %2, sent at %3 s): %4, but the emulator %5")
                               .arg(i + 1)
                               .arg(quint8(poll.addressChar) - 48)
                               .arg(poll.sentNs / 1e9, 0, 'f', 3)
                               .arg(judged, describeAnswer(poll, options.present)));
    }

    double meanPeriodMs = 0;
    double minPeriodMs = 0;
    double maxPeriodMs = 0;
    if (polls.size() >= 2) {
        meanPeriodMs = (polls.last().sentNs - polls.first().sentNs) / 1e6 / (polls.size() - 1);
        minPeriodMs = 1e300;
        for (int i = 1; i < polls.size(); ++i) {
            const double period = (polls.at(i).sentNs - polls.at(i - 1).sentNs) / 1e6;
            minPeriodMs = std::min(minPeriodMs, period);
            maxPeriodMs = std::max(maxPeriodMs, period);
        }
    }
    const double periodDeviation = (meanPeriodMs - pollPeriodMs) * 100 / pollPeriodMs;
    const double memoryGrowth =
        checkpointKb > 0 && endKb > 0 ? (endKb - checkpointKb) * 100.0 / checkpointKb : 0;

    out << "polls: " << polls.size() << " sent, " << judgedCount << " judged, "
        << polls.size() - judgedCount << " in flight at the stop\n";
    out << "judged: " << okCount << " sgOk, " << timeOutCount << " sgTimeOut\n";
    out << "emulator: " << rightCount << " answered in time, " << lostCount << " of " << presentPolls
        << " polls to present addresses lost ("
        << percent(presentPolls ? lostCount * 100.0 / presentPolls : 0) << "), latest answer "
        << QString::number(latestArrivalNs / 1e6, 'f', 1) << " ms after its poll\n";
    out << "judgements differing from the emulator's answers: " << differences.size() << '\n';
    for (const QString &line : differences)
        out << "  " << line << '\n';
    out << "judgements for no poll in flight: " << strayJudgements << ", answers to no poll in flight: "
        << strayAnswers << ", polls out of list order: " << outOfOrder << '\n';
    out << "poll period: mean " << QString::number(meanPeriodMs, 'f', 3) << " ms (" << QString::number(minPeriodMs, 'f', 3)
        << " to " << QString::number(maxPeriodMs, 'f', 3) << "), " << percent(periodDeviation)
        << " off 1000 ms\n";
    if (options.trafficLog) {
        out << "traffic log: " << trafficLog.size() << " lines kept (full from the start), " << logged
            << " recorded during the test, " << logged - loggedAtCheckpoint << " of them since the checkpoint\n";
    }
    out << "VmRSS: " << startKb << " kB at start, " << checkpointKb << " kB after "
        << QString::number(checkpointMs / 1000.0, 'f', 0) << " s, " << endKb << " kB at the end; "
        << percent(memoryGrowth) << " since " << QString::number(checkpointMs / 1000.0, 'f', 0) << " s\n";

    QStringList failures;
    if (polls.size() < 2)
        failures.append(QStringLiteral("too few polls"));
    if (!differences.isEmpty() || strayJudgements > 0 || strayAnswers > 0 || outOfOrder > 0)
        failures.append(QStringLiteral("judgements"));
    if (std::fabs(periodDeviation) > periodLimitPercent)
        failures.append(QStringLiteral("poll period"));
    if (startKb < 0 || checkpointKb < 0 || endKb < 0)
        failures.append(QStringLiteral("memory not readable"));
    else if (memoryGrowth > memoryLimitPercent)
        failures.append(QStringLiteral("memory growth"));
    if (options.trafficLog && (trafficLog.size() != TrafficLog::capacity || logged < polls.size()))
        failures.append(QStringLiteral("traffic log"));
    out << (failures.isEmpty() ? QStringLiteral("within limits") : QStringLiteral("over the limits: ") + failures.join(QStringLiteral(", ")))
        << '\n';
    return failures.isEmpty() ? 0 : 2;
}
