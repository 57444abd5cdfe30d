#include "w_radiocommonright.h"

#include "w_power.h"
#include "w_progress.h"
#include "w_rb.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

W_RadioCommonRight::W_RadioCommonRight(QWidget *parent)
    : W_QWidget(parent)
    , group(new QGroupBox(tr("Radio Data Rate"), this))
    , distance(new W_Progress(group))
    , power(new W_Power(this))
{
    group->setObjectName(QStringLiteral("Radio Data Rate"));
    // The group's tip serves its buttons; the distance bar has its own.
    group->setToolTip(tr("Data rate of the radio link. The slower the rate, the farther it reaches and the more "
                         "channels it offers. Both ends of a link need the same rate."));
    auto *groupLayout = new QGridLayout(group);
    const char *const rates[] = {QT_TR_NOOP("4800 bps"), QT_TR_NOOP("9600 bps"), QT_TR_NOOP("19200 bps"),
                                 QT_TR_NOOP("38400 bps"), QT_TR_NOOP("115200 bps")};
    quint8 number = 0;
    for (const char *text : rates) {
        auto *rb = new W_Rb(group, number, tr(text));
        connect(rb, &W_Rb::toggled, this, &W_RadioCommonRight::updateDistance);
        groupLayout->addWidget(rb, number, 0);
        rbList.append(rb);
        ++number;
    }
    groupLayout->addWidget(distance, 5, 0);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(power);
}

void W_RadioCommonRight::updateDistance()
{
    for (const W_Rb *rb : qAsConst(rbList)) {
        if (!rb->isChecked())
            continue;
        // The bar never reads a full 100: the slowest rate shows 98.
        const quint8 percent = quint8((5 - rb->number()) * 20);
        distance->setPercent(percent > 99 ? 98 : percent);
    }
}
