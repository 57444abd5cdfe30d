#include "savedfile.h"

#include "safefile.h"

#include <QFileDialog>
#include <QMessageBox>

QString SavedFile::askName(QWidget *parent, const QString &title, const QString &filter, const QString &extension,
                           const QString &suggestedName)
{
    // The dialog adds the extension itself, before it asks whether to replace
    // an existing file: the name it asks about is the one written.
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(extension.startsWith(QLatin1Char('.')) ? extension.mid(1) : extension);
    if (!suggestedName.isEmpty())
        dialog.selectFile(suggestedName);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

bool SavedFile::write(QWidget *parent, const QString &fileName, const QByteArray &bytes, bool text,
                      const QString &title, const QString &failure)
{
    QString error;
    const bool saved = SafeFile::write(fileName, bytes, text, &error);
    if (!saved)
        QMessageBox::warning(parent, title, failure.arg(fileName, error));
    return saved;
}
