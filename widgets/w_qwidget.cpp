#include "w_qwidget.h"

#include "w_power.h"
#include "w_rb.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

// Each marked widget keeps its own tooltip here, given back when the mark goes.
const char ownToolTip[] = "ownToolTip";
const char markNote[] = "markNote";

bool isMarked(const QWidget *widget)
{
    return !widget->property(markNote).toString().isEmpty();
}

void setBold(QWidget *widget, bool on)
{
    QFont font = widget->font();
    font.setBold(on);
    widget->setFont(font);
}

// A mark sets its caption in bold: the caption gets the width of its bold
// form from the start, so that a mark coming or going moves no control and
// leaves the window's size as it is. Measured without a change of font,
// which would set the caption's font for good.
void reserveBoldWidth(QWidget *title)
{
    QString text;
    if (auto *label = qobject_cast<QLabel *>(title))
        text = label->text();
    else if (auto *group = qobject_cast<QGroupBox *>(title))
        text = group->title() + QLatin1Char(' ');
    QFont bold = title->font();
    bold.setBold(true);
    const int extra = QFontMetrics(bold).horizontalAdvance(text) - title->fontMetrics().horizontalAdvance(text);
    const int width = qMax(title->sizeHint().width(), title->minimumSizeHint().width()) + qMax(0, extra);
    title->setMinimumWidth(qMax(title->minimumWidth(), width));
}

void setNote(QWidget *widget, const QString &note)
{
    if (!widget->property(ownToolTip).isValid())
        widget->setProperty(ownToolTip, widget->toolTip());
    const QString own = widget->property(ownToolTip).toString();
    widget->setProperty(markNote, note);
    if (note.isEmpty())
        widget->setToolTip(own);
    else
        widget->setToolTip(own.isEmpty() ? note : note + QLatin1Char('\n') + own);
}

} // namespace

W_QWidget::W_QWidget(QWidget *parent)
    : QWidget(parent)
{
}

// The title is what the operator reads, in the operator's language; the
// object name keeps the setting's name where it is given.
QString W_QWidget::groupName(const QGroupBox *group)
{
    return group->objectName().isEmpty() ? group->title() : group->objectName();
}

QLabel *W_QWidget::caption(const QString &text, QWidget *control)
{
    auto *label = new QLabel(text, control->parentWidget());
    label->setBuddy(control);
    return label;
}

void W_QWidget::connectAll()
{
    connectChildren(this);
    QList<QWidget *> controls;
    for (QSpinBox *spin : qAsConst(spinBoxes))
        controls.append(spin);
    for (QComboBox *combo : qAsConst(comboBoxes))
        controls.append(combo);
    for (W_Power *power : qAsConst(powerPanels))
        controls.append(power);
    for (W_Rb *rb : qAsConst(radioButtons)) {
        if (auto *group = qobject_cast<QGroupBox *>(rb->parent()); group && !controls.contains(group))
            controls.append(group);
    }
    for (QWidget *control : qAsConst(controls)) {
        if (QWidget *title = captionOf(control); title != control || qobject_cast<QGroupBox *>(title))
            reserveBoldWidth(title);
    }
}

void W_QWidget::connectChildren(QObject *obj)
{
    for (QObject *c : obj->children()) {
        if (auto *spin = qobject_cast<QSpinBox *>(c)) {
            spinBoxes.append(spin);
            connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), this, &W_QWidget::slValueChange);
        }
        if (auto *combo = qobject_cast<QComboBox *>(c)) {
            comboBoxes.append(combo);
            connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &W_QWidget::slValueChange);
            connect(combo, &QComboBox::currentTextChanged, this, &W_QWidget::slTextChange);
        }
        if (auto *rb = qobject_cast<W_Rb *>(c)) {
            radioButtons.append(rb);
            connect(rb, &W_Rb::pressed, this, &W_QWidget::slPressed);
        }
        if (auto *button = qobject_cast<QPushButton *>(c)) {
            pushButtons.append(button);
            connect(button, &QPushButton::pressed, this, &W_QWidget::slPressed);
        }
        if (auto *power = qobject_cast<W_Power *>(c)) {
            powerPanels.append(power);
            connect(power, &W_Power::sgSetPower, this, &W_QWidget::slValueChange);
        }
        describe(c);
        connectChildren(c);
    }
}

// A screen reader reads a control's tooltip as its description. A control
// without a tooltip of its own shows the nearest one around it, the tooltip
// of its group or panel; the reader is given that one too.
void W_QWidget::describe(QObject *obj)
{
    auto *widget = qobject_cast<QWidget *>(obj);
    // A spin box's line edit passes its focus to the spin box, which is described.
    if (!widget || widget->focusPolicy() == Qt::NoFocus || widget->focusProxy() || !widget->toolTip().isEmpty()
        || !widget->accessibleDescription().isEmpty()) {
        return;
    }
    for (QWidget *around = widget->parentWidget(); around; around = around->parentWidget()) {
        if (!around->toolTip().isEmpty()) {
            widget->setAccessibleDescription(around->toolTip());
            return;
        }
    }
}

void W_QWidget::slValueChange(int v)
{
    emit sgValueChange(sender() ? sender()->objectName() : QString(), v);
}

void W_QWidget::slTextChange(const QString &t)
{
    emit sgTextChange(sender() ? sender()->objectName() : QString(), t);
}

