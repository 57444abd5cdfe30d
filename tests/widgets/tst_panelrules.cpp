#include "panelrules.h"

#include <QApplication>
#include <QTest>

#include <memory>

// Runs every registered class of the panel rules; fails when any case fails.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    int failed = 0;
    for (const PanelRulesFactory &make : panelRulesClasses()) {
        const std::unique_ptr<QObject> tests(make());
        failed += QTest::qExec(tests.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
