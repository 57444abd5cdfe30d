#pragma once

#include <QString>

// Whole lines to standard output (results) and standard error (errors), each
// written and flushed at once so that the lines of ports served together
// never mix. With a prefix (the port, when several are served) every line
// begins with it.
class LineOutput
{
public:
    explicit LineOutput(const QString &prefix = QString());

    void result(const QString &line) const;
    void error(const QString &line) const;

private:
    QByteArray prefix;
};
