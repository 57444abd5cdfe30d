#include "language.h"

#include "applog.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {

QString qtTranslationsPath()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

void installCatalogue(QCoreApplication *app, const QString &fileName, const QString &directory)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(fileName, directory)) {
        qCDebug(lcCore) << "no translation" << fileName << "in" << directory;
        return;
    }
    translator->setParent(app);
    QCoreApplication::installTranslator(translator.release());
}

} // namespace

QString Language::chosen(const QString &requested)
{
    if (!requested.isEmpty())
        return requested;
    // The first of the interface languages is the messages locale.
    const QString messages = QLocale::system().uiLanguages().value(0);
    return QLocale(messages).language() == QLocale::Russian ? QStringLiteral("ru") : QStringLiteral("en");
}

void Language::install(QCoreApplication *app, const QString &language)
{
    // The source texts are English.
    if (language == QLatin1String("en"))
        return;
    // The translations are a resource of this static library.
    Q_INIT_RESOURCE(translations);
    installCatalogue(app, QStringLiteral("ryd-configurator_") + language, QStringLiteral(":/i18n"));
    for (const char *catalogue : {"qtbase_", "qtserialport_"})
        installCatalogue(app, QLatin1String(catalogue) + language, qtTranslationsPath());
}
