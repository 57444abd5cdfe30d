#pragma once

#include "w_adres.h"

#include <QLabel>
#include <QPushButton>
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
