#pragma once

#include "w_comport.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

class MainWindow;

// Creates the main window, shows it and centres it on the screen that holds it.
class Core : public QObject
{
    Q_OBJECT

public:
    // `extraPorts` are offered in the port list beside the ports that
    // `systemPorts` lists, while they exist and name no device listed already;
    // the first of them is selected. A `settingsFile` is opened once the
    // window is up, as "Open Settings" opens one.
    explicit Core(QObject *parent = nullptr, const QStringList &extraPorts = {},
                  const QString &settingsFile = {},
                  const W_ComPort::PortLister &systemPorts = &W_ComPort::systemPortNames);
    ~Core() override;

    MainWindow *window() const { return mainWindow; }

    // Top-left corner that centres a window of `size` in `available`, whose
    // right and bottom edges are inclusive. Halves truncate toward zero.
    static QPoint centredTopLeft(const QRect &available, const QSize &size);

private:
    MainWindow *mainWindow;
};
