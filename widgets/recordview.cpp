#include "recordview.h"

#include "data.h"
#include "w_radio.h"
#include "w_rs485.h"

RecordView::RecordView(QObject *parent, const Data *record, W_Radio *radio, W_Rs485 *rs485,
                       W_QWidget *freezProtection)
    : QObject(parent)
    , data(record)
    , radio(radio)
    , rs485(rs485)
    , freezProtection(freezProtection)
{
}

const RecordView::Setting *RecordView::settingReported(const QString &name)
{
    for (const Setting &setting : SettingsTable::settings()) {
        if (name.startsWith(setting.name))
            return &setting;
    }
    return nullptr;
}

W_QWidget *RecordView::panelOf(const Setting &setting) const
{
    switch (setting.panel) {
    case SettingsTable::Panel::Rs485:
        return rs485;
    case SettingsTable::Panel::FreezProtection:
        return freezProtection;
    case SettingsTable::Panel::Radio:
        break;
    }
    return radio;
}

void RecordView::show()
{
    QList<const Setting *> all;
    for (const Setting &setting : SettingsTable::settings())
        all.append(&setting);
    show(all);
}

void RecordView::show(const QList<const Setting *> &settings)
{
    QList<const Setting *> shown = followRates();
    for (const Setting *setting : settings) {
        if (!shown.contains(setting))
            shown.append(setting);
    }
    for (const Setting *setting : qAsConst(shown))
        panelOf(*setting)->setValueByName(setting->name, SettingsTable::shownValue(*setting, data->*setting->field));
}

void RecordView::showAnswer(TypeParser type)
{
    QList<const Setting *> carried;
    for (const Setting &setting : SettingsTable::settings()) {
        if (setting.readBy == type)
            carried.append(&setting);
    }
    show(carried);
}

// A new floor may show the serial timeout otherwise, a new channel list
// shows its first channel: both are shown again from the record.
QList<const RecordView::Setting *> RecordView::followRates()
{
    QList<const Setting *> changed;
    if (data->serialDataRate != shownSerialRate) {
        shownSerialRate = data->serialDataRate;
        radio->setSerialRate(data->serialDataRate);
        changed.append(&SettingsTable::settingOf(&Data::serialTimeout));
    }
    if (data->radioDataRate != shownRadioRate) {
        shownRadioRate = data->radioDataRate;
        rs485->setRadioRate(data->radioDataRate);
        radio->setSpeed(data->radioDataRate);
        changed.append(&SettingsTable::settingOf(&Data::chanel));
    }
    return changed;
}

void RecordView::showVersion(const QString &module, const QString &firmware)
{
    radio->setTextByName(QStringLiteral("Radio module"), module);
    radio->setTextByName(QStringLiteral("FirmWare"), firmware.isEmpty() ? QStringLiteral("x/x") : firmware);
}

void RecordView::mark(const QMap<QString, QString> &notes)
{
    for (const Setting &setting : SettingsTable::settings())
        panelOf(setting)->markByName(setting.name, notes.value(setting.name));
}
