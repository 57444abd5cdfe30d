#include "w_rs485common.h"

#include "data.h"
#include "settingstable.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>

W_Rs485Common::W_Rs485Common(QWidget *parent)
    : W_QWidget(parent)
    , parity(new QComboBox(this))
    , stopBit(new QComboBox(this))
    , delayTxRx(new QSpinBox(this))
{
    const Data shownRecord;
    for (QComboBox *box : {parity, stopBit}) {
        const SettingsTable::Setting &setting =
            SettingsTable::settingOf(box == parity ? &Data::parity : &Data::stopBit);
        box->setObjectName(setting.name);
        for (const SettingsTable::Choice &choice : SettingsTable::choices(setting, shownRecord))
            box->addItem(choice.text);
    }

    // In units of 100 µs.
    const SettingsTable::Setting &delay = SettingsTable::settingOf(&Data::delayTxRx);
    delayTxRx->setObjectName(delay.name);
    delayTxRx->setRange(delay.minimum, delay.maximum);

    parity->setToolTip(tr("Data bits and parity of the RS-485 line."));
    stopBit->setToolTip(tr("Stop bits of the RS-485 line."));
    delayTxRx->setToolTip(tr("Delay between transmitting and receiving on the RS-485 line, in units of 100 \u00b5s "
                             "(x100 \u00b5s): 0 to 250, that is up to 25 ms."));

    auto *layout = new QGridLayout(this);
    layout->addWidget(caption(tr("Parity"), parity), 0, 0);
    layout->addWidget(parity, 0, 1, 1, 2);
    layout->addWidget(caption(tr("Stop bit"), stopBit), 1, 0);
    layout->addWidget(stopBit, 1, 1, 1, 2);
    layout->addWidget(caption(tr("Delay Tx-Rx"), delayTxRx), 2, 0);
    layout->addWidget(delayTxRx, 2, 1);
    layout->addWidget(new QLabel(tr("x100 \u00b5s"), this), 2, 2);
}
