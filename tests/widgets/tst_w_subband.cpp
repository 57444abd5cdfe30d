#include "panelrules.h"
#include "panelcheck.h"
#include "w_rb.h"
#include "w_subband.h"

#include <QComboBox>
#include <QGroupBox>
#include <QSignalSpy>
#include <QtTest>

class tst_W_SubBand : public QObject
{
    Q_OBJECT

private slots:
    void outsidePlan_data();
    void outsidePlan();
    void changeRate_data();
    void changeRate();
    void rebuildSelectsFirst_data();
    void rebuildSelectsFirst();

private:
};

void tst_W_SubBand::outsidePlan_data()
{
    QTest::addColumn<int>("band");
    QTest::addColumn<int>("speed");

    QTest::newRow("speed 5") << 2 << 5;
    QTest::newRow("speed 255") << 2 << 255;
    QTest::newRow("band 1") << 1 << 0;
    QTest::newRow("band 3") << 3 << 3;
    QTest::newRow("band 9") << 9 << 2;
}

void tst_W_SubBand::outsidePlan()
{
    QFETCH(int, band);
    QFETCH(int, speed);

    W_SubBand panel;
    panel.setSpeed(3);
    panel.chanelBox()->setCurrentIndex(1);
    panel.applyChannelPlan(quint8(band), quint8(speed), 868700);
    QCOMPARE(comboItems(panel.chanelBox()), (QStringList{"868.8 MHz", "869 MHz"}));
    QCOMPARE(panel.chanelBox()->currentIndex(), 1);

    if (band == 2) {
        panel.setSpeed(quint8(speed));
        panel.changeRate(QStringLiteral("Radio Data Rate"), quint8(speed));
        QCOMPARE(panel.chanelBox()->count(), 2);
        QCOMPARE(panel.chanelBox()->currentIndex(), 1);
    }
}

void tst_W_SubBand::changeRate_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("count");

    QTest::newRow("rate") << QStringLiteral("Radio Data Rate") << 2;
    QTest::newRow("longer name") << QStringLiteral("Radio Data Rate 2") << 2;
    QTest::newRow("power") << QStringLiteral("Power") << 5;
    QTest::newRow("shorter name") << QStringLiteral("Radio Data") << 5;
    QTest::newRow("other case") << QStringLiteral("radio data rate") << 5;
    QTest::newRow("empty") << QString() << 5;
}

void tst_W_SubBand::changeRate()
{
    QFETCH(QString, name);
    QFETCH(int, count);

    W_SubBand panel;
    panel.changeRate(name, 3);
    QCOMPARE(panel.chanelBox()->count(), count);
}

void tst_W_SubBand::rebuildSelectsFirst_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("count");

    QTest::newRow("last of five to two") << 4 << 3 << 2;
    QTest::newRow("first of five to ten") << 0 << 0 << 10;
    QTest::newRow("middle of five to one") << 2 << 4 << 1;
    QTest::newRow("same plan again") << 3 << 2 << 5;
}

void tst_W_SubBand::rebuildSelectsFirst()
{
    QFETCH(int, selected);
    QFETCH(int, speed);
    QFETCH(int, count);

    W_SubBand panel;
    panel.connectAll();
    panel.chanelBox()->setCurrentIndex(selected);
    QSignalSpy spy(&panel, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    panel.setSpeed(quint8(speed));
    QCOMPARE(panel.chanelBox()->count(), count);
    QCOMPARE(panel.chanelBox()->currentIndex(), 0);
    QVERIFY(!spy.isEmpty());
    for (const QList<QVariant> &report : qAsConst(spy))
        QCOMPARE(report.at(0).toString(), QStringLiteral("Chanel"));
    QCOMPARE(spy.last().at(1).toInt(), 0);
}

RYD_PANEL_RULES(tst_W_SubBand)
#include "tst_w_subband.moc"
