#include "csv.h"

QString Csv::cell(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString Csv::line(const QStringList &cells)
{
    QStringList quoted;
    for (const QString &text : cells)
        quoted << cell(text);
    return quoted.join(QLatin1Char(','));
}
