#include "savedfile.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QSaveFile>

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
    QSaveFile file(fileName);
    const QIODevice::OpenMode mode = text ? QIODevice::WriteOnly | QIODevice::Text : QIODevice::WriteOnly;
    const bool saved = file.open(mode) && file.write(bytes) == bytes.size() && file.commit();
    if (!saved)
        QMessageBox::warning(parent, title, failure.arg(fileName, file.errorString()));
    return saved;
}
