#include "w_key.h"

#include <QGridLayout>
#include <QPushButton>

W_Key::W_Key(QWidget *parent)
    : W_QWidget(parent)
{
    auto *layout = new QGridLayout(this);
    layout->setSpacing(9);
    // -1 keeps the style's own margin on that side.
    layout->setContentsMargins(-1, 5, -1, 1);

    // A key's name is its action's name; its text is said in the operator's language.
    const auto addKey = [this, layout](const QString &name, const QString &text, int column) {
        auto *key = new QPushButton(text, this);
        key->setObjectName(name);
        layout->addWidget(key, 1, column);
        return key;
    };
    addKey(QStringLiteral("READ"), tr("READ"), 0)
        ->setToolTip(tr("Read every setting from the device again; changes not yet written are replaced."));
    addKey(QStringLiteral("WRITE"), tr("WRITE"), 1)
        ->setToolTip(tr("Write the settings shown in the panels to the device."));
    addKey(QStringLiteral("DEFAULT"), tr("DEFAULT"), 4)
        ->setToolTip(tr("Restore the device's factory settings, after a question."));
    QPushButton *freeze = addKey(QStringLiteral("Freeze Protection"), tr("Freeze Protection"), 5);
    freeze->setCheckable(true);
    freeze->setToolTip(tr("Show or hide the freeze protection settings: the device's two recovery timers."));
}
