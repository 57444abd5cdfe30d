#include "w_radiocommonleft.h"

#include "devicerules.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

W_RadioCommonLeft::W_RadioCommonLeft(QWidget *parent)
    : W_QWidget(parent)
    , testAddress(new QSpinBox(this))
    , flowControl(new QComboBox(this))
    , serialTimeout(new QSpinBox(this))
    , radioModule(new QLineEdit(this))
    , firmWare(new QLineEdit(this))
{
    testAddress->setObjectName(QStringLiteral("Test address"));
    testAddress->setRange(0, 63);

    flowControl->setObjectName(QStringLiteral("Flow control"));
    flowControl->addItem(tr("None"));
    flowControl->addItem(tr("HardWare"));

    // The minimum follows the serial data rate once the first one is given.
    serialTimeout->setObjectName(QStringLiteral("Serial Timeout"));
    serialTimeout->setRange(0, 250);

    radioModule->setObjectName(QStringLiteral("Radio module"));
    radioModule->setEnabled(false);
    firmWare->setObjectName(QStringLiteral("FirmWare"));
    firmWare->setText(QStringLiteral("x/x"));
    firmWare->setEnabled(false);

    testAddress->setToolTip(tr("This device's own address on the radio link, 0 to 63."));
    flowControl->setToolTip(tr("Flow control on the device's serial line: None, or HardWare (handshake lines)."));
    serialTimeout->setToolTip(tr("Serial timeout of the device, up to 250. Its least value follows the serial data "
                                 "rate of the RS-485 panel: the slower the rate, the higher the least value."));
    radioModule->setToolTip(tr("The radio module of the device, read when connecting. Display only."));
    firmWare->setToolTip(tr("Firmware version of the radio module, read when connecting (x/x until then). "
                            "Display only."));

    auto *layout = new QGridLayout(this);
    layout->addWidget(caption(tr("Address"), testAddress), 0, 0, 1, 2);
    layout->addWidget(testAddress, 0, 2);
    layout->addWidget(caption(tr("Flow control"), flowControl), 1, 0, 1, 2);
    layout->addWidget(flowControl, 1, 2);
    layout->addWidget(caption(tr("Serial Timeout"), serialTimeout), 2, 0, 1, 2);
    layout->addWidget(serialTimeout, 2, 2);
    layout->addWidget(caption(tr("Radio module"), radioModule), 3, 0, 1, 2);
    layout->addWidget(radioModule, 3, 2);
    layout->addWidget(caption(tr("FirmWare"), firmWare), 4, 0);
    layout->addWidget(firmWare, 4, 1, 1, 2);
}

void W_RadioCommonLeft::setSerialRate(quint8 serialRate)
{
    // A value below the new minimum moves up to it and is reported as a change.
    serialTimeout->setMinimum(DeviceRules::serialTimeoutFloor(serialRate));
}
