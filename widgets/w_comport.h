#pragma once

#include "w_qwidget.h"

#include <QStringList>
#include <QTimer>

#include <functional>

class QComboBox;
class QPushButton;

// The port row: the serial port to use, connect/disconnect and the settings
// file keys. The list follows the ports the system offers, refreshed once a
// second, and preselects the last port that was opened.
class W_ComPort : public W_QWidget
{
    Q_OBJECT

public:
    // Returns the names of the serial ports available now. The program reads
    // the system's list; tests feed their own.
    using PortLister = std::function<QStringList()>;
    // Tells whether a listed port is the one the operator asked for.
    using PortMatcher = std::function<bool(const QString &port)>;

    // The system's list, enumerated anew only when a serial device may have
    // come or gone, so that the refresh costs next to nothing while idle.
    static QStringList systemPortNames();

    explicit W_ComPort(QWidget *parent = nullptr, PortLister availablePorts = {});

    void setConnected(bool c);
    // The open port has vanished: the panel shows it disconnected and keeps
    // the port chosen, marked as absent, until the operator picks another or
    // it is present again, so that the next "Connect" opens no other port.
    void setPortLost();
    // Makes the first listed port that `wanted` accepts current, now or,
    // while none is listed, as soon as one appears and no port is open. It
    // takes the place of the port stored from the last connection.
    void preferPort(PortMatcher wanted);

signals:
    // The operator typed a port name the list does not hold and confirmed it
    // (Return, or "Connect").
    void sgPortTyped(QString name);

public slots:
    void slUpdatePortName();

private:
    PortLister availablePorts;
    QComboBox *portCombo;
    QPushButton *openButton;
    // What the port box's tooltip says of it.
    QString portTip;
    QTimer refreshTimer;
    bool connected = false;
    PortMatcher preferred;
    // The port that vanished while open, while it is still the one chosen.
    QString lostPort;

    void updateOpenButton();
    void showPortPresence(bool present);
    void confirmTypedPort();
};
