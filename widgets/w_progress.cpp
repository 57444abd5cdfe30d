#include "w_progress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

W_Progress::W_Progress(QWidget *parent)
    : QWidget(parent)
    , bar(new QProgressBar(this))
{
    bar->setOrientation(Qt::Horizontal);
    bar->setFixedWidth(65);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(true);
    bar->setAlignment(Qt::AlignCenter);
    // No placeholder on purpose: the words stay, the fill shows the percentage.
    bar->setFormat(tr("Distance %"));

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("0"), this), 0, Qt::AlignCenter);
    layout->addWidget(bar);
    layout->addWidget(new QLabel(QStringLiteral("100"), this), 0, Qt::AlignCenter);
}

void W_Progress::setPercent(int percent)
{
    bar->setValue(percent);
}

int W_Progress::percent() const
{
    return bar->value();
}
