#include "commissioningrecord.h"

#include "csv.h"

#include <QFile>

namespace {

QString row(const QStringList &cells)
{
    return Csv::line(cells) + QLatin1Char('\n');
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
