#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

// The judged polls of one address since the radio test started or was
// cleaned, and the round trips of their answers in milliseconds.
class PollStatistics
{
public:
    // The first line of a report; csvLine() gives the lines that follow it.
    static QString csvHeader();

    // `roundTripMs` is that of the poll's answer, -1 when not known;
    // `sentAt` when the poll was sent, the time of the call when not known.
    void addAnswered(int roundTripMs, const QDateTime &sentAt = QDateTime());
    void addUnanswered(const QDateTime &sentAt = QDateTime());
    void clear();

    int polled() const { return polledCount; }
    int answered() const { return answeredCount; }
    // Answered polls in percent of those polled, rounded to the nearest.
    int percent() const;
    bool hasRoundTrip() const { return timedCount > 0; }
    int lastRoundTripMs() const { return lastMs; }
    int meanRoundTripMs() const;
    int maxRoundTripMs() const { return maxMs; }

    // "answered/polled percent%", empty before the first judged poll.
    QString summary() const;
    // The counts and the round trips in words; empty before the first
    // judged poll.
    QString details() const;
    // Ends with the port and the first and last poll's date and time.
    QString csvLine(int address, const QString &port) const;
    // The radio test's report on a port: the header, then a line for each
    // address that was polled, in the order given, each line ended by a
    // newline.
    static QByteArray csvReport(const QList<QPair<int, PollStatistics>> &addresses, const QString &port);

private:
    void addPollTime(const QDateTime &sentAt);

    int polledCount = 0;
    QDateTime firstPoll;
    QDateTime lastPoll;
    int answeredCount = 0;
    // Answers whose round trip is known.
    int timedCount = 0;
    qint64 sumMs = 0;
    int lastMs = -1;
    int maxMs = -1;
};
