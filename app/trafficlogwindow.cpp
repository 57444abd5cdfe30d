#include "trafficlogwindow.h"

#include "trafficlog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QVBoxLayout>

TrafficLogWindow::TrafficLogWindow(TrafficLog *log, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , log(log)
    , view(new QPlainTextEdit(this))
{
    setWindowTitle(tr("Traffic Log"));
    view->setReadOnly(true);
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

void TrafficLogWindow::saveLog()
{
    const QString fileName = QFileDialog::getSaveFileName(this, tr("Save Log"), QString(),
                                                          tr("Text Files (*.txt)"));
    if (fileName.isEmpty())
        return;
    saveLogTo(QFileInfo(fileName).suffix().isEmpty() ? fileName + QStringLiteral(".txt") : fileName);
}

// Written beside its destination and renamed over it only when complete.
bool TrafficLogWindow::saveLogTo(const QString &fileName)
{
    QSaveFile file(fileName);
    QByteArray bytes;
    for (const QString &line : log->lines())
        bytes += line.toUtf8() + '\n';
    const bool saved = file.open(QIODevice::WriteOnly | QIODevice::Text) && file.write(bytes) == bytes.size()
        && file.commit();
    if (!saved) {
        QMessageBox::warning(this, tr("Save Log"),
                             tr("The log could not be saved to \"%1\": %2").arg(fileName, file.errorString()));
    }
    return saved;
}
