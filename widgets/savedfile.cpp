#include "savedfile.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>

QString SavedFile::askName(QWidget *parent, const QString &title, const QString &filter, const QString &extension)
{
    const QString fileName = QFileDialog::getSaveFileName(parent, title, QString(), filter);
    if (fileName.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    return fileName + extension;
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
