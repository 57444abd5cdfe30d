#include "w_freezprotection.h"

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
    radioTransmitReset->setObjectName(QStringLiteral("Radio Transmit Reset"));
    radioTransmitReset->setRange(10, 250);

    // The index is the value the device takes: 0 disables, k means 10 k seconds.
    wdtReset->setObjectName(QStringLiteral("WDT Reset"));
    wdtReset->addItem(tr("Disable"));
    for (int k = 1; k <= 250; ++k)
        wdtReset->addItem(tr("%1 sec").arg(10 * k));

    auto *groupLayout = new QHBoxLayout(group);
    groupLayout->addWidget(new QLabel(tr("Radio Transmit Reset"), group));
    groupLayout->addWidget(radioTransmitReset);
    groupLayout->addWidget(new QLabel(tr("x100 ms"), group));
    groupLayout->addWidget(new QLabel(tr("WDT Reset"), group));
    groupLayout->addWidget(wdtReset);

    auto *layout = new QGridLayout(this);
    layout->addWidget(group, 0, 0);
}
