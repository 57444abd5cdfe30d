#pragma once

#include "w_adres.h"
#include "w_rb.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>

// The test panel's rows in list order, and its keys as the operator finds
// them: "TEST" is the checkable one (it reads "STOP" while a test runs).
template <typename Panel>
QList<W_Adres *> rowsOf(const Panel *panel)
{
    return panel->template findChildren<W_Adres *>();
}

template <typename Panel>
QPushButton *testKeyOf(const Panel *panel)
{
    for (QPushButton *key : panel->template findChildren<QPushButton *>()) {
        if (key->isCheckable())
            return key;
    }
    return nullptr;
}

template <typename Panel>
QPushButton *cleanKeyOf(const Panel *panel)
{
    for (QPushButton *key : panel->template findChildren<QPushButton *>()) {
        if (key->text() == QLatin1String("CLEAN TEST"))
            return key;
    }
    return nullptr;
}

// One sgValueChange report: the name and the value.
using Report = QList<QVariant>;

inline QStringList comboItems(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// Clicks a radio button on its text, which is where an operator clicks; the
// middle of a button that the layout stretched can lie outside its hit area.
inline void clickRb(W_Rb *rb)
{
    const QPoint pos(qMin(rb->sizeHint().width(), rb->width()) / 2, rb->height() / 2);
    QTest::mouseClick(rb, Qt::LeftButton, Qt::KeyboardModifiers(), pos);
}

inline void clickCheckBox(QCheckBox *box)
{
    QStyleOptionButton opt;
    opt.initFrom(box);
    const QRect hit = box->style()->subElementRect(QStyle::SE_CheckBoxClickRect, &opt, box);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, hit.center());
}

// The row's marks as recorded, one letter each: '.' grey, 'y' yellow, 'g'
// green, 'r' red; '!' where the mark on screen shows another colour.
inline QString markLetters(const W_Adres &row)
{
    const QList<QColor> colours = row.colors();
    const QList<QWidget *> rects = row.rects();
    QString s;
    for (int i = 0; i < colours.size(); ++i) {
        const QColor c = colours.at(i);
        const QWidget *mark = rects.value(i);
        if (!mark || !mark->autoFillBackground() || mark->palette().color(QPalette::Window) != c)
            s += QLatin1Char('!');
        else
            s += QLatin1Char(c == QColor(Qt::gray) ? '.' : c == QColor(Qt::yellow) ? 'y'
                             : c == QColor(Qt::green) ? 'g' : c == QColor(Qt::red) ? 'r' : '?');
    }
    return s;
}

// Shows the panel at its minimum size and checks that no caption or button
// is squeezed below the size its text needs.
inline void verifyFitsAtMinimumSize(QWidget *panel)
{
    panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    panel->layout()->activate();
    panel->resize(panel->minimumSize());
    panel->layout()->activate();
    QVERIFY(!panel->minimumSize().isEmpty());
    QCOMPARE(panel->size(), panel->minimumSize());

    const auto widgets = panel->findChildren<QWidget *>();
    int checked = 0;
    for (const QWidget *w : widgets) {
        if (!qobject_cast<const QLabel *>(w) && !qobject_cast<const QAbstractButton *>(w))
            continue;
        if (!w->isVisibleTo(panel))
            continue;
        const QSize hint = w->sizeHint();
        const QString text = qobject_cast<const QLabel *>(w)
                                 ? static_cast<const QLabel *>(w)->text()
                                 : static_cast<const QAbstractButton *>(w)->text();
        QVERIFY2(w->width() >= hint.width() && w->height() >= hint.height(),
                 qPrintable(QStringLiteral("\"%1\" is %2x%3, needs %4x%5")
                                .arg(text)
                                .arg(w->width())
                                .arg(w->height())
                                .arg(hint.width())
                                .arg(hint.height())));
        ++checked;
    }
    QVERIFY(checked > 0);
}
