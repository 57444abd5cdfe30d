#include "writeoutcome.h"

#include "applog.h"
#include "data.h"
#include "recordview.h"
#include "settingstable.h"
#include "trafficlog.h"

#include <QMessageBox>

#include <utility>

WriteOutcome::WriteOutcome(QWidget *window, const DeviceSession *session, Data *record, RecordView *view,
                           TrafficLog *log)
    : QObject(window)
    , window(window)
    , session(session)
    , data(record)
    , view(view)
    , trafficLog(log)
{
}

void WriteOutcome::tellLater(const QString &title, const QString &text)
{
    QMetaObject::invokeMethod(
        this, [this, title, text] { QMessageBox::warning(window, title, text); }, Qt::QueuedConnection);
}

// The device holds values the window cannot show: they stay in the record,
// so that WRITE gives back what the device had.
void WriteOutcome::tellKept()
{
    QStringList kept;
    for (const SettingsTable::Setting *setting : session->keptAsReported())
        kept << tr("\"%1\": the device reported %2").arg(SettingsTable::label(*setting)).arg(data->*setting->field);
    if (kept.isEmpty())
        return;
    qCDebug(lcMainWindow) << "kept out of range" << kept;
    tellLater(tr("Device settings"), tr("The device holds settings the window cannot show. They are kept as the "
                                        "device reported them and written back unchanged:\n%1")
                                         .arg(kept.join(QLatin1Char('\n'))));
}

// The read-back of a write that ran to its end is compared with what was
// written. A setting the device did not take keeps the value written,
// marked, so that the operator sees it and can write it again; the device's
// value is in its mark.
void WriteOutcome::verifyWritten(const QString &key)
{
    const Data *sent = session->written();
    if (!sent)
        return;
    const QList<DeviceSession::Difference> differences = session->differences(*sent);
    if (differences.isEmpty())
        return;
    for (const DeviceSession::Difference &difference : differences) {
        const SettingsTable::Setting &setting = *difference.setting;
        trafficLog->addLine(TrafficLog::Event, QStringLiteral("%1 not held: wrote %2, device holds %3")
                                                   .arg(setting.name, difference.recordText, difference.deviceText));
        data->*setting.field = sent->*setting.field;
    }
    view->show();
    tellLater(key, tr("The device does not hold these settings as written:\n%1")
                       .arg(session->notHeld(*sent).join(QLatin1Char('\n'))));
}

// "WRITE" or "DEFAULT" ended before its read-back: the device may hold part
// of the new settings. The settings sent stay marked as the device's last
// known values show them.
void WriteOutcome::tellHalfDone(DeviceSession::Sequence sequence, bool lineLost)
{
    const QList<const SettingsTable::Setting *> sent = session->sentWrites();
    if (sent.isEmpty())
        return;
    const QString key =
        sequence == DeviceSession::Sequence::Write ? QStringLiteral("WRITE") : QStringLiteral("DEFAULT");
    QStringList names;
    QStringList labels;
    for (const SettingsTable::Setting *setting : sent) {
        names << setting->name;
        labels << SettingsTable::label(*setting);
    }
    trafficLog->addLine(TrafficLog::Event,
                        QStringLiteral("%1 ended before its read-back, sent: %2")
                            .arg(key, names.join(QStringLiteral(", "))));
    const QString text = tr("%1 ended before the device's settings were read back. The device may now hold part of "
                            "the new settings. Write requests were sent for:\n%2")
                             .arg(key, labels.join(QLatin1Char('\n')));
    if (lineLost) {
        halfDoneKey = key;
        halfDoneText = text;
        return;
    }
    tellLater(key, text);
}

void WriteOutcome::tellAfterLoss()
{
    if (!halfDoneText.isEmpty())
        QMessageBox::warning(window, std::exchange(halfDoneKey, {}), std::exchange(halfDoneText, {}));
}
