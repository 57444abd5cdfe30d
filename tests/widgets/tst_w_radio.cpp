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

    void initialState();
    void radioRateButton_data();
    void radioRateButton();
    void setSpeed_data();
    void setSpeed();
    void radioRateByName_data();
    void radioRateByName();
    void subBandButton();
    void serialTimeoutFloor_data();
    void serialTimeoutFloor();
    void serialTimeoutFloorLowered();
    void powerByName_data();
    void powerByName();
    void powerByDial();
    void reportsByName_data();
    void reportsByName();
    void displayTexts();
    void fitsAtMinimumSize();

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

void tst_W_Radio::initialState()
{
    const QList<W_Rb *> rates = radio->rightPanel()->buttons();
    QCOMPARE(rates.size(), 5);
    const QStringList rateTexts{"4800 bps", "9600 bps", "19200 bps", "38400 bps", "115200 bps"};
    for (int i = 0; i < rates.size(); ++i) {
        QCOMPARE(rates.at(i)->text(), rateTexts.at(i));
        QCOMPARE(int(rates.at(i)->number()), i);
        QVERIFY(!rates.at(i)->isChecked());
        QCOMPARE(static_cast<QGroupBox *>(rates.at(i)->parent())->title(), QStringLiteral("Radio Data Rate"));
    }
    for (const W_Rb *rb : radio->subBandPanel()->buttons())
        QVERIFY(!rb->isChecked());

    QCOMPARE(comboItems(chanel()), (QStringList{"868.75 MHz", "868.85 MHz", "868.95 MHz", "869.05 MHz", "869.15 MHz"}));
    QCOMPARE(radio->rightPanel()->progress()->percent(), 0);
    auto *bar = radio->rightPanel()->progress()->findChild<QProgressBar *>();
    QVERIFY(bar);
    QCOMPARE(bar->format(), QStringLiteral("Distance %"));
    QCOMPARE(bar->text(), QStringLiteral("Distance %"));
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);
    QCOMPARE(bar->minimumWidth(), 65);
    QCOMPARE(bar->maximumWidth(), 65);
    QCOMPARE(radio->rightPanel()->powerPanel()->power(), 0);
    QCOMPARE(radio->rightPanel()->powerPanel()->objectName(), QStringLiteral("Power"));

    QSpinBox *address = spinBox(QStringLiteral("Test address"));
    QVERIFY(address);
    QCOMPARE(address->minimum(), 0);
    QCOMPARE(address->maximum(), 63);
    QCOMPARE(address->value(), 0);

    QSpinBox *timeout = spinBox(QStringLiteral("Serial Timeout"));
    QVERIFY(timeout);
    QCOMPARE(timeout->minimum(), 0);
    QCOMPARE(timeout->maximum(), 250);
    QCOMPARE(timeout->value(), 0);

    auto *flow = radio->findChild<QComboBox *>(QStringLiteral("Flow control"));
    QVERIFY(flow);
    QCOMPARE(comboItems(flow), (QStringList{"None", "HardWare"}));
    QCOMPARE(flow->currentIndex(), 0);

    auto *module = radio->findChild<QLineEdit *>(QStringLiteral("Radio module"));
    auto *firmware = radio->findChild<QLineEdit *>(QStringLiteral("FirmWare"));
    QVERIFY(module);
    QVERIFY(firmware);
    QVERIFY(!module->isEnabled());
    QVERIFY(!firmware->isEnabled());
    QCOMPARE(module->text(), QString());
    QCOMPARE(firmware->text(), QStringLiteral("x/x"));
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

void tst_W_Radio::radioRateByName_data()
{
    radioRateButton_data();
}

