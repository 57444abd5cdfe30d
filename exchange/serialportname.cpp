#include "serialportname.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

SerialPortName::SerialPortName(const QString &portName)
    : name(portName)
{
}

QString SerialPortName::location() const
{
#ifdef Q_OS_WIN
    if (name.startsWith(QLatin1String("\\\\.\\")) || name.startsWith(QLatin1String("//./")))
        return name;
    return QLatin1String("\\\\.\\") + name;
#else
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1String("./"))
        || name.startsWith(QLatin1String("../")))
        return name;
    // "ports/modem1" is a path from the working folder, as a shell reads it.
    if (name.contains(QLatin1Char('/')))
        return QLatin1String("./") + name;
    return QLatin1String("/dev/") + name;
#endif
}

bool SerialPortName::exists() const
{
#ifdef Q_OS_WIN
    return true;
#else
    return QFileInfo::exists(location());
#endif
}

bool SerialPortName::isSameAs(const SerialPortName &other) const
{
    const QString mine = location();
    const QString theirs = other.location();
    if (mine == theirs)
        return true;
    // A file that does not exist has no canonical path and is nobody's twin.
    const QString canonical = QFileInfo(mine).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(theirs).canonicalFilePath();
}

SerialPortName::OpenFailure SerialPortName::openFailure(QSerialPort::SerialPortError error) const
{
    if (error == QSerialPort::DeviceNotFoundError)
        return Missing;
#ifdef Q_OS_UNIX
    if (::access(QFile::encodeName(location()).constData(), R_OK | W_OK) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return Missing;
        if (errno == EACCES || errno == EPERM)
            return PermissionDenied;
        return OtherFailure;
    }
#endif
    // Windows reports a port another program holds as access denied.
    return error == QSerialPort::PermissionError ? InUse : OtherFailure;
}

QString SerialPortName::openFailureText(QSerialPort::SerialPortError error, const QString &systemError) const
{
    switch (openFailure(error)) {
    case Missing:
        return tr("The port %1 does not exist. Check that the adapter is plugged in, or choose another port.")
            .arg(name);
    case InUse:
        return tr("The port %1 is in use by another program. Close that program, or choose another port.")
            .arg(name);
    case PermissionDenied: {
        const QString group = QFileInfo(location()).group();
        if (group.isEmpty())
            return tr("The port %1 cannot be opened: permission denied.").arg(name);
        return tr("The port %1 cannot be opened: permission denied. Its device file %2 belongs to the group "
                  "\"%3\", and your user must belong to that group (log in again after adding it).")
            .arg(name, location(), group);
    }
    case OtherFailure:
        break;
    }
    return tr("The port %1 cannot be opened: %2").arg(name, systemError);
}

QString SerialPortName::connectionLostText(const QString &systemError) const
{
    QString text = tr("The connection on the port %1 was lost: the adapter was unplugged or the line was closed. "
                      "Check the cable or adapter and connect again.")
                       .arg(name);
    if (!systemError.isEmpty())
        text += QLatin1Char('\n') + tr("System message: %1").arg(systemError);
    return text;
}
