#pragma once

#include "w_qwidget.h"

#include <QByteArray>
#include <QList>

class QLabel;
class QPushButton;
class W_Adres;

// The radio stability check: "TEST"/"STOP" starts and stops polling of the
// checked address rows, "CLEAN TEST" greys every mark. The engine's reports
// about each poll arrive as the poll's request text and are shown on the row
// that holds the polled address.
class W_Test : public W_QWidget
{
    Q_OBJECT

public:
    explicit W_Test(QWidget *parent = nullptr);

    void cleanTest();
    void addRequest(const QByteArray &request);
    void okRect(const QByteArray &request);
    void errRect(const QByteArray &request);
    bool isTesting() const;
    void setIdle(bool idle);
    W_Adres *findAdres(const QByteArray &request) const;
    // Ends a running test as the operator's "STOP" would.
    void stop();

signals:
    void sgStartTest(QByteArray adreses);
    void sgStopTest();
    void sgClearTest();

public slots:
    void slTestEn(bool on);

private:
    void markRepeatedAdreses();

    QPushButton *pbTest;
    QPushButton *pbClean;
    // Told when "TEST" finds no ticked row; gone once a row is ticked.
    QLabel *noAdresNote;
    QList<W_Adres *> adreses;
};
