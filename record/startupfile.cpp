#include "startupfile.h"

#include "data.h"
#include "recordrules.h"
#include "recordvalidator.h"
#include "safefile.h"
#include "settingsfile.h"

#include <QFile>
#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcStartupFile, "ryd.startupfile", QtInfoMsg)
}

// The read-back only happens when the write succeeded, so an older file can
// never overwrite the record. What is read back is judged as a settings file
// is: a start-up file that does not read back as written (a damaged disk, a
// device file in its place) leaves the record alone. The debug log says why.
bool StartupFile::write(Data &data, const QString &fileName)
{
    QString error;
    if (!SafeFile::write(fileName, SettingsFile::encodeStartup(data), false, &error)) {
        qCDebug(lcStartupFile) << "cannot write" << fileName << error;
        return false;
    }
    QFile file(fileName);
    Data readBack;
    RecordRules::copySettings(data, readBack);
    if (!file.open(QIODevice::ReadOnly)
        || !SettingsFile::decodeStartup(file.read(SettingsFile::settingBytes), readBack)) {
        return false;
    }
    const QString refused = RecordValidator::describe(RecordValidator::refusals(readBack));
    if (!refused.isEmpty()) {
        qCDebug(lcStartupFile) << "refused" << fileName << refused;
        return false;
    }
    RecordRules::copySettings(readBack, data);
    return true;
}
