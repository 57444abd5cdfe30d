#include "panelcheck.h"
#include "w_freezprotection.h"

#include <QComboBox>
#include <QGroupBox>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

class tst_W_FreezProtection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void initialState();
    void wdtByName_data();
    void wdtByName();
    void radioTransmitReset_data();
    void radioTransmitReset();
    void operatorEdits();
    void fitsAtMinimumSize();

private:
    QComboBox *wdt() const { return panel->findChild<QComboBox *>(QStringLiteral("WDT Reset")); }
    QSpinBox *rtr() const { return panel->findChild<QSpinBox *>(QStringLiteral("Radio Transmit Reset")); }

    W_FreezProtection *panel = nullptr;
};

void tst_W_FreezProtection::init()
{
    panel = new W_FreezProtection;
    panel->connectAll();
}

void tst_W_FreezProtection::cleanup()
{
    delete panel;
    panel = nullptr;
}

void tst_W_FreezProtection::initialState()
{
    QVERIFY(wdt());
    QVERIFY(rtr());
    QCOMPARE(wdt()->count(), 251);
    QCOMPARE(wdt()->currentIndex(), 0);
    QCOMPARE(rtr()->minimum(), 10);
    QCOMPARE(rtr()->maximum(), 250);
    QCOMPARE(rtr()->value(), 10);

    auto *group = panel->findChild<QGroupBox *>();
    QVERIFY(group);
    QCOMPARE(group->title(), QStringLiteral("Freeze Protection"));
    QStringList labels;
    for (const QLabel *label : group->findChildren<QLabel *>())
        labels << label->text();
    QCOMPARE(labels, (QStringList{"Radio Transmit Reset", "x100 ms", "WDT Reset"}));
}

void tst_W_FreezProtection::wdtByName_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QString>("text");

    QTest::newRow("disabled") << 0 << 0 << QStringLiteral("Disable");
    QTest::newRow("first") << 1 << 1 << QStringLiteral("10 sec");
    QTest::newRow("second") << 2 << 2 << QStringLiteral("20 sec");
    QTest::newRow("30 sec") << 3 << 3 << QStringLiteral("30 sec");
    QTest::newRow("middle") << 125 << 125 << QStringLiteral("1250 sec");
    QTest::newRow("last") << 250 << 250 << QStringLiteral("2500 sec");
    QTest::newRow("past the list") << 251 << -1 << QString();
}

void tst_W_FreezProtection::wdtByName()
{
    QFETCH(int, index);
    QFETCH(int, shown);
    QFETCH(QString, text);

    // Start from another entry so that the change is real.
    panel->setValueByName(QStringLiteral("WDT Reset"), index == 1 ? 2 : 1);
    QSignalSpy spy(panel, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());
    QSignalSpy textSpy(panel, &W_QWidget::sgTextChange);
    QVERIFY(textSpy.isValid());

    panel->setValueByName(QStringLiteral("WDT Reset"), index);
    QCOMPARE(wdt()->currentIndex(), shown);
    QCOMPARE(wdt()->itemText(shown), text);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first(), (Report{QStringLiteral("WDT Reset"), shown}));
    QCOMPARE(textSpy.count(), 1);
    QCOMPARE(textSpy.first(), (QVariantList{QStringLiteral("WDT Reset"), text}));
    QCOMPARE(panel->textByName(QStringLiteral("WDT Reset")), text);
}

void tst_W_FreezProtection::radioTransmitReset_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("shown");
    QTest::addColumn<bool>("reported");

    QTest::newRow("5 at 10") << 10 << 5 << 10 << false;
    QTest::newRow("5 at 20") << 20 << 5 << 10 << true;
    QTest::newRow("251") << 10 << 251 << 250 << true;
    QTest::newRow("250") << 10 << 250 << 250 << true;
    QTest::newRow("100") << 10 << 100 << 100 << true;
}

void tst_W_FreezProtection::radioTransmitReset()
{
    QFETCH(int, start);
    QFETCH(int, set);
    QFETCH(int, shown);
    QFETCH(bool, reported);

    panel->setValueByName(QStringLiteral("Radio Transmit Reset"), start);
    QSignalSpy spy(panel, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    panel->setValueByName(QStringLiteral("Radio Transmit Reset"), set);
    QCOMPARE(rtr()->value(), shown);
    if (reported) {
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first(), (Report{QStringLiteral("Radio Transmit Reset"), shown}));
    } else {
        QCOMPARE(spy.count(), 0);
    }
}

void tst_W_FreezProtection::operatorEdits()
{
    QSignalSpy spy(panel, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    QTest::keyClick(rtr(), Qt::Key_Up);
    QTest::keyClick(wdt(), Qt::Key_Down);
    QTest::keyClick(wdt(), Qt::Key_End);
    QCOMPARE(static_cast<const QList<Report> &>(spy),
             (QList<Report>{{QStringLiteral("Radio Transmit Reset"), 11},
                            {QStringLiteral("WDT Reset"), 1},
                            {QStringLiteral("WDT Reset"), 250}}));
}

void tst_W_FreezProtection::fitsAtMinimumSize()
{
    verifyFitsAtMinimumSize(panel);
}

QTEST_MAIN(tst_W_FreezProtection)
#include "tst_w_freezprotection.moc"
