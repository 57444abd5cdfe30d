#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// Writing a file so that a failure at any step is seen and leaves an existing
// file as it was: a full disk, a read-only place, an I/O error. Every file
// the window and the script write goes through here.
//
// QSaveFile alone is not enough: it buffers a small file's bytes, so a write
// onto a full disk only fails in the flush at commit(), which commit() does
// not check before it renames the empty file over the old one. The file is
// therefore written unbuffered, flushed to the disk and checked at each step.
class SafeFile
{
    Q_DECLARE_TR_FUNCTIONS(SafeFile)

public:
    // Replaces `fileName` with `bytes` only once they are all on the disk.
    // `text` writes line ends as the platform has them.
    static bool write(const QString &fileName, const QByteArray &bytes, bool text, QString *error);
    // Adds `bytes` to the end of `fileName`, made when missing, as `text` or
    // not as write() does. On failure
    // the file is cut back to the length it had.
    static bool append(const QString &fileName, const QByteArray &bytes, bool text, QString *error);
    // Writes `bytes` into a new file "<base><ext>" in `folder`, or
    // "<base>-2<ext>", "-3", ... where the name is taken: an existing file is
    // never replaced, also when another process picks a name at the same
    // moment. The file is read back and compared; on any failure it is
    // removed again. `created` receives the name used, or tried last.
    static bool createNew(const QString &folder, const QString &base, const QString &ext, const QByteArray &bytes,
                          QString *created, QString *error);
};
