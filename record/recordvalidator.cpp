#include "recordvalidator.h"

#include "data.h"
#include "recordrules.h"
#include "settingsfile.h"

#include <QPair>
#include <QStringList>

#include <algorithm>

namespace {

using Setting = SettingsTable::Setting;

bool takes(const Setting &setting, const Data &record)
{
    const quint8 value = record.*setting.field;
    // Flow control's list shows every value as one of its entries; the
    // device knows only these two.
    if (setting.encoding == SettingsTable::Encoding::FlowControl)
        return value == 0 || value == 2;
    return SettingsTable::offers(setting, value, record);
}

// A list's values in the record's numbers with the texts the control shows;
// a long run of consecutive values is given by its ends.
QString allowedOf(const Setting &setting, const Data &record)
{
    const QList<SettingsTable::Choice> choices = SettingsTable::choices(setting, record);
    if (choices.isEmpty()) {
        return RecordValidator::tr("%1 to %2").arg(SettingsTable::minimum(setting, record)).arg(setting.maximum);
    }
    QList<QPair<int, QString>> values;
    for (const SettingsTable::Choice &choice : choices)
        values.append({SettingsTable::recordValue(setting, choice.shown), choice.text});
    std::sort(values.begin(), values.end());
    QStringList parts;
    for (const auto &value : qAsConst(values))
        parts << QStringLiteral("%1 = %2").arg(QString::number(value.first), value.second);
    const bool consecutive = values.constLast().first - values.constFirst().first == values.size() - 1;
    if (consecutive && values.size() > 4)
        return RecordValidator::tr("%1 to %2").arg(parts.constFirst(), parts.constLast());
    return parts.join(QStringLiteral(", "));
}

} // namespace

QList<RecordValidator::Refusal> RecordValidator::refusals(const Data &record)
{
    QList<Refusal> out;
    for (const Setting &setting : SettingsTable::settings()) {
        const Setting *rate = setting.followsRate ? &SettingsTable::settingOf(setting.followsRate) : nullptr;
        if (takes(setting, record) || (rate && !takes(*rate, record)))
            continue;
        Refusal refusal{&setting, record.*setting.field, allowedOf(setting, record), QString()};
        const QString label = SettingsTable::label(setting);
        const QString value = QString::number(refusal.value);
        if (rate) {
            refusal.text = tr("\"%1\" holds %2 (allowed at \"%3\" %4: %5)")
                               .arg(label, value, SettingsTable::label(*rate), SettingsTable::text(*rate, record),
                                    refusal.allowed);
        } else {
            refusal.text = tr("\"%1\" holds %2 (allowed: %3)").arg(label, value, refusal.allowed);
        }
        out.append(refusal);
    }
    return out;
}

QString RecordValidator::describe(const QList<Refusal> &refusals)
{
    QStringList texts;
    for (const Refusal &refusal : refusals)
        texts << refusal.text;
    return texts.join(QStringLiteral("; "));
}

bool RecordValidator::load(const QString &fileName, Data &record, QString *problem, bool *hasFlowControl)
{
    Data loaded;
    loaded.flowControl = record.flowControl;
    QString reason;
    bool flowControlRead = true;
    if (SettingsFile::load(fileName, loaded, &reason, &flowControlRead))
        reason = describe(refusals(loaded));
    if (!reason.isEmpty()) {
        if (problem)
            *problem = loadFailure(fileName, reason);
        return false;
    }
    RecordRules::copySettings(loaded, record);
    record.portName = loaded.portName;
    if (hasFlowControl)
        *hasFlowControl = flowControlRead;
    return true;
}

QString RecordValidator::loadFailure(const QString &fileName, const QString &reason)
{
    return tr("The settings could not be loaded from \"%1\": %2").arg(fileName, reason);
}
