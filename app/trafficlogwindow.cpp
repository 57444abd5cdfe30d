#include "trafficlogwindow.h"

#include "savedfile.h"
#include "trafficlog.h"
#include "version.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

TrafficLogWindow::TrafficLogWindow(TrafficLog *log, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , log(log)
    , view(new QPlainTextEdit(this))
{
    setWindowTitle(tr("Traffic Log"));
    view->setReadOnly(true);
    view->setAccessibleName(tr("Traffic Log"));
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->setMaximumBlockCount(TrafficLog::capacity);

    auto *save = new QPushButton(tr("Save Log"), this);
    save->setObjectName(QStringLiteral("Save Log"));
    auto *clear = new QPushButton(tr("Clear"), this);
    clear->setObjectName(QStringLiteral("Clear"));

    auto *keys = new QHBoxLayout;
    keys->addWidget(save);
    keys->addWidget(clear);
    keys->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(keys);
    layout->addWidget(view);
    resize(640, 420);

    connect(save, &QPushButton::clicked, this, &TrafficLogWindow::saveLog);
    connect(clear, &QPushButton::clicked, log, &TrafficLog::clear);
    // A hidden window takes nothing; it reads the whole log when shown.
    connect(log, &TrafficLog::lineAdded, this, [this](const QString &line) {
        if (isVisible())
            view->appendPlainText(line);
    });
    connect(log, &TrafficLog::cleared, view, &QPlainTextEdit::clear);
}

void TrafficLogWindow::showEvent(QShowEvent *event)
{
    view->setPlainText(log->lines().join(QLatin1Char('\n')));
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    QWidget::showEvent(event);
}

void TrafficLogWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TrafficLogWindow::saveLog()
{
    const QString fileName =
        SavedFile::askName(this, tr("Save Log"), tr("Text Files (*.txt)"), QStringLiteral(".txt"));
    if (!fileName.isEmpty())
        saveLogTo(fileName);
}

bool TrafficLogWindow::saveLogTo(const QString &fileName)
{
    QByteArray bytes = headerLine().toUtf8() + '\n';
    for (const QString &line : log->lines())
        bytes += line.toUtf8() + '\n';
    return SavedFile::write(this, fileName, bytes, true, tr("Save Log"),
                            tr("The log could not be saved to \"%1\": %2"));
}

QString TrafficLogWindow::headerLine() const
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString port = log->lastPort().isEmpty() ? QStringLiteral("none") : log->lastPort();
    return QStringLiteral("Ryd Configurator %1, port %2, saved %3")
        .arg(QStringLiteral(RYD_VERSION), port, now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate));
}
