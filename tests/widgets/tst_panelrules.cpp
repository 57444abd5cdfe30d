#include "panelcheck.h"
#include "systemportlist.h"
#include "w_comport.h"
#include "w_progress.h"
#include "w_radio.h"
#include "w_radiocommonright.h"
#include "w_rb.h"
#include "w_rs485.h"
#include "w_serialrate.h"
#include "w_test.h"

#include <QtWidgets>

// A combo box as shown, the chosen item in brackets: "COM3, [COM4]".
static QString shown(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << (i == box->currentIndex() ? '[' + box->itemText(i) + ']' : box->itemText(i));
    return items.join(", ");
}

static QChar letter(const QColor &c)
{
    return c == Qt::gray ? '.' : c == Qt::yellow ? 'y' : c == Qt::green ? 'g' : c == Qt::red ? 'r' : '?';
}

class tst_PanelRules : public QObject
{
    Q_OBJECT

private slots:
    void radioRate_data();
    void radioRate();
    void testMarks_data();
    void testMarks();
    void portList();
};

void tst_PanelRules::radioRate_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<QString>("channels");
    QTest::addColumn<int>("distance");
    QTest::addColumn<QString>("serialRates");

    const QString slow("[868.725 MHz], 868.775 MHz, 868.825 MHz, 868.875 MHz, 868.925 MHz, "
                       "868.975 MHz, 869.025 MHz, 869.075 MHz, 869.125 MHz, 869.175 MHz");
    const QString medium("868.75 MHz, [868.85 MHz], 868.95 MHz, 869.05 MHz, 869.15 MHz");
    QTest::newRow("4800 bps") << 0 << slow << 98 << "gggyyyyy";
    QTest::newRow("9600 bps") << 1 << slow << 80 << "ggggyyyy";
    QTest::newRow("19200 bps") << 2 << QString(medium).remove('[').remove(']').replace("868.75 MHz", "[868.75 MHz]")
                               << 60 << "gggggyyy";
    QTest::newRow("38400 bps") << 3 << "[868.8 MHz], 869 MHz" << 40 << "ggggggyy";
    QTest::newRow("115200 bps") << 4 << "[868.95 MHz]" << 20 << "gggggggg";
    QTest::newRow("beyond the rates: all kept") << 5 << medium << 0 << "gyyyyyyy";
}

// The channel list follows the rate it is given, its first channel shown; a press on a rate moves the
// distance bar; green serial rates are carried, yellow not.
void tst_PanelRules::radioRate()
{
    QFETCH(int, rate);
    QFETCH(QString, channels);
    QFETCH(int, distance);
    QFETCH(QString, serialRates);
    W_Rs485 rs485;
    rs485.setRadioRate(quint8(rate));
    QString shownRates;
    for (const W_Rb *rb : rs485.serialRatePanel()->buttons())
        shownRates += letter(rb->palette().color(QPalette::Base));
    QCOMPARE(shownRates, serialRates);

    W_Radio radio;
    auto *chanel = radio.findChild<QComboBox *>("Chanel");
    chanel->setCurrentIndex(1);
    if (W_Rb *rb = radio.rightPanel()->buttons().value(rate))
        rb->click();
    radio.setSpeed(quint8(rate));
    QCOMPARE(shown(chanel), channels);
    QCOMPARE(radio.rightPanel()->progress()->percent(), distance);
}

void tst_PanelRules::testMarks_data()
{
    // 'a' a poll sent, 'o' answered, 'e' missed, each with its poll ("!01", address + 48); marks newest first
    // by address, in the rows not all grey.
    QTest::addColumn<QByteArray>("reports");
    QTest::addColumn<QString>("marks");

    QTest::newRow("results do not shift") << QByteArray("a!014 o!014 e!014 o!014") << "4:g";
    QTest::newRow("interleaved") << QByteArray("a!011 o!011 a!01: e!01: a!011") << "1:yg 10:r";
    QTest::newRow("no row's poll") << QByteArray("a!01< o!01< a!021 a$01 a!01 a") << "";
}

void tst_PanelRules::testMarks()
{
    QFETCH(QByteArray, reports);
    QFETCH(QString, marks);
    W_Test panel;
    const QMap<char, void (W_Test::*)(const QByteArray &)> actions{
        {'a', &W_Test::addRequest}, {'o', &W_Test::okRect}, {'e', &W_Test::errRect}};
    for (const QByteArray &report : reports.split(' '))
        (panel.*actions.value(report.at(0)))(report.mid(1));
    QStringList shown;
    for (const W_Adres *row : rowsOf(&panel)) {
        QString rowMarks;
        for (const QWidget *mark : row->rects())
            rowMarks += mark->autoFillBackground() ? letter(mark->palette().color(QPalette::Window)) : QChar('!');
        rowMarks.remove(QRegularExpression("\\.+$"));
        if (!rowMarks.isEmpty())
            shown << QString("%1:%2").arg(row->adres()).arg(rowMarks);
    }
    QCOMPARE(shown.join(' '), marks);
}

// The owner hears of every port chosen; the port is stored on connect only.
void tst_PanelRules::portList()
{
    QSettings().setValue("PortName", "COM10");
    QStringList ports{"COM1", "COM3"};
    W_ComPort panel(nullptr, [&ports] { return ports; });
    panel.connectAll();
    QSignalSpy texts(&panel, &W_QWidget::sgTextChange);
    auto refresh = [&](const QStringList &now) {
        ports = now;
        panel.slUpdatePortName();
        return shown(panel.findChild<QComboBox *>("PortName"));
    };
    QCOMPARE(refresh({"COM1", "COM3", "COM10"}), "COM1, COM3, [COM10]");
    // Entries match by the start of a name: COM10 keeps COM1.
    QCOMPARE(refresh({"COM10"}), "COM1, [COM10]");
    QCOMPARE(refresh({"COM3"}), "[COM3]");
    QCOMPARE(texts.last(), (QVariantList{"PortName", "COM3"}));
    QCOMPARE(QSettings().value("PortName").toString(), "COM10");

    // Connected, the list keeps the open port and the choice, even when the stored port comes.
    panel.setConnected(true);
    QCOMPARE(QSettings().value("PortName").toString(), "COM3");
    QSettings().setValue("PortName", "COM1");
    QCOMPARE(refresh({"COM1"}), "[COM3], COM1");

    // The system's list, with a folder standing in for /dev: a port comes or goes with a node. udev describes a
    // device a moment after its node appears: the list looks again until the folder is quiet, then asks no more.
    QTemporaryDir dev;
    QStringList devices{"ttyS0"};
    int enumerations = 0;
    SystemPortList list({dev.path()}, [&] { ++enumerations; return devices; }, 200);
    W_ComPort systemPanel(nullptr, [&list] { return list.names(); });
    QVERIFY(QFile(dev.filePath("ttyUSB0")).open(QIODevice::WriteOnly));
    devices << "ttyUSB0";
    QTRY_COMPARE_WITH_TIMEOUT(list.names(), devices, 100);
    QTRY_COMPARE_WITH_TIMEOUT(shown(systemPanel.findChild<QComboBox *>("PortName")), "[ttyS0], ttyUSB0", 2500);
    const int settled = enumerations;
    QCOMPARE(list.names(), devices);
    QCOMPARE(enumerations, settled);

    QVERIFY(QFile::remove(dev.filePath("ttyUSB0")));
    devices.removeLast();
    QCOMPARE(list.names(), devices);
}

QTEST_MAIN(tst_PanelRules)
#include "tst_panelrules.moc"
