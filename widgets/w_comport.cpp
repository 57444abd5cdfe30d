#include "w_comport.h"

#include "systemportlist.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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

#ifdef Q_OS_LINUX
// The group whose members may open serial devices: the owner group of the
// built-in serial ports' device files ("dialout" on Debian).
QString serialGroup()
{
    const QString group = QFileInfo(QStringLiteral("/dev/ttyS0")).group();
    return group.isEmpty() || group == QLatin1String("root") ? QStringLiteral("dialout") : group;
}
#endif
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
    // A port the list lacks (an adapter's /dev/serial/by-id/... name, a COM
    // name) can be typed; it is then offered as a --port path is.
    portCombo->setEditable(true);
    portCombo->setInsertPolicy(QComboBox::NoInsert);
    portCombo->setMinimumContentsLength(12);
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

    portTip = tr("Serial port of the modem. The list follows the ports the system offers; "
                               "the port connected last is chosen when it appears. A port the list lacks "
                               "can be typed.");
    label->setToolTip(portTip);
    showPortPresence(true);
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
    connect(portCombo, &QComboBox::currentTextChanged, this, &W_ComPort::updateOpenButton);
    connect(portCombo->lineEdit(), &QLineEdit::returnPressed, this, &W_ComPort::confirmTypedPort);
    // Made before the base's own connection to the key, so that a typed port
    // is known before the window opens it.
    connect(openButton, &QPushButton::pressed, this, [this] {
        if (!connected)
            confirmTypedPort();
    });

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
        // A typed name not yet listed stays in the field over the first entry.
        const QString typed = portCombo->count() == 0 ? portCombo->currentText() : QString();
        portCombo->addItem(port);
        if (!typed.isEmpty())
            portCombo->setEditText(typed);
        const bool wanted = preferred ? preferred(port) : stored.startsWith(port);
        if (wanted && !connected) {
            portCombo->setCurrentIndex(portCombo->count() - 1);
            portCombo->setEditText(port);
        }
    }

    // While a port is open nothing is removed and the selection stays put.
    if (connected) {
        updateOpenButton();
        return;
    }

    const QStringList present = availablePorts();
    for (int i = portCombo->count() - 1; i >= 0; --i) {
        const QString port = portCombo->itemText(i);
        if (port == lostPort)
            showPortPresence(anyBeginsWith(present, port));
        else if (!anyBeginsWith(present, port))
            portCombo->removeItem(i);
    }
    updateOpenButton();
}

void W_ComPort::setPortLost()
{
    lostPort = portCombo->currentText();
    setConnected(false);
    slUpdatePortName();
}

void W_ComPort::showPortPresence(bool present)
{
    QString tip = portTip;
    if (!present)
        tip = tr("The port %1 is not present now: plug the adapter in again, or choose another port.").arg(lostPort)
            + QLatin1Char('\n') + portTip;
    portCombo->setToolTip(tip);
    const int lost = portCombo->findText(lostPort, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (lost >= 0)
        portCombo->setItemData(lost, present ? QVariant() : QVariant(tip), Qt::ToolTipRole);
}

void W_ComPort::preferPort(PortMatcher wanted)
{
    preferred = std::move(wanted);
    if (connected)
        return;
    for (int i = 0; i < portCombo->count(); ++i) {
        if (preferred(portCombo->itemText(i))) {
            portCombo->setCurrentIndex(i);
            return;
        }
    }
}

void W_ComPort::confirmTypedPort()
{
    const QString name = portCombo->currentText().trimmed();
    if (!name.isEmpty() && portCombo->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        emit sgPortTyped(name);
}

// With no port to open "Connect" cannot do anything but fail; it says what
// is missing instead.
void W_ComPort::updateOpenButton()
{
    // The operator has chosen another port: the lost one is no longer kept.
    if (!lostPort.isEmpty() && portCombo->currentText() != lostPort) {
        showPortPresence(true);
        lostPort.clear();
    }
    const bool usable = connected || !portCombo->currentText().trimmed().isEmpty();
    openButton->setEnabled(usable);
    QString tip = tr("Connect: open the port, read every setting of the device and enable the panels.\n"
                     "Disconnect: close the port.");
    if (!usable) {
        tip = tr("No serial port found: plug in the adapter, or type the name of its port.");
#ifdef Q_OS_LINUX
        tip += QLatin1Char('\n')
            + tr("Your user must belong to the group \"%1\" to use serial ports (log in again after adding it).")
                  .arg(serialGroup());
#elif defined(Q_OS_WIN)
        tip += QLatin1Char('\n')
            + tr("Check in Device Manager, under \"Ports (COM & LPT)\", that the adapter is listed and its "
                 "driver is installed.");
#endif
    }
    openButton->setToolTip(tip);
}

void W_ComPort::setConnected(bool c)
{
    connected = c;
    openButton->setText(c ? tr("Disconnect") : tr("Connect"));
    updateOpenButton();
    if (c) {
        showPortPresence(true);
        lostPort.clear();
        QSettings().setValue(portNameKey, portCombo->currentText());
    }
}
