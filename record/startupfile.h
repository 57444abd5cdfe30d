#pragma once

#include <QString>

class Data;

// The start-up file the window writes beside itself: the record's twelve
// setting bytes, read back at once.
class StartupFile
{
public:
    // Writes the record to `fileName` and reads its twelve setting bytes
    // back into the record, only when the write succeeded and they hold
    // values the device takes. False, with the record as it was, otherwise.
    static bool write(Data &data, const QString &fileName);
};
