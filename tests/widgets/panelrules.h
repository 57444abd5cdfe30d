#pragma once

#include <QList>
#include <QObject>

#include <functional>

// The panel rules run as one program: each test class of the group registers
// itself with RYD_PANEL_RULES, and the program's main runs them in turn.
using PanelRulesFactory = std::function<QObject *()>;

inline QList<PanelRulesFactory> &panelRulesClasses()
{
    static QList<PanelRulesFactory> classes;
    return classes;
}

struct PanelRulesRegistration
{
    explicit PanelRulesRegistration(PanelRulesFactory factory) { panelRulesClasses().append(std::move(factory)); }
};

#define RYD_PANEL_RULES(Class) \
    static const PanelRulesRegistration registration##Class([] { return static_cast<QObject *>(new Class); });
