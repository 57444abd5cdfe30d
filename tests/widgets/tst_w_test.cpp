#include "panelrules.h"
#include "panelcheck.h"
#include "w_adres.h"
#include "w_test.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

namespace {

// Every row's marks, as markLetters gives them.
QStringList marks(const W_Test &panel)
{
    QStringList result;
    for (const W_Adres *row : rowsOf(&panel))
        result.append(markLetters(*row));
    return result;
}

QStringList allGrey()
{
    QStringList rows;
    for (int i = 0; i < 10; ++i)
        rows.append(QString(10, QLatin1Char('.')));
    return rows;
}

QByteArray poll(int adres)
{
    return QByteArray("!01") + char(48 + adres);
}

QVector<bool> rowsEnabled(const W_Test &panel)
{
    QVector<bool> result;
    for (const W_Adres *row : rowsOf(&panel))
        result.append(row->isEnabled());
    return result;
}

} // namespace

class tst_W_Test : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startWithCheckedRows_data();
    void startWithCheckedRows();
    void reports_data();
    void reports();

private:

    W_Test *panel = nullptr;
};

// A panel as the main window has it: connected, with its sgValueChange left
// unconnected; every key must act once per click through the panel's own
// connections.
void tst_W_Test::init()
{
    panel = new W_Test;
    panel->connectAll();
    panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel));
}

void tst_W_Test::cleanup()
{
    delete panel;
    panel = nullptr;
}

void tst_W_Test::startWithCheckedRows_data()
{
    // Row numbers 1 to 10 in the order the operator checks them, the
    // addresses typed into them, and the bytes the start must carry.
    QTest::addColumn<QList<int>>("checked");
    QTest::addColumn<QList<int>>("adreses");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("rows 2 and 7") << QList<int>{2, 7} << QList<int>{2, 7} << QByteArray("\x02\x07", 2);
    QTest::newRow("row order, not click order")
        << QList<int>{9, 1} << QList<int>{9, 1} << QByteArray("\x01\x09", 2);
    QTest::newRow("edited addresses, 0 and 63")
        << QList<int>{3, 5} << QList<int>{0, 63} << QByteArray("\x00\x3f", 2);
    QTest::newRow("all ten") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}
                             << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}
                             << QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a", 10);
}

void tst_W_Test::startWithCheckedRows()
{
    QFETCH(QList<int>, checked);
    QFETCH(QList<int>, adreses);
    QFETCH(QByteArray, expected);

    const QList<W_Adres *> rows = rowsOf(panel);
    for (int i = 0; i < checked.size(); ++i) {
        W_Adres *row = rows.at(checked.at(i) - 1);
        clickCheckBox(row->checkBox());
        QVERIFY(row->spinBox()->isEnabled());
        row->setAdres(quint8(adreses.at(i)));
    }

    QSignalSpy started(panel, &W_Test::sgStartTest);
    QSignalSpy stopped(panel, &W_Test::sgStopTest);
    QVERIFY(started.isValid());
    QVERIFY(stopped.isValid());

    QTest::mouseClick(testKeyOf(panel), Qt::LeftButton);

    QCOMPARE(started.count(), 1);
    QCOMPARE(started.first().first().toByteArray(), expected);
    QCOMPARE(stopped.count(), 0);
    QVERIFY(testKeyOf(panel)->isChecked());
    QVERIFY(panel->isTesting());
    QCOMPARE(testKeyOf(panel)->text(), QStringLiteral("STOP"));
    QCOMPARE(rowsEnabled(*panel), QVector<bool>(10, false));

    // A disabled row ignores the operator while the test runs.
    W_Adres *other = rows.at(checked.contains(4) ? 5 : 3);
    const bool wasChecked = other->isChecked();
    clickCheckBox(other->checkBox());
    QCOMPARE(other->isChecked(), wasChecked);
    QCOMPARE(started.count(), 1);
}

void tst_W_Test::reports_data()
{
    // Reports: 'a' addRequest, 'o' okRect, 'e' errRect, followed by the
    // request text. Rows keep the addresses 1 to 10 unless "adreses" says
    // otherwise.
    QTest::addColumn<QByteArray>("adreses");
    QTest::addColumn<QList<QByteArray>>("reports");
    QTest::addColumn<QStringList>("expected");

    const QByteArray standard("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a", 10);
    auto with = [](int row, const QString &marks) {
        QStringList rows = allGrey();
        rows[row - 1] = marks;
        return rows;
    };

    QTest::newRow("one poll") << standard << QList<QByteArray>{"a" + poll(4)} << with(4, "y.........");
    QTest::newRow("eleven polls of address 3")
        << standard << QVector<QByteArray>(11, "a" + poll(3)).toList() << with(3, "yyyyyyyyyy");
    QTest::newRow("poll, ok, poll, error")
        << standard << QList<QByteArray>{"a" + poll(6), "o" + poll(6), "a" + poll(6), "e" + poll(6)}
        << with(6, "rg........");
    QTest::newRow("results do not shift")
        << standard << QList<QByteArray>{"a" + poll(2), "o" + poll(2), "e" + poll(2), "o" + poll(2)}
        << with(2, "g.........");
    QTest::newRow("address 10 is !01:") << standard << QList<QByteArray>{"a!01:", "e!01:"}
                                        << with(10, "r.........");
    QTest::newRow("address 12 held by no row")
        << standard << QList<QByteArray>{"a!01<", "o!01<", "e!01<"} << allGrey();
    QTest::newRow("address 12 once a row holds it")
        << QByteArray("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0c", 10)
        << QList<QByteArray>{"a!01<", "o!01<"} << with(10, "g.........");
    QTest::newRow("two rows with address 7: the first")
        << QByteArray("\x01\x07\x03\x04\x05\x06\x07\x08\x09\x0a", 10)
        << QList<QByteArray>{"a" + poll(7), "e" + poll(7)} << with(2, "r.........");
    QTest::newRow("address 0 and 63")
        << QByteArray("\x00\x02\x03\x04\x05\x06\x07\x08\x09\x3f", 10)
        << QList<QByteArray>{"a" + poll(0), "a" + poll(63)}
        << QStringList{"y.........", "..........", "..........", "..........", "..........",
                       "..........", "..........", "..........", "..........", "y........."};
    QTest::newRow("interleaved addresses")
        << standard
        << QList<QByteArray>{"a" + poll(1), "o" + poll(1), "a" + poll(8), "e" + poll(8), "a" + poll(1)}
        << QStringList{"yg........", "..........", "..........", "..........", "..........",
                       "..........", "..........", "r.........", "..........", ".........."};
    QTest::newRow("other prefix") << standard << QList<QByteArray>{"a!021", "a$01", "a 011"} << allGrey();
    QTest::newRow("poll text cut short") << standard << QList<QByteArray>{"a!01", "a!0", "a"} << allGrey();
}

void tst_W_Test::reports()
{
    QFETCH(QByteArray, adreses);
    QFETCH(QList<QByteArray>, reports);
    QFETCH(QStringList, expected);

    const QList<W_Adres *> rows = rowsOf(panel);
    for (int i = 0; i < rows.size(); ++i)
        rows.at(i)->setAdres(quint8(adreses.at(i)));

    for (const QByteArray &report : reports) {
        const QByteArray request = report.mid(1);
        switch (report.at(0)) {
        case 'a': panel->addRequest(request); break;
        case 'o': panel->okRect(request); break;
        case 'e': panel->errRect(request); break;
        default: QFAIL("unknown report");
        }
    }
    QCOMPARE(marks(*panel), expected);
}

RYD_PANEL_RULES(tst_W_Test)
#include "tst_w_test.moc"
