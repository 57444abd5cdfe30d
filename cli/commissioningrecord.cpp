#include "commissioningrecord.h"

#include "csv.h"
#include "safefile.h"

#include <QFileInfo>

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
    QString text;
    // The size is the file system's: a device such as /dev/full has none.
    if (QFileInfo(fileName).size() == 0)
        text = row(QStringList{QStringLiteral("time"), QStringLiteral("port"), QStringLiteral("command"),
                               QStringLiteral("result"), QStringLiteral("module"), QStringLiteral("firmware")}
                   + labels);
    text += row(QStringList{line.time.toString(Qt::ISODate), line.port, line.command, line.result, line.module,
                            line.firmware}
                + line.values);
    return SafeFile::append(fileName, text.toUtf8(), true, problem);
}
