#pragma once

#include <QObject>
#include <QRect>

class QMainWindow;
class QWidget;
class W_Test;

// The window's size and place: its least height shows the test panel's
// address rows as far as the screen has room, the freeze-protection panel
// grows the window when it opens and gives the room back when it closes, and
// the window stays inside the screen's available area.
class WindowFit : public QObject
{
    Q_OBJECT

public:
    WindowFit(QMainWindow *window, W_Test *test, QWidget *freezProtection);

    // Fits the address rows when the window is first shown, and keeps it
    // inside the available area once the window manager's frame is known.
    void shown(bool spontaneous);
    void moved();
    void setFreezProtectionShown(bool on);
    // Moves the window up and left as far as needed for its frame to lie in
    // the available area of its screen, and makes it no taller than that
    // area, as far as its minimum size allows. A window too big for the area
    // keeps its title bar inside it.
    void keepInsideAvailableArea();

private:
    void fitAddressRows();

    QMainWindow *window;
    W_Test *test;
    QWidget *freezProtection;
    // The window's place and size before the freeze-protection panel opened,
    // given back when it closes; null when the window was maximized.
    QRect freezProtectionReturn;
    bool rowsFitted = false;
    // The window manager's frame has been seen.
    bool framed = false;
};
