#include "windowfit.h"

#include "w_test.h"

#include <QCoreApplication>
#include <QLayout>
#include <QMainWindow>
#include <QScreen>

namespace {

// The height the window gains when the freeze-protection panel opens.
constexpr int freezProtectionHeight = 75;

} // namespace

WindowFit::WindowFit(QMainWindow *window, W_Test *test, QWidget *freezProtection)
    : QObject(window)
    , window(window)
    , test(test)
    , freezProtection(freezProtection)
{
}

// The window's least height shows all ten address rows where the screen's
// available area has room for them, and as many as fit otherwise: the rows
// come before the other panels' preferred heights, which a layout short of
// room would share equally. A frame the window manager has not added yet
// counts as none.
void WindowFit::fitAddressRows()
{
    // The panels' layouts tell their parents of a new least height through
    // posted events; they are taken at once, and the central widget's layout
    // is activated before the window's own, so that the least height read
    // here is the one the window gets.
    const auto settle = [this] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        window->centralWidget()->layout()->invalidate();
        window->centralWidget()->layout()->activate();
        window->layout()->invalidate();
        window->layout()->activate();
    };
    test->setRowsRoom(0);
    settle();
    const int frameHeight = window->frameGeometry().height() - window->height();
    test->setRowsRoom(window->screen()->availableGeometry().height() - frameHeight - window->minimumHeight());
    settle();
}

// The window grows by the panel's height when it opens, staying inside the
// screen's available area, and gets back the height and place it had when it
// closes: a window manager may settle the grown window at another height
// than asked for, so the shrink is not worked out from it. A maximized
// window keeps its size: the address rows give or take the room.
void WindowFit::setFreezProtectionShown(bool on)
{
    if (on != freezProtection->isHidden())
        return;
    const QRect before(window->pos(), window->size());
    freezProtection->setVisible(on);
    fitAddressRows();
    if (window->isMaximized() || window->isFullScreen()) {
        freezProtectionReturn = QRect();
        return;
    }
    if (on) {
        freezProtectionReturn = before;
        window->resize(window->width(), before.height() + freezProtectionHeight);
        keepInsideAvailableArea();
    } else if (freezProtectionReturn.isValid()) {
        window->resize(window->width(), freezProtectionReturn.height());
        window->move(freezProtectionReturn.topLeft());
        freezProtectionReturn = QRect();
    }
}

// Shown for the first time, the panels report their least heights: the
// address rows are fitted then, before the window is placed.
void WindowFit::shown(bool spontaneous)
{
    if (!spontaneous && !rowsFitted) {
        rowsFitted = true;
        fitAddressRows();
    }
}

// A window manager frames the window only once it is shown: when the frame
// is first known, the window is kept inside the available area once more,
// title bar included.
void WindowFit::moved()
{
    // A frame around a window at the screen's origin is one the window
    // manager has not placed yet.
    if (framed || window->frameGeometry() == window->geometry() || window->pos().isNull())
        return;
    framed = true;
    QMetaObject::invokeMethod(this, &WindowFit::keepInsideAvailableArea, Qt::QueuedConnection);
}

void WindowFit::keepInsideAvailableArea()
{
    if (window->isMaximized() || window->isFullScreen())
        return;
    const QRect area = window->screen()->availableGeometry();
    const int frameHeight = window->frameGeometry().height() - window->height();
    if (window->frameGeometry().height() > area.height())
        window->resize(window->width(), qMax(window->minimumHeight(), area.height() - frameHeight));
    const QRect frame = window->frameGeometry();
    const int left = qMax(area.left(), qMin(frame.left(), area.right() + 1 - frame.width()));
    const int top = qMax(area.top(), qMin(frame.top(), area.bottom() + 1 - frame.height()));
    if (QPoint(left, top) != frame.topLeft())
        window->move(left, top);
}
