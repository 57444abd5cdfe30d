#pragma once

#include <QRadioButton>

// A radio button that stands for one setting value within its group.
class W_Rb : public QRadioButton
{
    Q_OBJECT

public:
    W_Rb(QWidget *parent, quint8 number, const QString &text);

    quint8 number() const { return m_number; }

private:
    quint8 m_number;
};
