#include "panelrules.h"
#include "panelcheck.h"
#include "w_rb.h"
#include "w_rs485.h"
#include "w_rs485common.h"
#include "w_serialrate.h"

#include <QComboBox>
#include <QGroupBox>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

namespace {
const QStringList rateTexts{"1200 bps", "2400 bps", "4800 bps", "9600 bps",
                            "19200 bps", "38400 bps", "57600 bps", "115200 bps"};
}

class tst_W_Rs485 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void colouring_data();
    void colouring();
    void serialRateButton_data();
    void serialRateButton();
    void lineParameters_data();
    void lineParameters();

private:
    const QList<W_Rb *> &buttons() const { return rs485->serialRatePanel()->buttons(); }

    W_Rs485 *rs485 = nullptr;
};

void tst_W_Rs485::init()
{
    rs485 = new W_Rs485;
    rs485->connectAll();
}

void tst_W_Rs485::cleanup()
{
    delete rs485;
    rs485 = nullptr;
}

void tst_W_Rs485::colouring_data()
{
    QTest::addColumn<QList<int>>("earlierRates");
    QTest::addColumn<int>("radioRate");
    // The highest serial rate still shown green.
    QTest::addColumn<int>("highest");

    QTest::newRow("4800 bps") << QList<int>() << 0 << 2;
    QTest::newRow("9600 bps") << QList<int>() << 1 << 3;
    QTest::newRow("19200 bps") << QList<int>() << 2 << 4;
    QTest::newRow("38400 bps") << QList<int>() << 3 << 5;
    QTest::newRow("115200 bps") << QList<int>() << 4 << 7;
    QTest::newRow("index 5") << QList<int>() << 5 << 0;
    QTest::newRow("index 255") << QList<int>() << 255 << 0;
    QTest::newRow("19200 after 115200") << QList<int>{4} << 2 << 4;
    QTest::newRow("38400 after 4800") << QList<int>{4, 2, 0} << 3 << 5;
}

void tst_W_Rs485::colouring()
{
    QFETCH(QList<int>, earlierRates);
    QFETCH(int, radioRate);
    QFETCH(int, highest);

    for (int rate : earlierRates)
        rs485->setRadioRate(quint8(rate));
    rs485->setRadioRate(quint8(radioRate));
    for (int i = 0; i < 8; ++i) {
        const QPalette palette = buttons().at(i)->palette();
        const QColor expected = i > highest ? QColor(Qt::yellow) : QColor(Qt::green);
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            QVERIFY2(palette.color(group, QPalette::Base) == expected,
                     qPrintable(buttons().at(i)->text() + QLatin1String(" has ")
                                + palette.color(group, QPalette::Base).name()));
    }
}

void tst_W_Rs485::serialRateButton_data()
{
    QTest::addColumn<int>("number");
    for (int n = 0; n < 8; ++n)
        QTest::newRow(qPrintable(rateTexts.at(n))) << n;
}

// The colour only marks: a yellow rate can still be chosen.
void tst_W_Rs485::serialRateButton()
{
    QFETCH(int, number);

    rs485->setRadioRate(0);
    rs485->show();
    QVERIFY(QTest::qWaitForWindowExposed(rs485));
    QSignalSpy spy(rs485, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    W_Rb *rb = buttons().at(number);
    clickRb(rb);
    QVERIFY(rb->isChecked());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first(), (Report{QStringLiteral("Serial Data Rate"), number}));

    clickRb(rb);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.last(), (Report{QStringLiteral("Serial Data Rate"), number}));

    rs485->setValueByName(QStringLiteral("Serial Data Rate"), (number + 1) % 8);
    QVERIFY(buttons().at((number + 1) % 8)->isChecked());
    QVERIFY(!rb->isChecked());
    QCOMPARE(spy.count(), 2);
}

void tst_W_Rs485::lineParameters_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("even parity") << QStringLiteral("Parity") << 1 << QStringLiteral("8-bit data, even parity");
    QTest::newRow("9-bit") << QStringLiteral("Parity") << 3 << QStringLiteral("9-bit data, no parity");
    QTest::newRow("2 stop bits") << QStringLiteral("Stop bit") << 1 << QStringLiteral("2");
    QTest::newRow("delay") << QStringLiteral("Delay Tx-Rx") << 25 << QString();
}

void tst_W_Rs485::lineParameters()
{
    QFETCH(QString, name);
    QFETCH(int, value);
    QFETCH(QString, text);

    QSignalSpy spy(rs485, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());
    QSignalSpy textSpy(rs485, &W_QWidget::sgTextChange);
    QVERIFY(textSpy.isValid());

    rs485->setValueByName(name, value);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first(), (Report{name, value}));
    QCOMPARE(rs485->textByName(name), text);
    if (!text.isEmpty()) {
        QCOMPARE(textSpy.count(), 1);
        QCOMPARE(textSpy.first(), (QVariantList{name, text}));
    }

    // The operator's step back down is reported the same way.
    QTest::keyClick(rs485->findChild<QWidget *>(name), name == QLatin1String("Delay Tx-Rx") ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.last(), (Report{name, value - 1}));
}

RYD_PANEL_RULES(tst_W_Rs485)
#include "tst_w_rs485.moc"
