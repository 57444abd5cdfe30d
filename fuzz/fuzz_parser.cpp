// The answer matcher against every template of the catalogue, fed arbitrary
// bytes in arbitrary reads.
//
// Input: a kind byte (taken modulo 23), an address byte (the test address when
// the kind is E_Test), then reads: a length byte and that many bytes, or 0xFF
// for a re-send of the request, which discards any partial answer.
//
// The same reads go to three transactions: one gets each read whole as the
// engine would pass it, one gets the bytes one at a time and ignores the rest
// of a read once an answer is complete (as the engine does), and one gets
// every byte up to the first re-send in a single call. They must agree, and
// every completed answer must be the template with its fields put in place,
// found at the end of the bytes received since the previous answer.

#include "data.h"
#include "exchange.h"
#include "fuzzcheck.h"
#include "parser.h"

#include <QCoreApplication>
#include <QVector>

#include <cstddef>
#include <cstdint>

namespace {

constexpr int kindCount = 23;
constexpr uint8_t resendByte = 0xFF;

QVector<ParserParam> catalogue;
QVector<ParserParam> testEntries;

// A capture group as the matcher walks it: a run of '0' positions of a fixed
// length, or one 'X' run closed by the template byte after it.
struct Group
{
    int position;
    int length;
    bool run;
};

QVector<Group> groupsOf(const ParserParam &param)
{
    const QByteArray &mask = param.mask;
    FUZZ_CHECK(mask.size() == param.answer.size());
    FUZZ_CHECK(!mask.isEmpty() && mask.size() < 256);
    QVector<Group> groups;
    for (int i = 0; i < mask.size();) {
        const char m = mask.at(i);
        FUZZ_CHECK(m == '1' || m == '0' || m == 'X');
        if (m == '1') {
            ++i;
        } else if (m == 'X') {
            // The run's terminator is a literal of the template, so the
            // group is closed by it and the next capture starts a new field.
            FUZZ_CHECK(i + 1 < mask.size() && mask.at(i + 1) == '1');
            groups.append({i, 1, true});
            i += 2;
        } else {
            int length = 0;
            while (i + length < mask.size() && mask.at(i + length) == '0')
                ++length;
            // A '0' run followed directly by an 'X' would share its field.
            FUZZ_CHECK(i + length == mask.size() || mask.at(i + length) == '1');
            groups.append({i, length, false});
            i += length;
        }
    }
    return groups;
}

// Whether the template with `fields` in its capture places (an 'X' run may be
// empty and then has no field) is a suffix of `segment`.
bool rendersInto(const ParserParam &param, int position, int field,
                 const QList<QByteArray> &fields, QByteArray &rendered,
                 const QByteArray &segment)
{
    const QByteArray &mask = param.mask;
    const QByteArray &answer = param.answer;
    if (position >= mask.size())
        return field == fields.size() && segment.endsWith(rendered);
    if (rendered.size() > segment.size())
        return false;

    const char m = mask.at(position);
    if (m == '1') {
        rendered.append(answer.at(position));
        const bool found = rendersInto(param, position + 1, field, fields, rendered, segment);
        rendered.chop(1);
        return found;
    }
    if (m == '0') {
        int length = 0;
        while (position + length < mask.size() && mask.at(position + length) == '0')
            ++length;
        if (field >= fields.size() || fields.at(field).size() != length)
            return false;
        rendered.append(fields.at(field));
        const bool found = rendersInto(param, position + length, field + 1, fields, rendered, segment);
        rendered.chop(length);
        return found;
    }

    const char terminator = answer.at(position + 1);
    rendered.append(terminator);
    bool found = rendersInto(param, position + 2, field, fields, rendered, segment);
    rendered.chop(1);
    if (found)
        return true;
    if (field >= fields.size() || fields.at(field).isEmpty() || fields.at(field).contains(terminator))
        return false;
    const QByteArray run = fields.at(field) + terminator;
    rendered.append(run);
    found = rendersInto(param, position + 2, field + 1, fields, rendered, segment);
    rendered.chop(run.size());
    return found;
}

void checkAnswer(const ParserParam &param, const QVector<Group> &groups,
                 const QList<QByteArray> &fields, const QByteArray &segment)
{
    FUZZ_CHECK(fields.size() <= groups.size());
    int fixedGroups = 0;
    for (const Group &group : groups)
        fixedGroups += group.run ? 0 : 1;
    // Without 'X' runs every group yields its field.
    if (fixedGroups == groups.size())
        FUZZ_CHECK(fields.size() == groups.size());
    FUZZ_CHECK(fields.size() >= fixedGroups);
    QByteArray rendered;
    FUZZ_CHECK(rendersInto(param, 0, 0, fields, rendered, segment));
}

const QList<QByteArray> untouched{QByteArrayLiteral("untouched")};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static int qtArgc = 1;
    static char *qtArgv[] = {(*argv)[0], nullptr};
    Q_UNUSED(argc);
    new QCoreApplication(qtArgc, qtArgv);

