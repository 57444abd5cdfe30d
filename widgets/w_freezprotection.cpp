#include "w_freezprotection.h"

#include "data.h"
#include "settingstable.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

W_FreezProtection::W_FreezProtection(QWidget *parent)
    : W_QWidget(parent)
    , group(new QGroupBox(tr("Freeze Protection"), this))
    , radioTransmitReset(new QSpinBox(group))
    , wdtReset(new QComboBox(group))
{
    // In units of 100 ms: 1 s to 25 s.
    const SettingsTable::Setting &transmitReset = SettingsTable::settingOf(&Data::radioTransmitReset);
    radioTransmitReset->setObjectName(transmitReset.name);
    radioTransmitReset->setRange(transmitReset.minimum, transmitReset.maximum);

    // The index is the value the device takes: 0 disables, k means 10 k seconds.
    const SettingsTable::Setting &wdt = SettingsTable::settingOf(&Data::wdtReset);
    wdtReset->setObjectName(wdt.name);
    for (const SettingsTable::Choice &choice : SettingsTable::choices(wdt, Data()))
        wdtReset->addItem(choice.text);

    radioTransmitReset->setToolTip(tr("Resets a radio transmission that runs longer than this, in units of 100 ms "
                                      "(x100 ms): 10 to 250, that is 1 s to 25 s."));
    wdtReset->setToolTip(tr("Watchdog reset period of the device, in 10 s steps, or Disable."));

    // Tight top and bottom margins, as in the other panels: the window grows
    // by 75 pixels when this panel opens, and it needs no more.
    auto *groupLayout = new QHBoxLayout(group);
    groupLayout->setContentsMargins(-1, 1, -1, 1);
    groupLayout->addWidget(caption(tr("Radio Transmit Reset"), radioTransmitReset));
    groupLayout->addWidget(radioTransmitReset);
    groupLayout->addWidget(new QLabel(tr("x100 ms"), group));
    groupLayout->addWidget(caption(tr("WDT Reset"), wdtReset));
    groupLayout->addWidget(wdtReset);

    auto *layout = new QGridLayout(this);
    // -1 keeps the style's own margin on that side.
    layout->setContentsMargins(-1, 5, -1, 1);
    layout->addWidget(group, 0, 0);
}
