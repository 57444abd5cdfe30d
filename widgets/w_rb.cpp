#include "w_rb.h"

W_Rb::W_Rb(QWidget *parent, quint8 number, const QString &text)
    : QRadioButton(text, parent)
    , m_number(number)
{
    connect(this, &QAbstractButton::toggled, this, [this](bool checked) {
        if (checked)
            takeTabStop();
    });
}

// The toolkit keeps one button of an auto-exclusive group in the Tab chain:
// the one focused last, which need not be the checked one. A disabled button
// is never the stop, or Tab could not reach the group at all.
void W_Rb::takeTabStop()
{
    if (!isEnabled() || !parentWidget())
        return;
    const auto siblings = parentWidget()->findChildren<QAbstractButton *>(QString(), Qt::FindDirectChildrenOnly);
    for (QAbstractButton *button : siblings) {
        if (!button->autoExclusive())
            continue;
        const Qt::FocusPolicy policy = button->focusPolicy();
        button->setFocusPolicy(button == this ? Qt::FocusPolicy(policy | Qt::TabFocus)
                                              : Qt::FocusPolicy(policy & ~Qt::TabFocus));
    }
}
