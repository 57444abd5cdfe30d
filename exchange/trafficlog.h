#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

class Exchange;

// What went over the serial line and what happened to the port, one line per
// event: the time (hh:mm:ss.zzz), a mark and the text. ">" marks bytes sent,
// "<" an answer the exchange accepted, "!" everything else. Bytes are written
// with control and non-ASCII bytes as C escapes. Only the newest `capacity`
// lines are kept, so a radio test left running overnight cannot exhaust
// memory.
class TrafficLog : public QObject
{
    Q_OBJECT

public:
    static constexpr int capacity = 10000;
    enum Mark : char { Sent = '>', Answer = '<', Event = '!' };

    explicit TrafficLog(QObject *parent = nullptr);

    // Records the exchange's traffic and port events from now on.
    void follow(const Exchange *exchange);

    void addLine(Mark mark, const QString &text);
    // The lines kept, oldest first.
    QStringList lines() const;
    int size() const { return ring.size(); }
    void clear();
    // The port connected last; empty before the first connection.
    QString lastPort() const { return connectedPort; }

    // `\r`, `\n`, `\t`, `\\` and `\xNN` for every other control or
    // non-ASCII byte.
    static QString escaped(const QByteArray &bytes);

signals:
    void lineAdded(const QString &line);
    void cleared();

private:
    QString timeStamp();

    QVector<QString> ring;
    QString connectedPort;
    // Index of the oldest line once the ring is full.
    int oldest = 0;
    // The local time's offset from UTC, valid until offsetUntil (UTC).
    qint64 offsetMs = 0;
    qint64 offsetUntil = 0;
};
