#pragma once

#include "w_qwidget.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

// Left column of the radio panel: the device's address, flow control, serial
// timeout and the radio module and firmware texts reported by the device.
class W_RadioCommonLeft : public W_QWidget
{
    Q_OBJECT

public:
    explicit W_RadioCommonLeft(QWidget *parent = nullptr);

    void setSerialRate(quint8 serialRate);

private:
    QSpinBox *testAddress;
    QComboBox *flowControl;
    QSpinBox *serialTimeout;
    QLineEdit *radioModule;
    QLineEdit *firmWare;
};
