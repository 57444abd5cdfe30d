#include "w_test.h"

#include "devicerules.h"
#include "savedfile.h"
#include "w_adres.h"
#include "widgetslog.h"

#include <algorithm>

#include <QCheckBox>
#include <QDateTime>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
constexpr int rowCount = 10;
constexpr int rowsPerColumn = 5;
// The rows' area shows at least about two rows.
constexpr int leastRowsHeight = 65;
}

W_Test::W_Test(QWidget *parent)
    : W_QWidget(parent)
{
    auto *group = new QGroupBox(tr("Radio Stability Check"), this);
    group->setToolTip(tr("Polls the ticked addresses over the radio, one after another, once a second each.\n"
                         "A row shows the latest ten polls of its address, newest on the left:\n"
                         "yellow under way, green answered, red missed, grey no result."));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group);

    pbTest = new QPushButton(tr("TEST"), group);
    pbTest->setCheckable(true);
    pbTest->setToolTip(tr("Start polling the ticked addresses; the key then reads STOP and ends the test."));
    pbClean = new QPushButton(tr("CLEAN TEST"), group);
    pbClean->setToolTip(tr("Turn every mark grey; a running test goes on."));
    noAdresNote = new QLabel(tr("Tick at least one address to test."), group);
    QPalette notePalette;
    notePalette.setColor(QPalette::WindowText, Qt::darkRed);
    noAdresNote->setPalette(notePalette);
    noAdresNote->hide();
    pbReport = new QPushButton(tr("Save Report"), group);
    pbReport->setObjectName(QStringLiteral("Save Report"));
    pbReport->setToolTip(tr("Save each polled row's counts and round trips to a CSV file."));

    auto *scroll = new QScrollArea(group);
    rowsArea = scroll;
    scroll->setWidgetResizable(true);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll->setMinimumHeight(leastRowsHeight);
    // Tab goes to the rows themselves; the area scrolls to the focused one.
    scroll->setFocusPolicy(Qt::NoFocus);

    auto *content = new QWidget(scroll);
    auto *rowGrid = new QGridLayout(content);
    rowGrid->setSpacing(0);
    rowGrid->setContentsMargins(2, 5, 2, 5);
    for (int i = 0; i < rowCount; ++i) {
        auto *row = new W_Adres(content);
        row->setAdres(quint8(i + 1));
        rowGrid->addWidget(row, i % rowsPerColumn, i / rowsPerColumn);
        adreses.append(row);
        connect(row->spinBox(), QOverload<int>::of(&QSpinBox::valueChanged), this, &W_Test::markRepeatedAdreses);
        connect(row->checkBox(), &QCheckBox::toggled, noAdresNote, [note = noAdresNote](bool ticked) {
            if (ticked)
                note->hide();
        });
    }
    scroll->setWidget(content);

    // The note takes a column beside the keys, so that it never changes the
    // panel's height; the keys share the width it leaves.
    auto *grid = new QGridLayout(group);
    grid->setSpacing(1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    grid->addWidget(pbTest, 0, 0);
    grid->addWidget(pbClean, 0, 1);
    grid->addWidget(pbReport, 0, 2);
    grid->addWidget(noAdresNote, 0, 3);
    grid->addWidget(scroll, 1, 0, 1, 4);

    connect(pbTest, &QPushButton::toggled, this, &W_Test::slTestEn);
    connect(pbClean, &QPushButton::pressed, this, &W_Test::cleanTest);
    connect(pbReport, &QPushButton::clicked, this, &W_Test::saveReport);

    setIdle(true);
}

void W_Test::setDeviceOpen(bool open)
{
    deviceOpen = open;
    updateKeys();
}

void W_Test::setRowsRoom(int extra)
{
    const int allRows = rowsArea->widget()->sizeHint().height() + 2 * rowsArea->frameWidth();
    rowsArea->setMinimumHeight(qMax(leastRowsHeight, qMin(leastRowsHeight + extra, allRows)));
}

void W_Test::setPortName(const QString &name)
{
    portName = name;
}

// The rows can be changed only while the device is there and no test runs;
// their counts stay readable either way.
void W_Test::updateKeys()
{
    pbTest->setEnabled(deviceOpen);
    pbClean->setEnabled(deviceOpen);
    const bool counted = std::any_of(adreses.cbegin(), adreses.cend(),
                                     [](const W_Adres *row) { return row->statistics().polled() > 0; });
    pbReport->setEnabled(deviceOpen || counted);
    for (W_Adres *row : qAsConst(adreses))
        row->setEditable(deviceOpen && !isTesting());
}