void W_QWidget::slPressed()
{
    QObject *s = sender();
    if (auto *rb = qobject_cast<W_Rb *>(s)) {
        if (auto *group = qobject_cast<QGroupBox *>(rb->parent()))
            emit sgValueChange(groupName(group), rb->number());
    }
    // pressed() comes before the click toggles a checkable button, so this is
    // the state the button had before the press.
    if (auto *button = qobject_cast<QPushButton *>(s))
        emit sgValueChange(button->objectName(), button->isChecked() ? 1 : 0);
}

void W_QWidget::setValueByName(const QString &name, int value)
{
    setValueBelow(this, name, value);
}

// A control made to show a value reports nothing: its signals are blocked
// while it takes the value. A button chosen by name reports nothing anyway,
// as only a press does.
void W_QWidget::setValueBelow(QObject *obj, const QString &name, int value)
{
    for (QObject *c : obj->children()) {
        if (auto *spin = qobject_cast<QSpinBox *>(c)) {
            if (spin->objectName().startsWith(name)) {
                const QSignalBlocker quiet(spin);
                spin->setValue(value);
            }
        } else if (auto *combo = qobject_cast<QComboBox *>(c)) {
            if (combo->objectName().startsWith(name)) {
                const QSignalBlocker quiet(combo);
                combo->setCurrentIndex(value);
            }
        } else if (auto *group = qobject_cast<QGroupBox *>(c)) {
            if (groupName(group).startsWith(name)) {
                for (QObject *member : group->children()) {
                    auto *rb = qobject_cast<W_Rb *>(member);
                    if (rb && rb->number() == value)
                        rb->setChecked(true);
                }
            }
        } else if (auto *power = qobject_cast<W_Power *>(c)) {
            if (power->objectName().startsWith(name)) {
                const QSignalBlocker quiet(power);
                power->setPower(quint8(value));
            }
        }
        setValueBelow(c, name, value);
    }
}

void W_QWidget::setTextByName(const QString &name, const QString &text)
{
    setTextBelow(this, name, text);
}

void W_QWidget::setTextBelow(QObject *obj, const QString &name, const QString &text)
{
    for (QObject *c : obj->children()) {
        if (auto *button = qobject_cast<QPushButton *>(c)) {
            if (button->objectName().startsWith(name))
                button->setText(text);
        } else if (auto *edit = qobject_cast<QLineEdit *>(c)) {
            if (edit->objectName().startsWith(name))
                edit->setText(text);
        }
        setTextBelow(c, name, text);
    }
}

QString W_QWidget::textByName(const QString &name) const
{
    const QComboBox *combo = findComboBox(this, name);
    return combo ? combo->currentText() : QString();
}

// The first matching combo box in child order; the panels give each name to
// one combo box only.
QComboBox *W_QWidget::findComboBox(const QObject *obj, const QString &name)
{
    for (QObject *c : obj->children()) {
        auto *combo = qobject_cast<QComboBox *>(c);
        if (combo && combo->objectName().startsWith(name))
            return combo;
        if (QComboBox *below = findComboBox(c, name))
            return below;
    }
    return nullptr;
}

// The first control in child order that carries a value under `name`.
QWidget *W_QWidget::findValueWidget(const QObject *obj, const QString &name)
{
    for (QObject *c : obj->children()) {
        auto *group = qobject_cast<QGroupBox *>(c);
        if (group && groupName(group).startsWith(name))
            return group;
        if ((qobject_cast<QSpinBox *>(c) || qobject_cast<QComboBox *>(c) || qobject_cast<W_Power *>(c))
            && c->objectName().startsWith(name)) {
            return static_cast<QWidget *>(c);
        }
        if (QWidget *below = findValueWidget(c, name))
            return below;
    }
    return nullptr;
}

int W_QWidget::valueByName(const QString &name) const
{
    QWidget *widget = findValueWidget(this, name);
    if (auto *spin = qobject_cast<QSpinBox *>(widget))
        return spin->value();
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->currentIndex();
    if (auto *power = qobject_cast<W_Power *>(widget))
        return power->power();
    if (widget) {
        for (QObject *member : widget->children()) {
            auto *rb = qobject_cast<W_Rb *>(member);
            if (rb && rb->isChecked())
                return rb->number();
        }
    }
    return -1;
}

// The label whose buddy is the control or lies in it; a group box of buttons
// is its own caption, and a control without a caption stands for itself.
QWidget *W_QWidget::captionOf(QWidget *control) const
{
    for (QLabel *label : findChildren<QLabel *>()) {
        QWidget *buddy = label->buddy();
        if (buddy && (buddy == control || control->isAncestorOf(buddy)))
            return label;
    }
    return control;
}

void W_QWidget::markByName(const QString &name, const QString &note)
{
    QWidget *control = findValueWidget(this, name);
    if (!control)
        return;
    QWidget *title = captionOf(control);
    if (title->property(markNote).toString() == note)
        return;
    setNote(control, note);
    if (title != control)
        setNote(title, note);
    setBold(title, !note.isEmpty());
    // A group box hands its font down: what it holds keeps its own weight.
    if (qobject_cast<QGroupBox *>(title)) {
        for (QWidget *inner : title->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            setBold(inner, isMarked(inner));
    }
}
