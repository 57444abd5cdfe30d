#include "commissioningrecord.h"

#include "csv.h"
#include "safefile.h"

#include <QFile>
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

QString CommissioningRecord::header() const
{
    return row(QStringList{QStringLiteral("time"), QStringLiteral("port"), QStringLiteral("adapter_serial"),
                           QStringLiteral("command"), QStringLiteral("result"), QStringLiteral("hardware"),
                           QStringLiteral("firmware"), QStringLiteral("module"), QStringLiteral("module_firmware")}
               + labels);
}

// Rows of other columns would be read under the wrong headings.
bool CommissioningRecord::check(QString *problem) const
{
    QFile file(fileName);
    if (QFileInfo(fileName).size() == 0 || !file.open(QIODevice::ReadOnly))
        return true;
    const QByteArray first = file.readLine(4096);
    if (first == header().toUtf8())
        return true;
    *problem = tr("its columns are not those ryd-cli writes; give a new file");
    return false;
}

bool CommissioningRecord::append(const Line &line, QString *problem) const
{
    // The size is the file system's: a device such as /dev/full has none.
    QString text = QFileInfo(fileName).size() == 0 ? header() : QString();
    const SettingsReport::Identity &unit = line.unit;
    text += row(QStringList{line.time.toString(Qt::ISODate), line.port, line.adapterSerial, line.command, line.result,
                            unit.hardware, unit.firmware, unit.module, unit.moduleFirmware}
                + line.values);
    return SafeFile::append(fileName, text.toUtf8(), true, problem);
}
