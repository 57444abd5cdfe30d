#include "core.h"

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // These two names select the per-user settings store ("PortName").
    QCoreApplication::setOrganizationName(QStringLiteral("Morvell"));
    QCoreApplication::setApplicationName(QStringLiteral("Ryd"));

    Core core;
    return app.exec();
}
