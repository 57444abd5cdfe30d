#include "w_comport.h"

#include "systemportlist.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStyle>

namespace {
const QString portNameKey = QStringLiteral("PortName");

bool anyBeginsWith(const QStringList &ports, const QString &prefix)
{
    for (const QString &port : ports) {
        if (port.startsWith(prefix))
            return true;
    }
    return false;
}
} // namespace

QStringList W_ComPort::systemPortNames()
{
    // One list for the whole program: every caller sees the same system.
    static SystemPortList ports;
    return ports.names();
}

W_ComPort::W_ComPort(QWidget *parent, PortLister lister)
    : W_QWidget(parent)
    , availablePorts(lister ? std::move(lister) : PortLister(&W_ComPort::systemPortNames))
    , portCombo(new QComboBox(this))
    , openButton(new QPushButton(this))
{
    auto *layout = new QHBoxLayout;
    layout->setSpacing(9);
    layout->setContentsMargins(style()->pixelMetric(QStyle::PM_LayoutLeftMargin), 5,
                               style()->pixelMetric(QStyle::PM_LayoutRightMargin), 1);

    auto *label = new QLabel(tr("Port"), this);
    // 30 pixels, or what the caption needs where the desktop font is larger.
    label->setMaximumWidth(qMax(30, label->sizeHint().width()));
    label->setBuddy(portCombo);
    portCombo->setObjectName(portNameKey);
    openButton->setObjectName(QStringLiteral("pbOpen"));
    auto *remoteButton = new QPushButton(tr("Configure Remote Device"), this);
    remoteButton->setEnabled(false);
    auto *openSettings = new QPushButton(tr("Open Settings"), this);
    openSettings->setObjectName(QStringLiteral("Open Settings"));
    auto *saveSettings = new QPushButton(tr("Save Settings"), this);
    saveSettings->setObjectName(QStringLiteral("Save Settings"));
    // In this row because the row is never disabled: the log is wanted most
    // when connecting fails.
    auto *trafficLog = new QPushButton(tr("Traffic Log"), this);
    trafficLog->setObjectName(QStringLiteral("Traffic Log"));

    const QString portTip = tr("Serial port of the modem. The list follows the ports the system offers; "
                               "the port connected last is chosen when it appears.");
    label->setToolTip(portTip);
    portCombo->setToolTip(portTip);
    openButton->setToolTip(tr("Connect: open the port, read every setting of the device and enable the panels.\n"
                              "Disconnect: close the port."));
    openSettings->setToolTip(tr("Load settings from a .ryd file into the panels; the device changes only with WRITE."));
    saveSettings->setToolTip(tr("Save the settings shown in the panels to a .ryd file."));
    remoteButton->setToolTip(tr("Not available in this version."));
    trafficLog->setToolTip(tr("Open the log of every request, answer, timeout and connection since the start."));

    layout->addWidget(label);
    layout->addWidget(portCombo);
    layout->addWidget(openButton);
    layout->addWidget(openSettings);
    layout->addWidget(saveSettings);
    layout->addWidget(remoteButton);
    layout->addWidget(trafficLog);
    setLayout(layout);

    refreshTimer.setInterval(1000);
    refreshTimer.start();
    connect(&refreshTimer, &QTimer::timeout, this, &W_ComPort::slUpdatePortName);

    slUpdatePortName();
    setConnected(false);
}

void W_ComPort::slUpdatePortName()
{
    const QStringList ports = availablePorts();
    for (const QString &port : ports) {
        if (portCombo->findText(port, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
            continue;
        const QString stored = QSettings().value(portNameKey).toString();
        portCombo->addItem(port);
        if (stored.startsWith(port) && !connected)
            portCombo->setCurrentIndex(portCombo->count() - 1);
    }

    // While a port is open nothing is removed and the selection stays put.
    if (connected)
        return;

    const QStringList present = availablePorts();
    for (int i = portCombo->count() - 1; i >= 0; --i) {
        if (!anyBeginsWith(present, portCombo->itemText(i)))
            portCombo->removeItem(i);
    }
}

bool W_ComPort::selectPort(const QString &name)
{
    const int index = portCombo->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        portCombo->setCurrentIndex(index);
    return index >= 0;
}

void W_ComPort::setConnected(bool c)
{
    connected = c;
    openButton->setText(c ? tr("Disconnect") : tr("Connect"));
    if (c)
        QSettings().setValue(portNameKey, portCombo->currentText());
}
