#include "panelcheck.h"
#include "w_adres.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QtTest>

class tst_W_Adres : public QObject
{
    Q_OBJECT

private slots:
    void initialRow();
    void checkBoxEnablesAddress();
    void marks_data();
    void marks();
};

void tst_W_Adres::initialRow()
{
    QWidget parent;
    W_Adres row(&parent);

    QVERIFY(!row.isChecked());
    QVERIFY(!row.spinBox()->isEnabled());
    QCOMPARE(row.checkBox()->text(), QString());
    QCOMPARE(row.spinBox()->minimum(), 0);
    QCOMPARE(row.spinBox()->maximum(), 63);
    QCOMPARE(row.colors().size(), 10);
    QCOMPARE(markLetters(row), QString(10, QLatin1Char('.')));

    auto *layout = qobject_cast<QHBoxLayout *>(row.layout());
    QVERIFY(layout);
    QCOMPARE(layout->spacing(), 2);
    const int side = row.style()->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, &row);
    QCOMPARE(layout->contentsMargins(), QMargins(side, 2, side, 2));
    QCOMPARE(layout->count(), 13); // the counts follow the marks
    QCOMPARE(layout->itemAt(0)->widget(), row.checkBox());
    QCOMPARE(layout->itemAt(1)->widget(), row.spinBox());

    const QList<QWidget *> marks = row.rects();
    QCOMPARE(marks.size(), 10);
    for (int i = 0; i < marks.size(); ++i) {
        QWidget *mark = marks.at(i);
        QCOMPARE(layout->itemAt(2 + i)->widget(), mark);
        QCOMPARE(mark->minimumWidth(), 5);
        QCOMPARE(mark->maximumHeight(), 25);
        QVERIFY(qobject_cast<QHBoxLayout *>(mark->layout()));
        const QList<QLabel *> labels = mark->findChildren<QLabel *>();
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.first()->text(), QString());
    }
}

void tst_W_Adres::checkBoxEnablesAddress()
{
    QWidget window;
    auto *row = new W_Adres(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    clickCheckBox(row->checkBox());
    QVERIFY(row->isChecked());
    QVERIFY(row->spinBox()->isEnabled());

    clickCheckBox(row->checkBox());
    QVERIFY(!row->isChecked());
    QVERIFY(!row->spinBox()->isEnabled());
}

void tst_W_Adres::marks_data()
{
    // Steps: 'a' addRect(Sent), 'o' setOkRect, 'e' setErrRect, 'c' clearRects.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("expected");

    QTest::newRow("newest on the left") << "aoaeaa" << "yyrg......";
    QTest::newRow("result without a poll") << "e" << "r.........";
    QTest::newRow("ten polls fill the row") << "ae" + QString(9, QLatin1Char('a')) << "yyyyyyyyyr";
    QTest::newRow("oldest drops out") << "ae" + QString(10, QLatin1Char('a')) << "yyyyyyyyyy";
    QTest::newRow("clear") << "aoaec" << "..........";
    QTest::newRow("poll after clear") << "aoaeca" << "y.........";
}

void tst_W_Adres::marks()
{
    QFETCH(QString, steps);
    QFETCH(QString, expected);

    W_Adres row;
    for (QChar step : steps) {
        switch (step.toLatin1()) {
        case 'a': row.addRect(Sent); break;
        case 'o': row.setOkRect(); break;
        case 'e': row.setErrRect(); break;
        case 'c': row.clearRects(); break;
        default: QFAIL("unknown step");
        }
    }
    QCOMPARE(markLetters(row), expected);
}

QTEST_MAIN(tst_W_Adres)
#include "tst_w_adres.moc"
