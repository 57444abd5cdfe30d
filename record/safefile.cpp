#include "safefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>

namespace {

// Flushes what the system holds of the file to the disk: a delayed write
// that fails (a full disk, a lost network share) fails here.
bool syncToDisk(QFileDevice &file, QString *error)
{
#ifdef Q_OS_WIN
    const bool synced = _commit(file.handle()) == 0;
#else
    const bool synced = ::fsync(file.handle()) == 0 || errno == EINVAL;
#endif
    if (!synced)
        *error = QString::fromLocal8Bit(std::strerror(errno));
    return synced;
}

bool writeAll(QFileDevice &file, const QByteArray &bytes, QString *error)
{
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *error = file.errorString();
        return false;
    }
    return syncToDisk(file, error);
}

} // namespace

bool SafeFile::write(const QString &fileName, const QByteArray &bytes, bool text, QString *error)
{
    QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Unbuffered;
    if (text)
        mode |= QIODevice::Text;
    // A name that leads to a device or a pipe is written to, never replaced
    // by a file of its own.
    const QFileInfo target(fileName);
    if (target.exists() && !target.isFile()) {
        QFile device(fileName);
        if (!device.open(mode)) {
            *error = device.errorString();
            return false;
        }
        return writeAll(device, bytes, error);
    }
    QSaveFile file(fileName);
    if (!file.open(mode)) {
        *error = file.errorString();
        return false;
    }
    if (!writeAll(file, bytes, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool SafeFile::append(const QString &fileName, const QByteArray &bytes, bool text, QString *error)
{
    // The length is read from the file system: a device such as /dev/full
    // cannot tell its size.
    const QFileInfo before(fileName);
    const qint64 length = before.isFile() ? before.size() : 0;
    QFile file(fileName);
    // A device or a pipe has no end to seek to: it is written as it is.
    QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Unbuffered;
    if (!before.exists() || before.isFile())
        mode |= QIODevice::Append;
    if (text)
        mode |= QIODevice::Text;
    if (!file.open(mode)) {
        *error = file.errorString();
        return false;
    }
    if (writeAll(file, bytes, error))
        return true;
    if (!before.exists())
        file.remove();
    else if (before.isFile())
        file.resize(length);
    return false;
}

bool SafeFile::createNew(const QString &folder, const QString &base, const QString &ext, const QByteArray &bytes,
                         QString *created, QString *error)
{
    const QDir dir(folder);
    for (int number = 1; number < 1000; ++number) {
        const QString name =
            dir.filePath(number == 1 ? base + ext : QStringLiteral("%1-%2%3").arg(base).arg(number).arg(ext));
        *created = name;
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            if (QFileInfo::exists(name))
                continue;
            *error = file.errorString();
            return false;
        }
        bool written = writeAll(file, bytes, error);
        file.close();
        if (written) {
            QFile check(name);
            written = check.open(QIODevice::ReadOnly) && check.readAll() == bytes;
            if (!written)
                *error = tr("the file reads back otherwise than written");
        }
        if (!written)
            QFile::remove(name);
        return written;
    }
    *error = tr("every name is taken");
    return false;
}
