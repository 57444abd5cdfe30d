#include "w_qwidget.h"

#include "w_power.h"
#include "w_rb.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

W_QWidget::W_QWidget(QWidget *parent)
    : QWidget(parent)
{
}

void W_QWidget::connectAll()
{
    connectChildren(this);
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
        connectChildren(c);
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
            emit sgValueChange(group->title(), rb->number());
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

void W_QWidget::setValueBelow(QObject *obj, const QString &name, int value)
{
    for (QObject *c : obj->children()) {
        if (auto *spin = qobject_cast<QSpinBox *>(c)) {
            if (spin->objectName().startsWith(name))
                spin->setValue(value);
        } else if (auto *combo = qobject_cast<QComboBox *>(c)) {
            if (combo->objectName().startsWith(name))
                combo->setCurrentIndex(value);
        } else if (auto *group = qobject_cast<QGroupBox *>(c)) {
            if (group->title().startsWith(name)) {
                for (QObject *member : group->children()) {
                    auto *rb = qobject_cast<W_Rb *>(member);
                    if (rb && rb->number() == value)
                        rb->setChecked(true);
                }
            }
        } else if (auto *power = qobject_cast<W_Power *>(c)) {
            if (power->objectName().startsWith(name))
                power->setPower(quint8(value));
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
        if (group && group->title().startsWith(name))
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
