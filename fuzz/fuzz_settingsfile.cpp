// Settings file loading on arbitrary content: a refused file changes nothing,
// a loaded one gives the twelve setting bytes as they are in the file, and a
// loaded record saves to a file that loads back to the same record.

#include "data.h"
#include "fuzzcheck.h"
#include "settingsfile.h"

#include <QList>

#include <cstddef>
#include <cstdint>

namespace {

// The setting bytes in file order.
const QList<quint8 Data::*> fileOrder = {
    &Data::delayTxRx, &Data::power, &Data::radioDataRate, &Data::chanel,
    &Data::parity, &Data::stopBit, &Data::subBand, &Data::serialTimeout,
    &Data::radioTransmitReset, &Data::serialDataRate, &Data::wdtReset,
    &Data::testAddress};

// A record that no decode produces by accident for short content.
void fillSentinel(Data &data)
{
    quint8 value = 0xA5;
    for (quint8 Data::*field : fileOrder)
        data.*field = value++;
    data.flowControl = 0x5A;
    data.portName = QStringLiteral("/dev/sentinel");
}

bool sameRecord(const Data &a, const Data &b)
{
    for (quint8 Data::*field : fileOrder) {
        if (a.*field != b.*field)
            return false;
    }
    return a.flowControl == b.flowControl && a.portName == b.portName;
}

bool sameSettingBytes(const Data &data, const QByteArray &bytes)
{
    for (int i = 0; i < fileOrder.size(); ++i) {
        if (data.*fileOrder.at(i) != quint8(bytes.at(i)))
            return false;
    }
    return true;
}

quint32 bigEndian32(const QByteArray &bytes, int at)
{
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | quint8(bytes.at(at + i));
    return value;
}

// What the content after the setting bytes must load as, where the layout
// leaves no doubt: a port name that is complete, null, cut short or missing,
// and the flow-control byte after a complete one.
void checkTail(const QByteArray &bytes, const Data &data)
{
    constexpr int nameAt = SettingsFile::settingBytes + 4;
    if (bytes.size() < nameAt) {
        FUZZ_CHECK(data.portName.isEmpty());
        FUZZ_CHECK(data.flowControl == 0);
        return;
    }
    const quint32 count = bigEndian32(bytes, SettingsFile::settingBytes);
    if (count == 0xFFFFFFFFu) {
        FUZZ_CHECK(data.portName.isEmpty());
        FUZZ_CHECK(data.flowControl == (bytes.size() > nameAt ? quint8(bytes.at(nameAt)) : 0));
        return;
    }
    if (count % 2 != 0)
        return;
    if (count > quint32(bytes.size() - nameAt)) {
        FUZZ_CHECK(data.portName.isEmpty());
        FUZZ_CHECK(data.flowControl == 0);
        return;
    }
    QString name;
    for (quint32 i = 0; i < count; i += 2) {
        const int at = nameAt + int(i);
        name.append(QChar(ushort((quint8(bytes.at(at)) << 8) | quint8(bytes.at(at + 1)))));
    }
    FUZZ_CHECK(data.portName == name);
    const int flowAt = nameAt + int(count);
    FUZZ_CHECK(data.flowControl == (bytes.size() > flowAt ? quint8(bytes.at(flowAt)) : 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(input), int(size));

    Data loaded;
    fillSentinel(loaded);
    Data before;
    fillSentinel(before);
    QString problem;
    if (!SettingsFile::decode(bytes, loaded, &problem)) {
        FUZZ_CHECK(bytes.size() < SettingsFile::settingBytes);
        FUZZ_CHECK(!problem.isEmpty());
        FUZZ_CHECK(sameRecord(loaded, before));
    } else {
        FUZZ_CHECK(bytes.size() >= SettingsFile::settingBytes);
        FUZZ_CHECK(sameSettingBytes(loaded, bytes));
        checkTail(bytes, loaded);

        const QByteArray saved = SettingsFile::encode(loaded);
        FUZZ_CHECK(saved.left(SettingsFile::settingBytes) == bytes.left(SettingsFile::settingBytes));
        Data reloaded;
        fillSentinel(reloaded);
        FUZZ_CHECK(SettingsFile::decode(saved, reloaded));
        FUZZ_CHECK(sameRecord(reloaded, loaded));
        FUZZ_CHECK(SettingsFile::encode(reloaded) == saved);
    }

    // The start-up file: the setting bytes alone decide.
    Data startup;
    fillSentinel(startup);
    if (!SettingsFile::decodeStartup(bytes, startup)) {
        FUZZ_CHECK(bytes.size() < SettingsFile::settingBytes);
        FUZZ_CHECK(sameRecord(startup, before));
    } else {
        FUZZ_CHECK(sameSettingBytes(startup, bytes));
        FUZZ_CHECK(startup.portName == before.portName && startup.flowControl == before.flowControl);
        Data reloaded;
        FUZZ_CHECK(SettingsFile::decodeStartup(SettingsFile::encodeStartup(startup), reloaded));
        FUZZ_CHECK(sameSettingBytes(reloaded, bytes));
    }
    return 0;
}
