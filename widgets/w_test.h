#pragma once

#include "w_qwidget.h"

#include <QByteArray>
#include <QList>

class QDateTime;
class QLabel;
class QPushButton;
class QScrollArea;
class W_Adres;

// The radio stability check: "TEST"/"STOP" starts and stops polling of the
// checked address rows, "CLEAN TEST" greys every mark. The engine's reports
// about each poll arrive as the poll's request text and are shown on the row
// that holds the polled address. Each row counts its judged polls until
// "CLEAN TEST"; "Save Report" writes those counts to a CSV file.
class W_Test : public W_QWidget
{
    Q_OBJECT

public:
    explicit W_Test(QWidget *parent = nullptr);

    void cleanTest();
    void addRequest(const QByteArray &request);
    void okRect(const QByteArray &request);
    void errRect(const QByteArray &request);
    // The poll `request` was answered `ms` after it was sent.
    void roundTrip(const QByteArray &request, int ms);
    bool isTesting() const;
    void setIdle(bool idle);
    // Without the device, nothing can be tested or cleaned; counts already
    // taken stay readable and can be saved.
    void setDeviceOpen(bool open);
    // The port the counts are taken on, for the report.
    void setPortName(const QString &name);
    W_Adres *findAdres(const QByteArray &request) const;
    // Ends a running test as the operator's "STOP" would.
    void stop();

    // One header line, then one line per row that has judged polls, in row
    // order, each ending with the port and the times of its first and last
    // poll.
    QByteArray reportCsv() const;
    // Makes the rows' area `extra` pixels taller than its own least height
    // at least, up to the height that shows all ten rows: a layout short of
    // room then takes it from the other panels' preferred heights first.
    void setRowsRoom(int extra);

    // The report's file name offered: the port and the date and time.
    QString reportFileName(const QDateTime &now) const;
    void saveReport();
    // The file part of saveReport, without the dialog; tells the operator
    // when the file cannot be written and returns false.
    bool saveReportTo(const QString &fileName);

signals:
    void sgStartTest(QByteArray adreses);
    void sgStopTest();
    void sgClearTest();

public slots:
    void slTestEn(bool on);

private:
    void markRepeatedAdreses();
    void updateKeys();

    QPushButton *pbTest;
    QPushButton *pbClean;
    // Told when "TEST" finds no ticked row; gone once a row is ticked.
    QLabel *noAdresNote;
    QPushButton *pbReport;
    QList<W_Adres *> adreses;
    QScrollArea *rowsArea;
    bool deviceOpen = true;
    QString portName;
};
