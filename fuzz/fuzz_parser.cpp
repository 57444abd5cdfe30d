// The answer matcher on every template of the catalogue, fed arbitrary bytes.
// Input: a kind byte (modulo 23), a byte left unused, then reads: a length byte
// and that many bytes, or 0xFF for a re-send. One transaction gets each read
// whole, another the same bytes one at a time up to a complete answer: they
// must agree, and an answer has no empty field nor more than its row delivers.

#include "catalogue.h"
#include "exchange.h"
#include "fuzzcheck.h"
#include "parser.h"

#include <cstddef>
#include <cstdint>

// What the engine makes of each kind; templates need no record, and matching
// needs no event loop.
static const QList<ParserParam> kinds = [] {
    const Exchange exchange(nullptr, nullptr);
    QList<ParserParam> all;
    for (int kind = 0; kind <= E_GetModuleVersion; ++kind)
        all.append(exchange.getParserParam(TypeParser(kind), QString()));
    return all;
}();

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    if (size < 2)
        return 0;
    const auto kind = TypeParser(bytes[0] % kinds.size());
    Parser whole(nullptr, kinds.at(kind));
    Parser byByte(nullptr, kinds.at(kind));
    for (size_t at = 2; at < size;) {
        const uint8_t header = bytes[at++];
        if (header == 0xFF) {
            whole.doRequest();
            byByte.doRequest();
            FUZZ_CHECK(!whole.isDone() && !byByte.isDone());
            continue;
        }
        const QByteArray read(reinterpret_cast<const char *>(bytes + at), int(qMin<size_t>(header, size - at)));
        at += size_t(read.size());
        QList<QByteArray> fields;
        const bool complete = whole.parseAnswer(read, fields);
        QList<QByteArray> byteFields;
        bool byteComplete = false;
        for (int i = 0; i < read.size() && !byteComplete; ++i)
            byteComplete = byByte.parseAnswer(read.mid(i, 1), byteFields);
        FUZZ_CHECK(complete == byteComplete && fields == byteFields && whole.isDone() == byByte.isDone());
        FUZZ_CHECK(fields.size() <= Catalogue::command(kind).deliveredFields);
        FUZZ_CHECK(!fields.contains(QByteArray()));
    }
    return 0;
}
