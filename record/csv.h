#pragma once

#include <QString>
#include <QStringList>

// Lines of comma-separated values, as the radio test's report and the
// script's commissioning record write them.
class Csv
{
public:
    // A cell as CSV wants it: quoted, with its quotes doubled, when it holds a
    // separator, a quote or a line end.
    static QString cell(const QString &text);
    // The cells, each as cell() gives it, joined by commas; no line end.
    static QString line(const QStringList &cells);
};
