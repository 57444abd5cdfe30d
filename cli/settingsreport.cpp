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

QByteArray SettingsReport::json(const QString &port, const QString &module, const QString &firmware,
                                const Data &record)
{
    QJsonObject settings;
    for (const SettingsTable::Setting &setting : SettingsTable::settings()) {
        settings.insert(setting.name, QJsonObject{{QStringLiteral("value"), int(record.*setting.field)},
                                                  {QStringLiteral("text"), SettingsTable::text(setting, record)}});
    }
    const QJsonObject object{{QStringLiteral("port"), port},
                             {QStringLiteral("module"), module},
                             {QStringLiteral("firmware"), firmware},
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
        out << QString::number(record.*setting.field);
    return out;
}
