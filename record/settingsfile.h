#pragma once

#include <QByteArray>
#include <QString>

class Data;

// The byte layouts of the settings record on disk: the operator's settings
// files (twelve setting bytes, the port name as a stream string, the flow
// control byte) and the start-up file (the same without flow control).
class SettingsFile
{
public:
    // Shortest content a settings file must have to be loaded.
    static constexpr int settingBytes = 12;

    static QByteArray encode(const Data &data);
    static QByteArray encodeStartup(const Data &data);

    // Loads `bytes` into `data`. Content that ends inside the twelve setting
    // bytes or inside the port name, or whose port name cannot be read, is
    // refused (false, with the reason) and leaves `data` untouched. Twelve
    // bytes alone load with an empty port name. Content that ends before the
    // flow-control byte leaves `data`'s flow control as it was;
    // `hasFlowControl` tells whether the byte was there.
    static bool decode(const QByteArray &bytes, Data &data, QString *problem = nullptr,
                       bool *hasFlowControl = nullptr);
    // Reads the file `fileName` and decodes it as decode() does; a file that
    // cannot be read is refused with the system's reason. Only the first
    // mebibyte is read: a settings file is a few dozen bytes, and a huge
    // file chosen by mistake is not read whole.
    static bool load(const QString &fileName, Data &data, QString *problem = nullptr,
                     bool *hasFlowControl = nullptr);
    // Reads the twelve setting bytes of a start-up file; false, with `data`
    // untouched, when they are not all there.
    static bool decodeStartup(const QByteArray &bytes, Data &data);
};
