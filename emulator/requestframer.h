#pragma once

#include <QByteArray>
#include <QList>

// Cuts the byte stream from the program into requests. Most requests carry no
// line end, so each is recognised by its own form: "$1", "$2" (two bytes),
// "+++", "!01" with one address character, "$3" with one digit, "$0" with an
// eight-field record whose last field is one digit, and "AT..." and "XMwn"
// ended by "\r". A request is complete on its last byte; nothing waits for a
// pause on the line. Bytes that cannot begin a request are dropped one at a
// time, so a request that follows garbage is still found.
class RequestFramer
{
public:
    // Longest "AT" line taken before it is treated as garbage.
    static constexpr int maxAtLength = 40;

    QList<QByteArray> feed(const QByteArray &bytes);

    // The start of a request still waiting for its remaining bytes.
    QByteArray pending() const;
    // Bytes dropped since construction, clear() or takeDropped().
    QByteArray dropped() const;
    QByteArray takeDropped();
    void clear();

private:
    enum class Verdict { Complete, NeedMore, Invalid };

    // Whether buffer starts with a request; on Complete, length is its size.
    Verdict classify(int *length) const;
    Verdict classifyRecord(int *length) const;
    Verdict classifyFixed(const char *form, int *length) const;

    QByteArray buffer;
    QByteArray droppedBytes;
};
