#include "core.h"

#include "applog.h"
#include "mainwindow.h"

#include <QScreen>

Core::Core(QObject *parent)
    : QObject(parent)
    , mainWindow(new MainWindow)
{
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