void W_Test::slTestEn(bool on)
{
    qCDebug(lcWTest) << "slTestEn" << on;
    if (!on) {
        emit sgStopTest();
        setIdle(!isTesting());
        return;
    }

    QByteArray list;
    for (const W_Adres *row : qAsConst(adreses)) {
        if (row->isChecked())
            list.append(char(row->adres()));
    }
    qCDebug(lcWTest) << "slTestEn" << list.toHex(' ');

    noAdresNote->setVisible(list.isEmpty());
    if (!list.isEmpty())
        emit sgStartTest(list);
    else
        pbTest->setChecked(false); // re-enters with on false and reports the stop
    setIdle(!isTesting());
}

void W_Test::cleanTest()
{
    qCDebug(lcWTest) << "cleanTest";
    for (W_Adres *row : qAsConst(adreses)) {
        row->clearRects();
        row->clearStatistics();
    }
    updateKeys();
    emit sgClearTest();
}

void W_Test::addRequest(const QByteArray &request)
{
    qCDebug(lcWTest) << "addRequest" << request;
    if (W_Adres *row = findAdres(request))
        row->addRect(Sent);
}

void W_Test::okRect(const QByteArray &request)
{
    W_Adres *row = findAdres(request);
    if (!row)
        return;
    // The debug log tells answered polls by this run of 33 exclamation marks.
    qCDebug(lcWTest).noquote() << "okRect" << QByteArray(33, '!') << row->adres();
    row->setOkRect();
    updateKeys();
}

void W_Test::errRect(const QByteArray &request)
{
    W_Adres *row = findAdres(request);
    if (!row)
        return;
    // The debug log tells unanswered polls by this run of 35 question marks.
    qCDebug(lcWTest).noquote() << "errRect" << QByteArray(35, '?') << row->adres();
    row->setErrRect();
    updateKeys();
}

void W_Test::roundTrip(const QByteArray &request, int ms)
{
    if (W_Adres *row = findAdres(request))
        row->setRoundTrip(ms);
}

bool W_Test::isTesting() const
{
    return pbTest->isChecked();
}

void W_Test::setIdle(bool idle)
{
    pbTest->setText(idle ? tr("TEST") : tr("STOP"));
    updateKeys();
}

// The first row whose poll begins the request owns it, checked or not.
W_Adres *W_Test::findAdres(const QByteArray &request) const
{
    for (W_Adres *row : adreses) {
        if (request.startsWith(DeviceRules::pollRequest(row->adres())))
            return row;
    }
    return nullptr;
}

// Only the first row with an address receives its results (findAdres); a
// later row with the same address is marked so that its emptiness is no
// surprise.
void W_Test::markRepeatedAdreses()
{
    QList<quint8> seen;
    for (W_Adres *row : qAsConst(adreses)) {
        row->setRepeated(seen.contains(row->adres()));
        seen.append(row->adres());
    }
}

void W_Test::stop()
{
    pbTest->setChecked(false);
}

QByteArray W_Test::reportCsv() const
{
    QList<QPair<int, PollStatistics>> rows;
    for (const W_Adres *row : adreses)
        rows.append({row->adres(), row->statistics()});
    return PollStatistics::csvReport(rows, portName);
}

void W_Test::saveReport()
{
    const QString fileName = SavedFile::askName(this, tr("Save Report"), tr("CSV Files (*.csv)"),
                                                QStringLiteral(".csv"), reportFileName(QDateTime::currentDateTime()));
    if (!fileName.isEmpty())
        saveReportTo(fileName);
}

bool W_Test::saveReportTo(const QString &fileName)
{
    return SavedFile::write(this, fileName, reportCsv(), true, tr("Save Report"),
                            tr("The report could not be saved to \"%1\": %2"));
}

QString W_Test::reportFileName(const QDateTime &now) const
{
    // A port path gives its last part; what a file name cannot hold becomes "_".
    QString port = QFileInfo(portName).fileName();
    port.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    const QString when = now.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    return port.isEmpty() ? QStringLiteral("radio-test_%1.csv").arg(when)
                          : QStringLiteral("radio-test_%1_%2.csv").arg(port, when);
}
