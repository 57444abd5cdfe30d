#pragma once

#include "pollstatistics.h"
#include "testrequeststatus.h"

#include <QColor>
#include <QDateTime>
#include <QList>
#include <QWidget>

class QCheckBox;
class QLabel;
class QSpinBox;

// One address row of the radio stability check: a check box that takes the
// row into the test, the remote address (0 to 63) and the results of the
// latest ten polls of that address as coloured marks, newest at the left,
// followed by the share of its polls answered since the last clean.
class W_Adres : public QWidget
{
    Q_OBJECT

public:
    static constexpr int rectCount = 10;

    explicit W_Adres(QWidget *parent = nullptr);

    quint8 adres() const;
    void setAdres(quint8 adres);
    bool isChecked() const;
    // The check box and the address can be changed; the marks and the
    // counts stay readable either way.
    void setEditable(bool on);

    void addRect(TestRequestStatus status);
    void setOkRect();
    void setErrRect();
    void clearRects();
    // Marks the row whose address an earlier row holds too: the earlier row
    // receives the address's results, so this one never fills.
    void setRepeated(bool repeated);
    // The answer to the poll under way arrived `ms` after the poll was sent;
    // counted when the poll is judged answered.
    void setRoundTrip(int ms);
    void clearStatistics();
    const PollStatistics &statistics() const { return stats; }

    QList<QWidget *> rects() const;
    QCheckBox *checkBox() const;
    QSpinBox *spinBox() const;

public slots:
    void slCheckEn(bool on);

private:
    void repaintRects();
    void showStatistics();

    QCheckBox *check;
    QSpinBox *spin;
    QList<QWidget *> marks;
    QList<QColor> colours;
    QLabel *summary;
    PollStatistics stats;
    int pendingRoundTrip = -1;
    // When the poll under way was sent.
    QDateTime pendingSentAt;
};
