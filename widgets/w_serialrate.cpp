#include "w_serialrate.h"

#include "w_rb.h"

#include <QGridLayout>
#include <QGroupBox>

namespace {

// The highest serial data rate index that a radio data rate index sustains.
int highestSustainedRate(quint8 radioRate)
{
    static constexpr int highest[] = {2, 3, 4, 5, 7};
    return radioRate < 5 ? highest[radioRate] : 0;
}

} // namespace

W_SerialRate::W_SerialRate(QWidget *parent)
    : W_QWidget(parent)
    , group(new QGroupBox(tr("Serial Data Rate"), this))
{
    group->setObjectName(QStringLiteral("Serial Data Rate"));
    // The group's tip serves its buttons, which have none of their own.
    group->setToolTip(tr("Serial data rate of the RS-485 line.\n"
                         "Green: the radio data rate can carry this rate.\n"
                         "Yellow: faster than the radio data rate can carry."));
    auto *groupLayout = new QGridLayout(group);
    groupLayout->setSpacing(0);
    const char *const rates[] = {QT_TR_NOOP("1200 bps"),  QT_TR_NOOP("2400 bps"),  QT_TR_NOOP("4800 bps"),
                                 QT_TR_NOOP("9600 bps"),  QT_TR_NOOP("19200 bps"), QT_TR_NOOP("38400 bps"),
                                 QT_TR_NOOP("57600 bps"), QT_TR_NOOP("115200 bps")};
    quint8 number = 0;
    for (const char *text : rates) {
        auto *rb = new W_Rb(group, number, tr(text));
        groupLayout->addWidget(rb, number % 4, number / 4);
        rbList.append(rb);
        ++number;
    }

    auto *layout = new QGridLayout(this);
    layout->setSpacing(0);
    layout->addWidget(group, 0, 0);
}

void W_SerialRate::setRadioRate(quint8 radioRate)
{
    const int highest = highestSustainedRate(radioRate);
    for (int i = 0; i < rbList.size(); ++i) {
        W_Rb *rb = rbList.at(i);
        // The base colour fills the button's indicator.
        QPalette palette = rb->palette();
        palette.setBrush(QPalette::Base, QBrush(i > highest ? Qt::yellow : Qt::green));
        rb->setPalette(palette);
    }
}
