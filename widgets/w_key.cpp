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

    const auto addKey = [this, layout](const QString &name, int column) {
        auto *key = new QPushButton(name, this);
        key->setObjectName(name);
        layout->addWidget(key, 1, column);
        return key;
    };
    addKey(QStringLiteral("READ"), 0);
    addKey(QStringLiteral("WRITE"), 1);
    addKey(QStringLiteral("DEFAULT"), 4);
    addKey(QStringLiteral("Freeze Protection"), 5)->setCheckable(true);
}