// A rate set by name follows on the distance bar but neither reports nor
// rebuilds the channels: the owner does that through setSpeed.
void tst_W_Radio::radioRateByName()
{
    QFETCH(int, number);
    QFETCH(int, distance);

    const QStringList before = comboItems(chanel());
    QSignalSpy spy(radio, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    radio->setValueByName(QStringLiteral("Radio Data Rate"), number);
    QVERIFY(radio->rightPanel()->buttons().at(number)->isChecked());
    QCOMPARE(radio->rightPanel()->progress()->percent(), distance);
    QCOMPARE(comboItems(chanel()), before);
    QCOMPARE(spy.count(), 0);

    // No button stands for 5: the bar keeps its value.
    radio->setValueByName(QStringLiteral("Radio Data Rate"), 5);
    QCOMPARE(radio->rightPanel()->progress()->percent(), distance);
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

void tst_W_Radio::serialTimeoutFloorLowered()
{
    QSpinBox *timeout = spinBox(QStringLiteral("Serial Timeout"));
    radio->setSerialRate(0);
    QCOMPARE(timeout->value(), 17);
    radio->setSerialRate(7);
    QCOMPARE(timeout->minimum(), 2);
    QCOMPARE(timeout->value(), 17);
    radio->setValueByName(QStringLiteral("Serial Timeout"), 251);
    QCOMPARE(timeout->value(), 250);
}

void tst_W_Radio::powerByName_data()
{
    QTest::addColumn<int>("power");
    for (int p = 0; p <= 7; ++p)
        QTest::addRow("power %d", p) << p;
}

void tst_W_Radio::powerByName()
{
    QFETCH(int, power);

    // Start from another value so that the change is real.
    radio->setValueByName(QStringLiteral("Power"), (power + 1) % 8);
    QSignalSpy spy(radio, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    radio->setValueByName(QStringLiteral("Power"), power);
    QCOMPARE(radio->rightPanel()->powerPanel()->power(), power);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first(), report(QStringLiteral("Power"), power));
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

void tst_W_Radio::reportsByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("value");

    QTest::newRow("Test address") << QStringLiteral("Test address") << int(Qt::Key_Up) << 1;
    QTest::newRow("Flow control") << QStringLiteral("Flow control") << int(Qt::Key_Down) << 1;
}

// Operator edits come out of the panel under the setting's exact name.
void tst_W_Radio::reportsByName()
{
    QFETCH(QString, name);
    QFETCH(int, key);
    QFETCH(int, value);

    auto *widget = radio->findChild<QWidget *>(name);
    QVERIFY(widget);
    QSignalSpy spy(radio, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());
    QSignalSpy textSpy(radio, &W_QWidget::sgTextChange);
    QVERIFY(textSpy.isValid());

    QTest::keyClick(widget, Qt::Key(key));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first(), report(name, value));
    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        QCOMPARE(textSpy.count(), 1);
        QCOMPARE(textSpy.first(), (QVariantList{name, combo->itemText(value)}));
    }
}

void tst_W_Radio::displayTexts()
{
    QSignalSpy spy(radio, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    radio->setTextByName(QStringLiteral("FirmWare"), QStringLiteral("2.5/1"));
    radio->setTextByName(QStringLiteral("Radio module"), QStringLiteral("LE50-868 v4"));
    QCOMPARE(radio->findChild<QLineEdit *>(QStringLiteral("FirmWare"))->text(), QStringLiteral("2.5/1"));
    QCOMPARE(radio->findChild<QLineEdit *>(QStringLiteral("Radio module"))->text(), QStringLiteral("LE50-868 v4"));
    QCOMPARE(spy.count(), 0);
}

void tst_W_Radio::fitsAtMinimumSize()
{
    verifyFitsAtMinimumSize(radio);
    // The distance bar keeps its fixed width; its words must still fit on one line.
    auto *bar = radio->findChild<W_Progress *>()->findChild<QProgressBar *>();
    QCOMPARE(bar->width(), 65);
    QVERIFY(QFontMetrics(bar->font()).horizontalAdvance(bar->format()) <= bar->width());
}

QTEST_MAIN(tst_W_Radio)
#include "tst_w_radio.moc"
