#pragma once

#include <QString>

class QCoreApplication;

// The language the program speaks: Russian ("ru"), or the source texts
// ("en"). The texts of the program and Qt's own (the message box keys, the
// file dialog) follow it.
class Language
{
public:
    // `requested` is "ru" or "en" as given on the command line; empty follows
    // the system's locale (LANGUAGE, LC_ALL, LC_MESSAGES, LANG): Russian for
    // a Russian one, the source texts for any other.
    static QString chosen(const QString &requested);

    // Installs the translations of `language` on `app`, which owns them. Qt's
    // own come from the system's catalogues where it has them.
    static void install(QCoreApplication *app, const QString &language);
};
