#pragma once

#include "w_adres.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <algorithm>


// The test panel's rows in list order, its TEST key (checkable, "STOP" while a test runs) and CLEAN TEST key.
template <typename Panel>
QList<W_Adres *> rowsOf(const Panel *panel)
{
    return panel->template findChildren<W_Adres *>();
}

template <typename Panel>
QPushButton *testKeyOf(const Panel *panel)
{
    const auto keys = panel->template findChildren<QPushButton *>();
    const auto key = std::find_if(keys.begin(), keys.end(), [](QPushButton *k) { return k->isCheckable(); });
    return key == keys.end() ? nullptr : *key;
}

template <typename Panel>
QPushButton *cleanKeyOf(const Panel *panel)
{
    const auto keys = panel->template findChildren<QPushButton *>();
    const auto key = std::find_if(keys.begin(), keys.end(), [](QPushButton *k) { return k->text() == "CLEAN TEST"; });
    return key == keys.end() ? nullptr : *key;
}
