#include "editmarks.h"

#include "devicesession.h"
#include "recordview.h"

#include <QMessageBox>

EditMarks::EditMarks(QWidget *window, const DeviceSession *session, const Data *record, RecordView *view)
    : QObject(window)
    , window(window)
    , session(session)
    , data(record)
    , view(view)
{
}

// While connected, every control whose value shows otherwise than the
// device's is marked with what the device holds, and a setting the last
// read-all left out as not read. After the device was lost, the marks of
// what it did not hold stay; otherwise nothing is marked while disconnected.
void EditMarks::show()
{
    QMap<QString, QString> notes = lostMarks;
    if (session->isOpen()) {
        changedMarks.clear();
        for (const DeviceSession::Difference &difference : session->differences(*data))
            changedMarks.insert(difference.setting->name,
                                tr("Changed: the device holds %1").arg(difference.deviceText));
        notes = changedMarks;
        for (const QString &name : session->notRead())
            notes.insert(name, tr("Not read from the device"));
    }
    view->mark(notes);
}

bool EditMarks::mayDiscard(const QString &title)
{
    const bool unwritten = session->isOpen() ? !session->differences(*data).isEmpty() : !lostMarks.isEmpty();
    if (!unwritten)
        return true;
    const auto answer = QMessageBox::question(window, title, tr("Discard the changes not written to the device?"),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return false;
    lostMarks.clear();
    return true;
}

void EditMarks::keepAfterLoss()
{
    lostMarks = changedMarks;
}
