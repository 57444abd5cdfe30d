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
    void initialState();
    void channelPlan_data();
    void channelPlan();
    void outsidePlan_data();
    void outsidePlan();
    void changeRate_data();
    void changeRate();
    void rebuildSelectsFirst_data();
    void rebuildSelectsFirst();
    void emptyPlanReportsNoSelection();

private:
};

void tst_W_SubBand::initialState()
{
    W_SubBand panel;
    const QStringList initial{QStringLiteral("868.75 MHz"), QStringLiteral("868.85 MHz"),
                              QStringLiteral("868.95 MHz"), QStringLiteral("869.05 MHz"),
                              QStringLiteral("869.15 MHz")};
    QCOMPARE(panel.chanelBox()->objectName(), QStringLiteral("Chanel"));
    QCOMPARE(comboItems(panel.chanelBox()), initial);
    QCOMPARE(panel.chanelBox()->currentIndex(), 0);
    QCOMPARE(panel.bandStart(), quint32(868700));

    QCOMPARE(panel.buttons().size(), 4);
    const QStringList texts{QStringLiteral("g1 868-868.6 MHz"), QStringLiteral("g2 868.7-869.2 MHz"),
                            QStringLiteral("g3 869.4-869.65 MHz"), QStringLiteral("g4 869.7-870 MHz")};
    const QList<int> numbers{0, 2, 6, 8};
    for (int i = 0; i < 4; ++i) {
        const W_Rb *rb = panel.buttons().at(i);
        QCOMPARE(rb->text(), texts.at(i));
        QCOMPARE(int(rb->number()), numbers.at(i));
        QCOMPARE(rb->isEnabled(), numbers.at(i) == 2);
        QVERIFY(!rb->isChecked());
        auto *group = qobject_cast<QGroupBox *>(rb->parent());
        QVERIFY(group);
        QCOMPARE(group->title(), QStringLiteral("Sub-band"));
    }
}

void tst_W_SubBand::channelPlan_data()
{
    QTest::addColumn<int>("band");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("bandStart");
    QTest::addColumn<QStringList>("channels");

    const QStringList g2Slow{"868.725 MHz", "868.775 MHz", "868.825 MHz", "868.875 MHz", "868.925 MHz",
                             "868.975 MHz", "869.025 MHz", "869.075 MHz", "869.125 MHz", "869.175 MHz"};
    QTest::newRow("g2 4800") << 2 << 0 << 868700 << g2Slow;
    QTest::newRow("g2 9600") << 2 << 1 << 868700 << g2Slow;
    QTest::newRow("g2 19200") << 2 << 2 << 868700
                              << QStringList{"868.75 MHz", "868.85 MHz", "868.95 MHz", "869.05 MHz", "869.15 MHz"};
    QTest::newRow("g2 38400") << 2 << 3 << 868700 << QStringList{"868.8 MHz", "869 MHz"};
    QTest::newRow("g2 115200") << 2 << 4 << 868700 << QStringList{"868.95 MHz"};

    QStringList g1Slow;
    for (int i = 0; i < 12; ++i)
        g1Slow << QStringLiteral("868.%1 MHz").arg(25 + 50 * i, 3, 10, QLatin1Char('0'));
    QTest::newRow("g1 4800") << 0 << 0 << 868000 << g1Slow;
    QTest::newRow("g1 9600") << 0 << 1 << 868000 << g1Slow;
    QTest::newRow("g1 19200") << 0 << 2 << 868000
                              << QStringList{"868.05 MHz", "868.15 MHz", "868.25 MHz",
                                             "868.35 MHz", "868.45 MHz", "868.55 MHz"};
    QTest::newRow("g1 38400") << 0 << 3 << 868000 << QStringList{"868.1 MHz", "868.3 MHz", "868.5 MHz"};
    QTest::newRow("g1 115200") << 0 << 4 << 868000 << QStringList{"868.3 MHz"};

    for (int speed = 0; speed < 4; ++speed)
        QTest::addRow("g3 speed %d", speed) << 6 << speed << 869400 << QStringList{"869.525 MHz"};
    QTest::newRow("g3 115200") << 6 << 4 << 869400 << QStringList();

    const QStringList g4Slow{"869.725 MHz", "869.775 MHz", "869.825 MHz",
                             "869.875 MHz", "869.925 MHz", "869.975 MHz"};
    QTest::newRow("g4 4800") << 8 << 0 << 869700 << g4Slow;
    QTest::newRow("g4 9600") << 8 << 1 << 869700 << g4Slow;
    QTest::newRow("g4 19200") << 8 << 2 << 869700 << QStringList{"869.75 MHz", "869.85 MHz", "869.95 MHz"};
    QTest::newRow("g4 38400") << 8 << 3 << 869700 << QStringList{"869.775 MHz", "869.925 MHz"};
    QTest::newRow("g4 115200") << 8 << 4 << 869700 << QStringList();
}

void tst_W_SubBand::channelPlan()
{
    QFETCH(int, band);
    QFETCH(int, speed);
    QFETCH(int, bandStart);
    QFETCH(QStringList, channels);

    W_SubBand panel;
    panel.applyChannelPlan(quint8(band), quint8(speed), quint32(bandStart));
    QCOMPARE(panel.bandStart(), quint32(bandStart));
    QCOMPARE(comboItems(panel.chanelBox()), channels);
    QCOMPARE(panel.chanelBox()->currentIndex(), channels.isEmpty() ? -1 : 0);
    for (int i = 0; i < panel.chanelBox()->count(); ++i)
        QVERIFY(!panel.chanelBox()->itemData(i).isValid());
}

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

void tst_W_SubBand::emptyPlanReportsNoSelection()
{
    W_SubBand panel;
    panel.connectAll();
    QSignalSpy spy(&panel, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    panel.setChanelCount(0, 0);
    QCOMPARE(panel.chanelBox()->count(), 0);
    QVERIFY(!spy.isEmpty());
    QCOMPARE(spy.last(), (QList<QVariant>{QStringLiteral("Chanel"), -1}));
}

QTEST_MAIN(tst_W_SubBand)
#include "tst_w_subband.moc"
