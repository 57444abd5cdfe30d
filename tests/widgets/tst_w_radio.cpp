#include "panelrules.h"
#include "panelcheck.h"
#include "w_power.h"
#include "w_progress.h"
#include "w_radio.h"
#include "w_radiocommonleft.h"
#include "w_radiocommonright.h"
#include "w_rb.h"
#include "w_subband.h"

#include <QComboBox>
#include <QDial>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

class tst_W_Radio : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void radioRateButton_data();
    void radioRateButton();
    void setSpeed_data();
    void setSpeed();
    void subBandButton();
    void serialTimeoutFloor_data();
    void serialTimeoutFloor();
    void powerByDial();

private:
    QComboBox *chanel() const { return radio->findChild<QComboBox *>(QStringLiteral("Chanel")); }
    QSpinBox *spinBox(const QString &name) const { return radio->findChild<QSpinBox *>(name); }
    static Report report(const QString &name, int value) { return {name, value}; }

    W_Radio *radio = nullptr;
};

// A radio panel as the main window has it: created without parent, then
// connected.
void tst_W_Radio::init()
{
    radio = new W_Radio;
    radio->connectAll();
}

void tst_W_Radio::cleanup()
{
    delete radio;
    radio = nullptr;
}

void tst_W_Radio::radioRateButton_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QStringList>("channels");
    QTest::addColumn<int>("distance");

    const QStringList slow{"868.725 MHz", "868.775 MHz", "868.825 MHz", "868.875 MHz", "868.925 MHz",
                           "868.975 MHz", "869.025 MHz", "869.075 MHz", "869.125 MHz", "869.175 MHz"};
    QTest::newRow("4800 bps") << 0 << slow << 98;
    QTest::newRow("9600 bps") << 1 << slow << 80;
    QTest::newRow("19200 bps")
        << 2 << QStringList{"868.75 MHz", "868.85 MHz", "868.95 MHz", "869.05 MHz", "869.15 MHz"} << 60;
    QTest::newRow("38400 bps") << 3 << QStringList{"868.8 MHz", "869 MHz"} << 40;
    QTest::newRow("115200 bps") << 4 << QStringList{"868.95 MHz"} << 20;
}

// The operator's press rebuilds the channel list before the owner hears of
// the new rate, and the owner sees "Chanel" end at the first channel.
void tst_W_Radio::radioRateButton()
{
    QFETCH(int, number);
    QFETCH(QStringList, channels);
    QFETCH(int, distance);

    radio->show();
    QVERIFY(QTest::qWaitForWindowExposed(radio));
    chanel()->setCurrentIndex(1);
    QSignalSpy spy(radio, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    W_Rb *rb = radio->rightPanel()->buttons().at(number);
    clickRb(rb);

    QVERIFY(rb->isChecked());
    QCOMPARE(comboItems(chanel()), channels);
    // The channel chosen before, 868.85 MHz, stays chosen where the new list
    // has it; otherwise the first is.
    QCOMPARE(chanel()->currentIndex(), qMax(0, channels.indexOf(QStringLiteral("868.85 MHz"))));
    QCOMPARE(radio->rightPanel()->progress()->percent(), distance);

    QCOMPARE(spy.count(QVariantList{QStringLiteral("Radio Data Rate"), number}), 1);
    QCOMPARE(spy.last(), report(QStringLiteral("Radio Data Rate"), number));
    Report lastChanel;
    for (const Report &r : qAsConst(spy)) {
        if (r.at(0).toString() == QLatin1String("Chanel"))
            lastChanel = r;
    }
    QCOMPARE(lastChanel, report(QStringLiteral("Chanel"), chanel()->currentIndex()));
}

void tst_W_Radio::setSpeed_data()
{
    radioRateButton_data();
}

void tst_W_Radio::setSpeed()
{
    QFETCH(int, number);
    QFETCH(QStringList, channels);

    chanel()->setCurrentIndex(1);
    QSignalSpy spy(radio, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    radio->setSpeed(quint8(number));
    QCOMPARE(comboItems(chanel()), channels);
    QCOMPARE(chanel()->currentIndex(), 0);
    QVERIFY(!spy.isEmpty());
    QCOMPARE(spy.last(), report(QStringLiteral("Chanel"), 0));

    // The owner restores the record's channel after the rebuild.
    radio->setValueByName(QStringLiteral("Chanel"), channels.size() - 1);
    QCOMPARE(chanel()->currentIndex(), channels.size() - 1);

    radio->setSpeed(5);
    QCOMPARE(comboItems(chanel()), channels);
    QCOMPARE(chanel()->currentIndex(), channels.size() - 1);
}

// Only g2 can be pressed (the sub-band panel's own test checks that the
// others are disabled); its press reports the sub-band number.
void tst_W_Radio::subBandButton()
{
    radio->show();
    QVERIFY(QTest::qWaitForWindowExposed(radio));
    QSignalSpy spy(radio, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    W_Rb *rb = radio->subBandPanel()->buttons().at(1);
    clickRb(rb);
    QVERIFY(rb->isChecked());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first(), report(QStringLiteral("Sub-band"), 2));
}

void tst_W_Radio::serialTimeoutFloor_data()
{
    QTest::addColumn<int>("serialRate");
    QTest::addColumn<int>("floor");

    const int floors[] = {17, 9, 5, 3, 2, 2, 2, 2};
    for (int rate = 0; rate < 8; ++rate)
        QTest::addRow("rate %d", rate) << rate << floors[rate];
    QTest::newRow("rate 8") << 8 << 3;
    QTest::newRow("rate 255") << 255 << 3;
}

void tst_W_Radio::serialTimeoutFloor()
{
    QFETCH(int, serialRate);
    QFETCH(int, floor);

    QSpinBox *timeout = spinBox(QStringLiteral("Serial Timeout"));
    QSignalSpy spy(radio, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    radio->setValueByName(QStringLiteral("Serial Timeout"), 10);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.takeFirst(), report(QStringLiteral("Serial Timeout"), 10));

    radio->setSerialRate(quint8(serialRate));
    QCOMPARE(timeout->minimum(), floor);
    QCOMPARE(timeout->maximum(), 250);
    if (floor > 10) {
        QCOMPARE(timeout->value(), floor);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first(), report(QStringLiteral("Serial Timeout"), floor));
    } else {
        QCOMPARE(timeout->value(), 10);
        QCOMPARE(spy.count(), 0);
    }

    radio->setValueByName(QStringLiteral("Serial Timeout"), 0);
    QCOMPARE(timeout->value(), floor);
}

void tst_W_Radio::powerByDial()
{
    auto *dial = radio->findChild<QDial *>();
    QVERIFY(dial);
    QSignalSpy spy(radio, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    for (int step = 0; step < 8; ++step)
        QTest::keyClick(dial, Qt::Key_Up);
    for (int step = 0; step < 8; ++step)
        QTest::keyClick(dial, Qt::Key_Down);

    QList<Report> expected;
    for (int p = 1; p <= 7; ++p)
        expected << report(QStringLiteral("Power"), p);
    for (int p = 6; p >= 0; --p)
        expected << report(QStringLiteral("Power"), p);
    QCOMPARE(static_cast<const QList<Report> &>(spy), expected);
}

RYD_PANEL_RULES(tst_W_Radio)
#include "tst_w_radio.moc"
