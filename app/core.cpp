#include "core.h"

#include "applog.h"
#include "mainwindow.h"

#include <QFileInfo>
#include <QScreen>

namespace {
W_ComPort::PortLister withExtraPorts(const QStringList &extraPorts)
{
    if (extraPorts.isEmpty())
        return &W_ComPort::systemPortNames;
    return [extraPorts] {
        QStringList ports = W_ComPort::systemPortNames();
        for (const QString &path : extraPorts) {
            if (QFileInfo::exists(path) && !ports.contains(path))
                ports << path;
        }
        return ports;
    };
}
} // namespace

Core::Core(QObject *parent, const QStringList &extraPorts)
    : QObject(parent)
    , mainWindow(new MainWindow(nullptr, withExtraPorts(extraPorts)))
{
    if (!extraPorts.isEmpty())
        mainWindow->portPanel()->selectPort(extraPorts.constFirst());
    mainWindow->show();

    const QRect available = mainWindow->screen()->availableGeometry();
    const int centreX = (available.left() + available.right()) / 2;
    qCDebug(lcCore) << "center.x" << centreX << "width()" << mainWindow->width();
    mainWindow->move(centredTopLeft(available, mainWindow->size()));
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
