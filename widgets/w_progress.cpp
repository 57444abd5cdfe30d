#include "w_progress.h"

#include <QFontMetrics>
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
    fitTextToBar();
    showPercentInToolTip();

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("0"), this), 0, Qt::AlignCenter);
    layout->addWidget(bar);
    layout->addWidget(new QLabel(QStringLiteral("100"), this), 0, Qt::AlignCenter);
}

// The bar's width is fixed; where the desktop font is too wide for its words
// (they would wrap and be cut), the bar alone gets a smaller font.
void W_Progress::fitTextToBar()
{
    const int room = bar->width() - 6;
    QFont font = bar->font();
    while (QFontMetrics(font).horizontalAdvance(bar->format()) > room && font.pointSizeF() > 6.0)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    bar->setFont(font);
}

void W_Progress::setPercent(int percent)
{
    bar->setValue(percent);
    showPercentInToolTip();
}

// The bar's words cover most of its fill, so its value is told in words too.
void W_Progress::showPercentInToolTip()
{
    setToolTip(tr("Distance %1 %: how far the chosen radio data rate reaches. "
                  "The slower the rate, the farther it reaches.")
                   .arg(bar->value()));
}

int W_Progress::percent() const
{
    return bar->value();
}
