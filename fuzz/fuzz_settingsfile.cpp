// Settings files of arbitrary content are either refused (always when shorter
// than the setting bytes), the record left as it was, or loaded with the setting bytes as in the file and saved to a file
// that loads back the same. A start-up file gives the setting bytes alone.

#include "data.h"
#include "fuzzcheck.h"
#include "settingsfile.h"

#include <cstddef>
#include <cstdint>

static constexpr int settings = SettingsFile::settingBytes;

// A record no decode makes by accident; returns its file.
static QByteArray fillSentinel(Data &data)
{
    FUZZ_CHECK(SettingsFile::decode(QByteArray("\xA5\xA6\xA7\xA8\xA9\xAA\xAB\xAC\xAD\xAE\xAF\xB0", settings), data));
    data.flowControl = 0x5A;
    data.portName = QStringLiteral("/dev/sentinel");
    return SettingsFile::encode(data);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(input), int(size));
    Data loaded;
    const QByteArray untouched = fillSentinel(loaded);
    QString problem;
    const bool accepted = SettingsFile::decode(bytes, loaded, &problem);
    FUZZ_CHECK((!accepted || bytes.size() >= settings) && (accepted || !problem.isEmpty()));
    const QByteArray file = SettingsFile::encode(loaded);
    FUZZ_CHECK(accepted ? file.left(settings) == bytes.left(settings) : file == untouched);
    Data reloaded;
    FUZZ_CHECK(SettingsFile::decode(file, reloaded) && SettingsFile::encode(reloaded) == file);

    Data startup;
    fillSentinel(startup);
    const bool read = SettingsFile::decodeStartup(bytes, startup);
    FUZZ_CHECK(read == (bytes.size() >= settings));
    const QByteArray saved = SettingsFile::encode(startup);
    FUZZ_CHECK(saved == (read ? bytes.left(settings) + untouched.mid(settings) : untouched));
    Data restarted;
    FUZZ_CHECK(SettingsFile::decodeStartup(SettingsFile::encodeStartup(startup), restarted));
    FUZZ_CHECK(SettingsFile::encode(restarted).left(settings) == saved.left(settings));
    return 0;
}
