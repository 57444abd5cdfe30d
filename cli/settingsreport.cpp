#include "settingsreport.h"

#include "data.h"
#include "settingstable.h"

#include <QJsonDocument>
#include <QJsonObject>

QStringList SettingsReport::lines(const Data &record)
{
    QStringList out;
    for (const SettingsTable::Setting &setting : SettingsTable::settings())
        out << QStringLiteral("%1: %2").arg(setting.name, SettingsTable::text(setting, record));
    return out;
}

QStringList SettingsReport::lines(const Identity &identity)
{
    return {tr("Hardware: %1").arg(identity.hardware), tr("Firmware: %1").arg(identity.firmware),
            tr("Radio module: %1").arg(identity.module),
            tr("Radio module firmware: %1").arg(identity.moduleFirmware)};
}

QByteArray SettingsReport::json(const QString &port, const Identity &identity, const Data &record)
{
    QJsonObject settings;
    for (const SettingsTable::Setting &setting : SettingsTable::settings()) {
        settings.insert(setting.name, QJsonObject{{QStringLiteral("value"), int(record.*setting.field)},
                                                  {QStringLiteral("text"), SettingsTable::text(setting, record)}});
    }
    const QJsonObject object{{QStringLiteral("port"), port},
                             {QStringLiteral("hardware"), identity.hardware},
                             {QStringLiteral("firmware"), identity.firmware},
                             {QStringLiteral("module"), identity.module},
                             {QStringLiteral("module_firmware"), identity.moduleFirmware},
                             {QStringLiteral("settings"), settings}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QStringList SettingsReport::labels()
{
    QStringList out;
    for (const SettingsTable::Setting &setting : SettingsTable::settings())
        out << setting.name;
    return out;
}

QStringList SettingsReport::values(const Data &record)
{
    QStringList out;
    for (const SettingsTable::Setting &setting : SettingsTable::settings())
        out << SettingsTable::text(setting, record);
    return out;
}
