#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

// Saving a file the operator names: the settings, the radio test's report,
// the traffic log.
class SavedFile
{
public:
    // Asks where to save; a name typed without an extension gets `extension`
    // (".ryd") before the dialog asks whether to replace an existing file.
    // `suggestedName` is offered in the name field. Empty when the operator
    // cancels.
    static QString askName(QWidget *parent, const QString &title, const QString &filter,
                           const QString &extension, const QString &suggestedName = QString());

    // Writes the bytes beside `fileName` and renames them over it only when they
    // are complete, so that a failed save leaves an earlier file whole. On
    // failure a box titled `title` says `failure`, whose %1 is the file and %2
    // the system's reason. `text` writes line ends as the platform has them.
    static bool write(QWidget *parent, const QString &fileName, const QByteArray &bytes, bool text,
                      const QString &title, const QString &failure);
};
