#pragma once

#include <QElapsedTimer>
#include <QStringList>
#include <QVector>

#include <functional>

// The names of the serial ports the system offers, enumerated again only when
// the device folders show that something came or went. Enumerating walks every
// terminal device of the system, reads its attributes and opens the built-in
// serial ports to probe them; a look at the modification times of a few
// folders costs next to nothing, and the port row asks once a second for the
// whole life of the program.
class SystemPortList
{
public:
    using Enumerator = std::function<QStringList()>;

    // The system's serial ports. On Linux every serial device has its node in
    // /dev and udev adds its links under /dev/serial, so those folders are
    // watched; elsewhere every call enumerates.
    SystemPortList();
    // `enumerate` lists the ports; a port comes or goes only together with a
    // change in one of `watchedFolders` (with none, every call enumerates).
    // After a change the ports are enumerated at every call for `settleMs`:
    // udev may describe a new device only after its node is there, and two
    // changes within one tick of the file system's clock look like one.
    SystemPortList(const QStringList &watchedFolders, Enumerator enumerate, int settleMs = 3000);

    QStringList names();

    static QStringList enumerateSerialPorts();

private:
    QVector<qint64> folderState() const;

    QStringList watchedFolders;
    Enumerator enumerate;
    int settleMs;
    QVector<qint64> lastState;
    QElapsedTimer sinceChange;
    QStringList cached;
};
