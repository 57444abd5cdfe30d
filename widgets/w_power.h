#pragma once

#include <QWidget>

class QDial;

// The transmit power dial, 0 to 7, with its labels. Every change of the dial,
// by the operator or by setPower, is reported as sgSetPower.
class W_Power : public QWidget
{
    Q_OBJECT

public:
    explicit W_Power(QWidget *parent = nullptr);

    void setPower(quint8 power);
    int power() const;

signals:
    void sgSetPower(int power);

private:
    QDial *dial;
};
