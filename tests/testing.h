#pragma once

// What the window's tests and the script's share.

#include "devicemodel.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

#include <sys/mount.h>

#include <cerrno>
#include <cstring>

// What the emulated device holds, by setting name and in the record's
// encoding; read from the emulator itself, not through the program's tables.
inline QMap<QString, int> heldBy(const DeviceModel *device)
{
    const DeviceModel::Rs485Record rs485 = device->rs485();
    return {{"Sub-band", device->sRegister(DeviceModel::SubBand)}, {"Chanel", device->sRegister(DeviceModel::Chanel)},
            {"Radio Data Rate", device->sRegister(DeviceModel::RadioDataRate)},
            {"Serial Timeout", device->sRegister(DeviceModel::SerialTimeout)},
            {"Power", device->sRegister(DeviceModel::Power)}, {"Test address", rs485.testAddress},
            {"Serial Data Rate", rs485.serialDataRate}, {"Delay Tx-Rx", rs485.delayTxRx}, {"Parity", rs485.parity},
            {"Stop bit", rs485.stopBit}, {"Flow control", device->sRegister(DeviceModel::FlowControl) == 0 ? 0 : 2},
            {"Radio Transmit Reset", rs485.radioTransmitReset}, {"WDT Reset", rs485.wdtReset}};
}

// The file's bytes; empty when it cannot be read.
inline QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A small file system with no room left: a tmpfs of its own holding the
// files given, then filled. Mounting needs root; where it cannot be done,
// the test is skipped with the reason (SKIP_UNLESS_FULL).
class FullDisk
{
public:
    explicit FullDisk(const QMap<QString, QByteArray> &files = {})
    {
        if (::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0, "size=16k") != 0) {
            reason = QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        mounted = true;
        for (auto it = files.begin(); it != files.end(); ++it) {
            QFile file(filePath(it.key()));
            if (it.key().endsWith('/'))
                QDir().mkpath(file.fileName());
            else if (!file.open(QIODevice::WriteOnly) || file.write(it.value()) != it.value().size())
                reason = file.errorString();
        }
        QFile fill(filePath("fill"));
        if (fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            while (fill.write(QByteArray(512, 'x')) == 512) {}
    }
    ~FullDisk()
    {
        if (mounted)
            ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
    }
    bool isFull() const { return mounted && reason.isEmpty(); }
    QString filePath(const QString &name) const { return dir.filePath(name); }

    QString reason;

private:
    QTemporaryDir dir;
    bool mounted = false;
};

#define SKIP_UNLESS_FULL(disk) \
    if (!(disk).isFull()) \
        QSKIP(qPrintable("no full file system can be made here: " + (disk).reason));
