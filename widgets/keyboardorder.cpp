#include "keyboardorder.h"

#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>

namespace {

void appendInLayoutOrder(QWidget *widget, QList<QWidget *> &widgets);

void appendInLayoutOrder(QLayout *layout, QList<QWidget *> &widgets)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (QLayout *inner = item->layout())
            appendInLayoutOrder(inner, widgets);
        else if (QWidget *widget = item->widget())
            appendInLayoutOrder(widget, widgets);
    }
}

// The widget, then what its layout or its scroll area holds, in the order the
// layouts hold them.
void appendInLayoutOrder(QWidget *widget, QList<QWidget *> &widgets)
{
    widgets.append(widget);
    if (auto *scroll = qobject_cast<QScrollArea *>(widget)) {
        if (scroll->widget())
            appendInLayoutOrder(scroll->widget(), widgets);
    } else if (widget->layout()) {
        appendInLayoutOrder(widget->layout(), widgets);
    }
}

} // namespace

KeyboardOrder::KeyboardOrder(QWidget *top)
    : QObject(top)
{
    QList<QWidget *> widgets;
    appendInLayoutOrder(top, widgets);
    QWidget *previous = nullptr;
    for (QWidget *widget : qAsConst(widgets)) {
        if (widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
    for (QPushButton *button : top->findChildren<QPushButton *>())
        button->installEventFilter(this);
}

bool KeyboardOrder::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *button = qobject_cast<QPushButton *>(watched);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (button && enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            // A held key repeats nothing, as with Space.
            if (!key->isAutoRepeat())
                button->click();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
