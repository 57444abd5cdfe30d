#include "commissioningrecord.h"

#include <QFile>

namespace {

// A cell as CSV wants it: quoted, with its quotes doubled, when it holds a
// separator, a quote or a line end.
QString cell(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString row(const QStringList &cells)
{
    QStringList quoted;
    for (const QString &text : cells)
        quoted << cell(text);
    return quoted.join(QLatin1Char(',')) + QLatin1Char('\n');
}

} // namespace

CommissioningRecord::CommissioningRecord(const QString &fileName, const QStringList &settingLabels)
    : fileName(fileName)
    , labels(settingLabels)
{
}

bool CommissioningRecord::append(const Line &line, QString *problem) const
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        *problem = file.errorString();
        return false;
    }
    QString text;
    if (file.size() == 0)
        text = row(QStringList{QStringLiteral("time"), QStringLiteral("port"), QStringLiteral("command"),
                               QStringLiteral("result"), QStringLiteral("module"), QStringLiteral("firmware")}
                   + labels);
    text += row(QStringList{line.time.toString(Qt::ISODate), line.port, line.command, line.result, line.module,
                            line.firmware}
                + line.values);
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *problem = file.errorString();
        return false;
    }
    return true;
}
