#include "core.h"

#include "applog.h"
#include "mainwindow.h"
#include "serialportname.h"

#include <QFileInfo>
#include <QScreen>
#include <QTimer>

#include <memory>

namespace {
// The entry of `ports` that names the same device as `path`; empty when none
// does.
QString listedAs(const QStringList &ports, const QString &path)
{
    const SerialPortName device(path);
    for (const QString &port : ports) {
        if (SerialPortName(port).isSameAs(device))
            return port;
    }
    return QString();
}

// A --port path that names a device the list holds already, under its own
// name or through a link, would show the same adapter twice. A path that does
// not exist yet (an adapter not plugged in) is listed once it does.
W_ComPort::PortLister withExtraPorts(const W_ComPort::PortLister &systemPorts,
                                     const std::shared_ptr<const QStringList> &extraPorts)
{
    const W_ComPort::PortLister system = systemPorts ? systemPorts : &W_ComPort::systemPortNames;
    return [system, extraPorts] {
        QStringList ports = system();
        for (const QString &path : *extraPorts) {
            if (SerialPortName(path).exists() && listedAs(ports, path).isEmpty())
                ports << path;
        }
        return ports;
    };
}

// The list selects the port named by `path`, now or when it appears.
void preferDevice(W_ComPort *portPanel, const QString &path)
{
    portPanel->preferPort([device = SerialPortName(path)](const QString &port) {
        return SerialPortName(port).isSameAs(device);
    });
}
} // namespace

Core::Core(QObject *parent, const QStringList &extraPorts, const QString &settingsFile,
           const W_ComPort::PortLister &systemPorts)
    : QObject(parent)
{
    const auto paths = std::make_shared<QStringList>(extraPorts);
    mainWindow = new MainWindow(nullptr, withExtraPorts(systemPorts, paths));
    W_ComPort *portPanel = mainWindow->portPanel();
    if (!extraPorts.isEmpty())
        preferDevice(portPanel, extraPorts.constFirst());
    // A typed port is offered as a --port path is.
    connect(portPanel, &W_ComPort::sgPortTyped, portPanel, [portPanel, paths](const QString &name) {
        if (!paths->contains(name))
            paths->append(name);
        preferDevice(portPanel, name);
        portPanel->slUpdatePortName();
    });
    mainWindow->show();

    const QRect available = mainWindow->screen()->availableGeometry();
    const int centreX = (available.left() + available.right()) / 2;
    // The debug log's own wording for the window's placement, kept as it is.
    qCDebug(lcCore) << "center.x" << centreX << "width()" << mainWindow->width();
    mainWindow->move(centredTopLeft(available, mainWindow->size()));
    // On a screen smaller than the window the title bar stays reachable.
    mainWindow->keepInsideAvailableArea();

    // Opened from the event loop, so that a message about an unusable file
    // stands over the shown window, as it does after "Open Settings".
    if (!settingsFile.isEmpty()) {
        QTimer::singleShot(0, mainWindow, [window = mainWindow, settingsFile] {
            window->loadSettingsFrom(settingsFile);
        });
    }
}

// The window has no parent; Core is its one owner.
Core::~Core()
{
    delete mainWindow;
}

QPoint Core::centredTopLeft(const QRect &available, const QSize &size)
{
    const int x = (available.left() + available.right()) / 2;
    const int y = (available.top() + available.bottom()) / 2;
    return QPoint(x - size.width() / 2, y - size.height() / 2);
}
