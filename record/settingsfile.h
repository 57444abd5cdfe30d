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

    // Loads `bytes` into `data`. Content shorter than the twelve setting
    // bytes is refused (false, with the reason) and leaves `data` untouched;
    // otherwise every field the content lacks after them reads as zero or an
    // empty port name.
    static bool decode(const QByteArray &bytes, Data &data, QString *problem = nullptr);
    // Reads the twelve setting bytes of a start-up file; false, with `data`
    // untouched, when they are not all there.
    static bool decodeStartup(const QByteArray &bytes, Data &data);
};
