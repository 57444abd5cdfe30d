#include "w_rs485common.h"

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
    parity->setObjectName(QStringLiteral("Parity"));
    parity->addItems({tr("8-bit data, no parity"), tr("8-bit data, even parity"),
                      tr("8-bit data, odd parity"), tr("9-bit data, no parity")});

    stopBit->setObjectName(QStringLiteral("Stop bit"));
    stopBit->addItems({QStringLiteral("1"), QStringLiteral("2")});

    // In units of 100 µs.
    delayTxRx->setObjectName(QStringLiteral("Delay Tx-Rx"));
    delayTxRx->setRange(0, 250);

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
