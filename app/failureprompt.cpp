#include "failureprompt.h"

#include "devicesession.h"
#include "trafficlog.h"

#include <QMessageBox>

FailurePrompt::FailurePrompt(QWidget *parent, TrafficLog *log)
    : QObject(parent)
    , window(parent)
    , trafficLog(log)
{
}

bool FailurePrompt::ask(const QByteArray &request)
{
    QMessageBox box(window);
    open.append(&box);
    box.setText(QStringLiteral("Ошибка выполнения команды. Продолжить?"));
    box.setWindowTitle(DeviceSession::withoutControls(request));
    const QString what =
        (request.contains('=') ? tr("The device did not confirm %1.") : tr("The device did not answer %1."))
            .arg(DeviceSession::requestText(request));
    box.setInformativeText(what + QLatin1Char('\n')
                           + tr("Yes skips this command and goes on with the rest of the sequence; "
                                "No stops the sequence here."));
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    // Escape and the window's close control count as No.
    box.setEscapeButton(QMessageBox::No);
    const bool goOn = box.exec() == QMessageBox::Yes;
    open.removeAll(&box);
    trafficLog->addLine(TrafficLog::Event, QStringLiteral("failure prompt %1 answered %2")
                                               .arg(TrafficLog::escaped(request),
                                                    goOn ? QStringLiteral("Yes") : QStringLiteral("No")));
    return goOn;
}

void FailurePrompt::closeAll()
{
    for (const QPointer<QMessageBox> &prompt : qAsConst(open)) {
        if (prompt)
            prompt->done(QMessageBox::No);
    }
}
