#include "requestframer.h"

#include <cstring>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Numeric fields of the RS-485 record hold one byte's value: up to 3 digits.
const int maxFieldDigits = 3;

} // namespace

QList<QByteArray> RequestFramer::feed(const QByteArray &bytes)
{
    buffer.append(bytes);
    QList<QByteArray> requests;
    while (!buffer.isEmpty()) {
        int length = 0;
        const Verdict verdict = classify(&length);
        if (verdict == Verdict::NeedMore)
            break;
        if (verdict == Verdict::Complete) {
            requests.append(buffer.left(length));
            buffer.remove(0, length);
        } else {
            droppedBytes.append(buffer.at(0));
            buffer.remove(0, 1);
        }
    }
    return requests;
}

QByteArray RequestFramer::pending() const
{
    return buffer;
}

QByteArray RequestFramer::dropped() const
{
    return droppedBytes;
}

QByteArray RequestFramer::takeDropped()
{
    QByteArray bytes;
    bytes.swap(droppedBytes);
    return bytes;
}

void RequestFramer::clear()
{
    buffer.clear();
    droppedBytes.clear();
}

RequestFramer::Verdict RequestFramer::classify(int *length) const
{
    switch (buffer.at(0)) {
    case '$':
        if (buffer.size() < 2)
            return Verdict::NeedMore;
        switch (buffer.at(1)) {
        case '0':
            return classifyRecord(length);
        case '1':
        case '2':
            *length = 2;
            return Verdict::Complete;
        case '3':
            if (buffer.size() < 3)
                return Verdict::NeedMore;
            if (!isDigit(buffer.at(2)))
                return Verdict::Invalid;
            *length = 3;
            return Verdict::Complete;
        default:
            return Verdict::Invalid;
        }
    case '+':
        return classifyFixed("+++", length);
    case 'X':
        return classifyFixed("XMwn\r", length);
    case '!': {
        const Verdict head = classifyFixed("!01", length);
        if (head != Verdict::Complete)
            return head;
        if (buffer.size() < 4)
            return Verdict::NeedMore;
        *length = 4;
        return Verdict::Complete;
    }
    case 'A':
        if (buffer.size() < 2)
            return Verdict::NeedMore;
        if (buffer.at(1) != 'T')
            return Verdict::Invalid;
        for (int i = 2; i < buffer.size(); ++i) {
            const char c = buffer.at(i);
            if (c == '\r') {
                *length = i + 1;
                return Verdict::Complete;
            }
            if (quint8(c) < 0x20 || c == 0x7f || i + 1 >= maxAtLength)
                return Verdict::Invalid;
        }
        return Verdict::NeedMore;
    default:
        return Verdict::Invalid;
    }
}

// "$0", the address character (any byte, ',' too), then ",", six numeric
// fields each followed by ",", and the one-digit stop-bit field that ends it.
RequestFramer::Verdict RequestFramer::classifyRecord(int *length) const
{
    const int size = buffer.size();
    int i = 3;
    if (size <= i)
        return Verdict::NeedMore;
    if (buffer.at(i) != ',')
        return Verdict::Invalid;
    ++i;
    for (int field = 0; field < 6; ++field) {
        int digits = 0;
        for (;; ++i) {
            if (i >= size)
                return Verdict::NeedMore;
            const char c = buffer.at(i);
            if (c == ',' && digits > 0)
                break;
            if (!isDigit(c) || ++digits > maxFieldDigits)
                return Verdict::Invalid;
        }
        ++i;
    }
    if (i >= size)
        return Verdict::NeedMore;
    if (!isDigit(buffer.at(i)))
        return Verdict::Invalid;
    *length = i + 1;
    return Verdict::Complete;
}

RequestFramer::Verdict RequestFramer::classifyFixed(const char *form, int *length) const
{
    const int formLength = int(std::strlen(form));
    const int compared = qMin(formLength, buffer.size());
    if (buffer.left(compared) != QByteArray(form, compared))
        return Verdict::Invalid;
    if (compared < formLength)
        return Verdict::NeedMore;
    *length = formLength;
    return Verdict::Complete;
}
