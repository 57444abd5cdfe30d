#include "w_radiocommonleft.h"

#include "data.h"
#include "devicerules.h"
#include "settingstable.h"

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
    const SettingsTable::Setting &address = SettingsTable::settingOf(&Data::testAddress);
    testAddress->setObjectName(address.name);
    testAddress->setRange(address.minimum, address.maximum);

    const SettingsTable::Setting &flow = SettingsTable::settingOf(&Data::flowControl);
    flowControl->setObjectName(flow.name);
    for (const SettingsTable::Choice &choice : SettingsTable::choices(flow, Data()))
        flowControl->addItem(choice.text);

    // The minimum follows the serial data rate once the first one is given.
    const SettingsTable::Setting &timeout = SettingsTable::settingOf(&Data::serialTimeout);
    serialTimeout->setObjectName(timeout.name);
    serialTimeout->setRange(timeout.minimum, timeout.maximum);

    radioModule->setObjectName(QStringLiteral("Radio module"));
    radioModule->setEnabled(false);
    firmWare->setObjectName(QStringLiteral("FirmWare"));
    firmWare->setText(QStringLiteral("x/x"));
    firmWare->setEnabled(false);

    testAddress->setToolTip(tr("This device's own address on the radio link, 0 to 63."));
    flowControl->setToolTip(tr("Flow control on the device's serial line: None, or HardWare (handshake lines)."));
    serialTimeout->setToolTip(tr("Serial timeout of the device, up to 250. Its least value follows the serial data "
                                 "rate of the RS-485 panel: the slower the rate, the higher the least value.\n"
                                 "A change of \"Serial Data Rate\" sets it to that rate's least value."));
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
    // A value below the new minimum is shown at it, and not reported: the
    // record's own rules decide what it holds.
    const QSignalBlocker quiet(serialTimeout);
    serialTimeout->setMinimum(DeviceRules::serialTimeoutFloor(serialRate));
}
