#include "systemportlist.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSerialPortInfo>

#ifdef Q_OS_LINUX
#include <sys/stat.h>
#endif

SystemPortList::SystemPortList()
    : SystemPortList(
#ifdef Q_OS_LINUX
          {QStringLiteral("/dev"), QStringLiteral("/dev/serial"), QStringLiteral("/dev/serial/by-id"),
           QStringLiteral("/dev/serial/by-path")},
#else
          {},
#endif
          &SystemPortList::enumerateSerialPorts)
{
}

SystemPortList::SystemPortList(const QStringList &watchedFolders, Enumerator enumerate, int settleMs)
    : watchedFolders(watchedFolders)
    , enumerate(std::move(enumerate))
    , settleMs(settleMs)
{
}

QStringList SystemPortList::enumerateSerialPorts()
{
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        names.append(info.portName());
    return names;
}

QStringList SystemPortList::names()
{
    if (watchedFolders.isEmpty())
        return enumerate();

    // The folders are looked at before the enumeration: a port that comes
    // while it runs changes them again and is found at the next call.
    const QVector<qint64> state = folderState();
    if (state != lastState || !sinceChange.isValid()) {
        lastState = state;
        sinceChange.start();
    } else if (sinceChange.hasExpired(settleMs)) {
        return cached;
    }
    cached = enumerate();
    return cached;
}

// Per folder: whether it exists, its inode and its modification time, so that
// a folder that appears, vanishes or is made anew counts as a change too.
QVector<qint64> SystemPortList::folderState() const
{
    QVector<qint64> state;
    state.reserve(watchedFolders.size() * 4);
    for (const QString &folder : watchedFolders) {
#ifdef Q_OS_LINUX
        struct stat info = {};
        const bool exists = ::stat(QFile::encodeName(folder).constData(), &info) == 0;
        state << exists << qint64(info.st_ino) << qint64(info.st_mtim.tv_sec)
              << qint64(info.st_mtim.tv_nsec);
#else
        const QFileInfo info(folder);
        state << info.exists() << 0 << 0 << info.lastModified().toMSecsSinceEpoch();
#endif
    }
    return state;
}
