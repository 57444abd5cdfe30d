#include "w_rb.h"

W_Rb::W_Rb(QWidget *parent, quint8 number, const QString &text)
    : QRadioButton(text, parent)
    , m_number(number)
{
}
