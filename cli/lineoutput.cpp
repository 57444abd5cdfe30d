#include "lineoutput.h"

#include <cstdio>

namespace {

void writeLine(FILE *stream, const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stream);
    std::fflush(stream);
}

} // namespace

LineOutput::LineOutput(const QString &prefix)
    : prefix(prefix.isEmpty() ? QByteArray() : prefix.toLocal8Bit() + ": ")
{
}

void LineOutput::result(const QString &line) const
{
    writeLine(stdout, prefix + line.toLocal8Bit() + '\n');
}

void LineOutput::error(const QString &line) const
{
    writeLine(stderr, "ryd-cli: " + prefix + line.toLocal8Bit() + '\n');
}
