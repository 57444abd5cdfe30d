#include "w_adres.h"

#include "widgetslog.h"

#include <QBrush>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QSpinBox>

W_Adres::W_Adres(QWidget *parent)
    : QWidget(parent)
    , check(new QCheckBox(this))
    , spin(new QSpinBox(this))
{
    spin->setRange(0, 63);
    spin->setEnabled(check->isChecked());
    check->setToolTip(tr("Take this address into the test."));
    spin->setAccessibleName(tr("Remote address"));
    setRepeated(false);

    auto *layout = new QHBoxLayout(this);
    layout->setSpacing(2);
    // Keep the style's side margins, only the top and bottom ones are tightened.
    const QMargins margins = layout->contentsMargins();
    layout->setContentsMargins(margins.left(), 2, margins.right(), 2);
    layout->addWidget(check);
    layout->addWidget(spin);

    for (int i = 0; i < rectCount; ++i) {
        auto *mark = new QWidget(this);
        mark->setMinimumWidth(5);
        mark->setMaximumHeight(25);
        auto *markLayout = new QHBoxLayout(mark);
        markLayout->addWidget(new QLabel(mark));
        layout->addWidget(mark);
        marks.append(mark);
        colours.append(QColor(Qt::gray));
    }
    repaintRects();

    summary = new QLabel(this);
    // Room for a night's polls, so the marks keep their width as it grows.
    summary->setMinimumWidth(summary->fontMetrics().horizontalAdvance(QStringLiteral("0000/0000 100%")));
    layout->addWidget(summary);
    showStatistics();

    connect(check, &QCheckBox::toggled, this, &W_Adres::slCheckEn);
    // The counts belong to an address: a report must not give the polls of
    // one address to another.
    connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), this, &W_Adres::clearStatistics);
}

void W_Adres::slCheckEn(bool on)
{
    spin->setEnabled(on && check->isEnabled());
}

void W_Adres::setEditable(bool on)
{
    check->setEnabled(on);
    spin->setEnabled(on && check->isChecked());
}

quint8 W_Adres::adres() const
{
    return quint8(spin->value());
}

void W_Adres::setAdres(quint8 adres)
{
    spin->setValue(adres);
}

bool W_Adres::isChecked() const
{
    return check->isChecked();
}

void W_Adres::addRect(TestRequestStatus status)
{
    qCDebug(lcWAdres) << "addRect" << status << adres();
    switch (status) {
    case Sent:
        pendingRoundTrip = -1;
        pendingSentAt = QDateTime::currentDateTime();
        colours.removeLast();
        colours.prepend(QColor(Qt::yellow));
        repaintRects();
        break;
    }
}

void W_Adres::setOkRect()
{
    colours[0] = QColor(Qt::green);
    repaintRects();
    stats.addAnswered(pendingRoundTrip, pendingSentAt);
    pendingRoundTrip = -1;
    showStatistics();
}

void W_Adres::setErrRect()
{
    colours[0] = QColor(Qt::red);
    repaintRects();
    stats.addUnanswered(pendingSentAt);
    pendingRoundTrip = -1;
    showStatistics();
}

void W_Adres::setRoundTrip(int ms)
{
    pendingRoundTrip = ms;
}

void W_Adres::clearStatistics()
{
    stats.clear();
    pendingRoundTrip = -1;
    showStatistics();
}

// The row's tip serves its marks, and adds the counts once there are any. A
// screen reader hears the address and the counts when it reaches the row's
// check box, which has no text of its own.
void W_Adres::showStatistics()
{
    summary->setText(stats.summary());
    check->setAccessibleName(stats.polled() == 0
                                 ? tr("Address %1").arg(adres())
                                 : tr("Address %1: answered %2 of %3 polls (%4%)")
                                       .arg(adres())
                                       .arg(stats.answered())
                                       .arg(stats.polled())
                                       .arg(stats.percent()));
    QString tip = tr("The latest ten polls of this address, newest on the left:\n"
                     "yellow under way, green answered, red missed, grey no result.");
    const QString details = stats.details();
    if (!details.isEmpty())
        tip += QLatin1Char('\n') + details;
    setToolTip(tip);
}

void W_Adres::clearRects()
{
    for (QColor &c : colours)
        c = QColor(Qt::gray);
    repaintRects();
}

void W_Adres::setRepeated(bool repeated)
{
    // A palette with no colour set inherits them all; only the text colour
    // is set for a repeated address, paler while the row is not ticked.
    QPalette pal;
    if (repeated) {
        pal.setColor(QPalette::Active, QPalette::Text, Qt::red);
        pal.setColor(QPalette::Inactive, QPalette::Text, Qt::red);
        pal.setColor(QPalette::Disabled, QPalette::Text, QColor(224, 112, 112));
    }
    spin->setPalette(pal);
    spin->setToolTip(repeated ? tr("Address %1 is in an earlier row too; that row receives its results, "
                                   "this one stays empty.")
                                    .arg(spin->value())
                              : tr("Remote address to poll, 0 to 63."));
}

void W_Adres::repaintRects()
{
    for (int i = 0; i < rectCount; ++i) {
        QPalette pal = palette();
        pal.setBrush(QPalette::Window, QBrush(colours.at(i), Qt::SolidPattern));
        marks.at(i)->setAutoFillBackground(true);
        marks.at(i)->setPalette(pal);
    }
}

QList<QWidget *> W_Adres::rects() const
{
    return marks;
}

QCheckBox *W_Adres::checkBox() const
{
    return check;
}

QSpinBox *W_Adres::spinBox() const
{
    return spin;
}
