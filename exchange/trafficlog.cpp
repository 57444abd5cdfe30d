#include "trafficlog.h"

#include "exchange.h"

#include <QDateTime>

namespace {
constexpr qint64 minuteMs = 60 * 1000;
constexpr qint64 dayMs = 24 * 60 * minuteMs;
} // namespace

TrafficLog::TrafficLog(QObject *parent)
    : QObject(parent)
{
}

void TrafficLog::follow(const Exchange *exchange)
{
    connect(exchange, &Exchange::sgSent, this, [this](const QByteArray &bytes) { addLine(Sent, escaped(bytes)); });
    connect(exchange, &Exchange::sgAnswer, this,
            [this](TypeParser, const QByteArray &, const QByteArray &answer, int) { addLine(Answer, escaped(answer)); });
    connect(exchange, &Exchange::sgNoAnswer, this, [this](TypeParser, const QByteArray &request) {
        addLine(Event, QStringLiteral("no answer: ") + escaped(request));
    });
    connect(exchange, &Exchange::sgUnexpected, this, [this](const QByteArray &bytes) {
        addLine(Event, QStringLiteral("unexpected: ") + escaped(bytes));
    });
    connect(exchange, &Exchange::sgPortOpened, this,
            [this](const QString &portName) {
                connectedPort = portName;
                addLine(Event, QStringLiteral("connected ") + portName);
            });
    connect(exchange, &Exchange::sgPortClosed, this, [this](const QString &portName, const QString &reason) {
        addLine(Event, reason.isEmpty() ? QStringLiteral("disconnected ") + portName
                                        : QStringLiteral("port lost %1: %2").arg(portName, reason));
    });
}

// hh:mm:ss.zzz of the local time. Asking for the local time costs more than
// the rest of a line, so the offset from UTC is looked up once a minute:
// offsets are whole minutes, and each minute's first line finds the new one.
QString TrafficLog::timeStamp()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now >= offsetUntil || now < offsetUntil - minuteMs) {
        offsetMs = QDateTime::fromMSecsSinceEpoch(now).offsetFromUtc() * qint64(1000);
        offsetUntil = now - now % minuteMs + minuteMs;
    }
    qint64 ms = (now + offsetMs) % dayMs;
    if (ms < 0)
        ms += dayMs;
    char text[12];
    const qint64 parts[] = {ms / 3600000, ms / 60000 % 60, ms / 1000 % 60};
    for (int i = 0; i < 3; ++i) {
        text[i * 3] = char('0' + parts[i] / 10);
        text[i * 3 + 1] = char('0' + parts[i] % 10);
        text[i * 3 + 2] = i < 2 ? ':' : '.';
    }
    ms %= 1000;
    text[9] = char('0' + ms / 100);
    text[10] = char('0' + ms / 10 % 10);
    text[11] = char('0' + ms % 10);
    return QString::fromLatin1(text, 12);
}

void TrafficLog::addLine(Mark mark, const QString &text)
{
    QString line = timeStamp();
    line.reserve(line.size() + 3 + text.size());
    line += QLatin1Char(' ');
    line += QLatin1Char(char(mark));
    line += QLatin1Char(' ');
    line += text;
    if (ring.size() < capacity) {
        ring.append(line);
    } else {
        ring[oldest] = line;
        oldest = (oldest + 1) % capacity;
    }
    emit lineAdded(line);
}

QStringList TrafficLog::lines() const
{
    QStringList out;
    out.reserve(ring.size());
    for (int i = 0; i < ring.size(); ++i)
        out.append(ring.at((oldest + i) % ring.size()));
    return out;
}

void TrafficLog::clear()
{
    ring.clear();
    oldest = 0;
    emit cleared();
}

QString TrafficLog::escaped(const QByteArray &bytes)
{
    static const char hex[] = "0123456789abcdef";
    QString out;
    out.reserve(bytes.size() + 4);
    for (const char byte : bytes) {
        const auto c = uchar(byte);
        switch (c) {
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        default:
            if (c < 0x20 || c >= 0x7f) {
                out += QLatin1String("\\x");
                out += QLatin1Char(hex[c >> 4]);
                out += QLatin1Char(hex[c & 15]);
            } else {
                out += QLatin1Char(byte);
            }
        }
    }
    return out;
}
