#pragma once

#include <QRadioButton>

// A radio button that stands for one setting value within its group. The
// checked button of a group is the group's stop in the Tab chain, so Tab
// enters the group where its value is; the arrow keys move within it.
class W_Rb : public QRadioButton
{
    Q_OBJECT

public:
    W_Rb(QWidget *parent, quint8 number, const QString &text);

    quint8 number() const { return m_number; }

private:
    void takeTabStop();

    quint8 m_number;
};