    Data data;
    Exchange exchange(nullptr, &data);
    for (int kind = 0; kind < kindCount; ++kind)
        catalogue.append(exchange.getParserParam(TypeParser(kind), QString()));
    // The test entry takes its address from the engine's test list.
    for (int address = 0; address < 256; ++address) {
        exchange.startTest(QByteArray(1, char(address)));
        testEntries.append(exchange.getParserParam(E_Test, QString()));
        exchange.clearParsers();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    for (const ParserParam &param : qAsConst(catalogue))
        groupsOf(param);
    for (const ParserParam &param : qAsConst(testEntries))
        FUZZ_CHECK(groupsOf(param).isEmpty());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    if (size < 2)
        return 0;
    const int kind = bytes[0] % kindCount;
    const ParserParam &param = kind == E_Test ? testEntries.at(bytes[1]) : catalogue.at(kind);
    const QVector<Group> groups = groupsOf(param);

    Parser whole(nullptr, param);
    Parser byByte(nullptr, param);

    // Everything byByte was fed, and where its last answer ended.
    QByteArray fed;
    int answerEnd = 0;
    bool answered = false;
    QByteArray beforeResend;
    bool resent = false;
    bool firstAnswered = false;
    QList<QByteArray> firstFields;

    size_t at = 2;
    while (at < size) {
        const uint8_t header = bytes[at++];
        if (header == resendByte) {
            whole.doRequest();
            byByte.doRequest();
            FUZZ_CHECK(!whole.isDone() && !byByte.isDone());
            answerEnd = fed.size();
            resent = true;
            continue;
        }
        const size_t length = qMin<size_t>(header, size - at);
        const QByteArray read(reinterpret_cast<const char *>(bytes + at), int(length));
        at += length;
        if (!resent)
            beforeResend.append(read);

        QList<QByteArray> wholeFields = untouched;
        const bool wholeDone = whole.parseAnswer(read, wholeFields);
        if (!wholeDone)
            FUZZ_CHECK(wholeFields == untouched);

        bool byteDone = false;
        QList<QByteArray> byteFields = untouched;
        for (const char c : read) {
            fed.append(c);
            if (byByte.parseAnswer(QByteArray(1, c), byteFields)) {
                byteDone = true;
                break;
            }
            FUZZ_CHECK(byteFields == untouched);
            if (!answered)
                FUZZ_CHECK(!byByte.isDone());
        }

        FUZZ_CHECK(wholeDone == byteDone);
        FUZZ_CHECK(whole.isDone() == byByte.isDone());
        if (!byteDone)
            continue;
        FUZZ_CHECK(wholeFields == byteFields);
        FUZZ_CHECK(byByte.isDone());
        checkAnswer(param, groups, byteFields, fed.mid(answerEnd));
        answerEnd = fed.size();
        if (!answered && !resent) {
            firstAnswered = true;
            firstFields = byteFields;
        }
        answered = true;
    }

    // Up to the first answer, how the bytes were split makes no difference.
    Parser single(nullptr, param);
    QList<QByteArray> singleFields = untouched;
    const bool singleDone = single.parseAnswer(beforeResend, singleFields);
    FUZZ_CHECK(singleDone == firstAnswered);
    if (singleDone)
        FUZZ_CHECK(singleFields == firstFields);
    else
        FUZZ_CHECK(singleFields == untouched);
    return 0;
}
