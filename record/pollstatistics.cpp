#include "pollstatistics.h"

#include "csv.h"

#include <QCoreApplication>
#include <QStringList>

QString PollStatistics::csvHeader()
{
    return QStringLiteral("address,polled,answered,percent,rtt_last_ms,rtt_mean_ms,rtt_max_ms,"
                          "port,first_poll,last_poll");
}

void PollStatistics::addPollTime(const QDateTime &sentAt)
{
    lastPoll = sentAt.isValid() ? sentAt : QDateTime::currentDateTime();
    if (!firstPoll.isValid())
        firstPoll = lastPoll;
}

void PollStatistics::addAnswered(int roundTripMs, const QDateTime &sentAt)
{
    addPollTime(sentAt);
    ++polledCount;
    ++answeredCount;
    if (roundTripMs < 0)
        return;
    ++timedCount;
    sumMs += roundTripMs;
    lastMs = roundTripMs;
    maxMs = qMax(maxMs, roundTripMs);
}

void PollStatistics::addUnanswered(const QDateTime &sentAt)
{
    addPollTime(sentAt);
    ++polledCount;
}

void PollStatistics::clear()
{
    *this = PollStatistics();
}

int PollStatistics::percent() const
{
    if (polledCount == 0)
        return 0;
    // Halves round up, in integers: 7 of 8 is 88.
    return int((qint64(answeredCount) * 200 + polledCount) / (qint64(polledCount) * 2));
}

int PollStatistics::meanRoundTripMs() const
{
    return timedCount == 0 ? -1 : int((sumMs * 2 + timedCount) / (qint64(timedCount) * 2));
}

QString PollStatistics::summary() const
{
    if (polledCount == 0)
        return QString();
    return QStringLiteral("%1/%2 %3%").arg(answeredCount).arg(polledCount).arg(percent());
}

QString PollStatistics::details() const
{
    if (polledCount == 0)
        return QString();
    const QString counts = QCoreApplication::translate("PollStatistics", "Answered %1 of %2 polls (%3%)")
                               .arg(answeredCount)
                               .arg(polledCount)
                               .arg(percent());
    const QString roundTrip = hasRoundTrip()
        ? QCoreApplication::translate("PollStatistics", "Round trip: last %1 ms, mean %2 ms, largest %3 ms")
              .arg(lastMs)
              .arg(meanRoundTripMs())
              .arg(maxMs)
        : QCoreApplication::translate("PollStatistics", "Round trip: none measured");
    return counts + QLatin1Char('\n') + roundTrip;
}

QString PollStatistics::csvLine(int address, const QString &port) const
{
    const auto cell = [](int ms) { return ms < 0 ? QString() : QString::number(ms); };
    // With the offset from UTC, so that the times are plain wherever read.
    const auto time = [](const QDateTime &t) {
        return t.isValid() ? t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODate) : QString();
    };
    // A port name with a comma or a quote is quoted.
    return Csv::line({QString::number(address), QString::number(polledCount), QString::number(answeredCount),
                      QString::number(percent()), cell(lastMs), cell(meanRoundTripMs()), cell(maxMs), port,
                      time(firstPoll), time(lastPoll)});
}

QByteArray PollStatistics::csvReport(const QList<QPair<int, PollStatistics>> &addresses, const QString &port)
{
    QStringList lines{csvHeader()};
    for (const auto &address : addresses) {
        if (address.second.polled() > 0)
            lines.append(address.second.csvLine(address.first, port));
    }
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}
