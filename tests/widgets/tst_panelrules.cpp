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

namespace {

QStringList comboItems(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

QChar letter(const QColor &c)
{
    return c == Qt::gray ? '.' : c == Qt::yellow ? 'y' : c == Qt::green ? 'g' : c == Qt::red ? 'r' : '?';
}

// The test panel's marks as shown, newest first, in the rows that show more
// than grey: "1:yg 8:r". A mark that is not filled shows as '!'.
QString shownMarks(const W_Test &panel)
{
    const QList<W_Adres *> rows = rowsOf(&panel);
    QStringList shown;
    for (int i = 0; i < rows.size(); ++i) {
        QString marks;
        for (const QWidget *mark : rows.at(i)->rects())
            marks += mark->autoFillBackground() ? letter(mark->palette().color(QPalette::Window)) : QChar('!');
        marks.remove(QRegularExpression("\\.+$"));
        if (!marks.isEmpty())
            shown << QString("%1:%2").arg(i + 1).arg(marks);
    }
    return shown.join(' ');
}

// The port list as shown, the chosen port in brackets: "COM3 [COM4]".
QString shownPorts(const W_ComPort &panel)
{
    const auto *box = panel.findChild<QComboBox *>("PortName");
    QStringList ports = comboItems(box);
    if (box->currentIndex() >= 0)
        ports[box->currentIndex()] = '[' + box->currentText() + ']';
    return ports.join(' ');
}

} // namespace

class tst_PanelRules : public QObject
{
    Q_OBJECT

private slots:
    void radioRate_data();
    void radioRate();
    void serialTimeoutFloor();
    void testMarks_data();
    void testMarks();
    void portList();
    void systemListEnumeratesOnlyAfterChange();
};

void tst_PanelRules::radioRate_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<QStringList>("channels");
    QTest::addColumn<int>("distance");
    // Per serial rate: 'g' green where the radio rate carries it, 'y' faster.
    QTest::addColumn<QString>("serialRates");

    const QStringList slow{"868.725 MHz", "868.775 MHz", "868.825 MHz", "868.875 MHz", "868.925 MHz",
                           "868.975 MHz", "869.025 MHz", "869.075 MHz", "869.125 MHz", "869.175 MHz"};
    const QStringList medium{"868.75 MHz", "868.85 MHz", "868.95 MHz", "869.05 MHz", "869.15 MHz"};
    QTest::newRow("4800 bps") << 0 << slow << 98 << "gggyyyyy";
    QTest::newRow("9600 bps") << 1 << slow << 80 << "ggggyyyy";
    QTest::newRow("19200 bps") << 2 << medium << 60 << "gggggyyy";
    QTest::newRow("38400 bps") << 3 << QStringList{"868.8 MHz", "869 MHz"} << 40 << "ggggggyy";
    QTest::newRow("115200 bps") << 4 << QStringList{"868.95 MHz"} << 20 << "gggggggg";
    QTest::newRow("beyond the rates: list kept") << 5 << medium << 0 << "gyyyyyyy";
}

// A rate from the record rebuilds the channel list. The operator's press
// does too, and keeps the channel's frequency where the new list has it.
void tst_PanelRules::radioRate()
{
    QFETCH(int, rate);
    QFETCH(QStringList, channels);
    QFETCH(int, distance);
    QFETCH(QString, serialRates);
    W_Rs485 rs485;
    rs485.setRadioRate(quint8(rate));
    QString shown;
    for (const W_Rb *rb : rs485.serialRatePanel()->buttons())
        shown += letter(rb->palette().color(QPalette::Base));
    QCOMPARE(shown, serialRates);

    W_Radio radio;
    auto *chanel = radio.findChild<QComboBox *>("Chanel");
    radio.setSpeed(quint8(rate));
    QCOMPARE(comboItems(chanel), channels);
    if (rate > 4)
        return;
    radio.setSpeed(2);
    chanel->setCurrentIndex(1);
    radio.rightPanel()->buttons().at(rate)->click();
    QCOMPARE(comboItems(chanel), channels);
    QCOMPARE(chanel->currentIndex(), qMax(0, channels.indexOf("868.85 MHz")));
    QCOMPARE(radio.rightPanel()->progress()->percent(), distance);
}

void tst_PanelRules::serialTimeoutFloor()
{
    QStringList floors;
    for (int serialRate : {0, 1, 2, 3, 4, 5, 6, 7, 8, 255}) {
        W_Radio radio;
        radio.setSerialRate(quint8(serialRate));
        floors << QString("%1:%2").arg(serialRate).arg(radio.findChild<QSpinBox *>("Serial Timeout")->minimum());
    }
    QCOMPARE(floors.join(' '), "0:17 1:9 2:5 3:3 4:2 5:2 6:2 7:2 8:3 255:3");
}

void tst_PanelRules::testMarks_data()
{
    // Reports: 'a' a poll sent, 'o' answered, 'e' missed, followed by the poll
    // ("!01" and the address plus 48); 'c' presses CLEAN TEST.
    QTest::addColumn<QByteArray>("reports");
    QTest::addColumn<QString>("marks");

    QTest::newRow("ten marks kept") << QByteArray("a!013 ").repeated(11).trimmed() << "3:yyyyyyyyyy";
    QTest::newRow("results mark the newest") << QByteArray("a!016 o!016 a!016 e!016") << "6:rg";
    QTest::newRow("results do not shift") << QByteArray("a!014 o!014 e!014 o!014") << "4:g";
    QTest::newRow("addresses 0 and 63") << QByteArray("a!010 o!010 a!01o e!01o a!010") << "1:yg 10:r";
    QTest::newRow("the first row with 7") << QByteArray("a!017 e!017") << "2:r";
    QTest::newRow("no row's poll") << QByteArray("a!011 o!011 a!021 a$01 a!01 a") << "";
    QTest::newRow("clean") << QByteArray("a!013 o!013 a!015 c a!013") << "3:y";
}

void tst_PanelRules::testMarks()
{
    QFETCH(QByteArray, reports);
    QFETCH(QString, marks);
    W_Test panel;
    const QList<W_Adres *> rows = rowsOf(&panel);
    const QList<int> adreses{0, 7, 3, 4, 5, 6, 7, 8, 9, 63};
    for (int i = 0; i < rows.size(); ++i)
        rows.at(i)->setAdres(quint8(adreses.at(i)));

    const QMap<char, void (W_Test::*)(const QByteArray &)> actions{
        {'a', &W_Test::addRequest}, {'o', &W_Test::okRect}, {'e', &W_Test::errRect}};
    for (const QByteArray &report : reports.split(' ')) {
        if (report == "c")
            cleanKeyOf(&panel)->click();
        else
            (panel.*actions.value(report.at(0)))(report.mid(1));
    }
    QCOMPARE(shownMarks(panel), marks);
}

// The owner hears of every port chosen; the port is stored on connect only.
void tst_PanelRules::portList()
{
    QSettings().setValue("PortName", "COM10");
    QStringList ports{"COM1", "COM3"};
    W_ComPort panel(nullptr, [&ports] { return ports; });
    panel.connectAll();
    QString reported = panel.textByName("PortName");
    QObject::connect(&panel, &W_QWidget::sgTextChange, [&reported](const QString &name, const QString &text) {
        reported = name == "PortName" ? text : "?";
    });
    auto refresh = [&](const QStringList &now) {
        ports = now;
        panel.slUpdatePortName();
        return shownPorts(panel);
    };
    // The stored name begins with "COM1", and is that port's until COM10 comes.
    QCOMPARE(shownPorts(panel), "[COM1] COM3");
    QCOMPARE(refresh({"COM1", "COM3", "COM10"}), "COM1 COM3 [COM10]");
    // COM1's entry stays while a port's name begins with it.
    QCOMPARE(refresh({"COM10"}), "COM1 [COM10]");
    QCOMPARE(refresh({"COM3"}), "[COM3]");
    QCOMPARE(reported, "COM3");
    QCOMPARE(QSettings().value("PortName").toString(), "COM10");

    // Connected, the list keeps the open port and the choice, even when the
    // stored port comes.
    panel.setConnected(true);
    QCOMPARE(QSettings().value("PortName").toString(), "COM3");
    QSettings().setValue("PortName", "COM1");
    QCOMPARE(refresh({"COM1"}), "[COM3] COM1");
}

// The device folder stands in for /dev: a port comes or goes with a node.
// Once the folder has been quiet for a while, asking costs no enumeration.
void tst_PanelRules::systemListEnumeratesOnlyAfterChange()
{
    QTemporaryDir dev;
    QStringList ports{"ttyS0"};
    int enumerations = 0;
    SystemPortList list({dev.path()}, [&] { ++enumerations; return ports; }, 200);
    W_ComPort panel(nullptr, [&list] { return list.names(); });

    // udev describes a device a moment after its node appears: the list looks
    // again until the folder is quiet, and the panel follows it by itself.
    QVERIFY(QFile(dev.filePath("ttyUSB0")).open(QIODevice::WriteOnly));
    QCOMPARE(list.names(), ports);
    ports << "ttyUSB0";
    QTRY_COMPARE_WITH_TIMEOUT(list.names(), ports, 100);
    QTRY_COMPARE_WITH_TIMEOUT(shownPorts(panel), "[ttyS0] ttyUSB0", 1500);
    const int settled = enumerations;
    QCOMPARE(list.names(), ports);
    QCOMPARE(enumerations, settled);

    QVERIFY(QFile::remove(dev.filePath("ttyUSB0")));
    ports.removeLast();
    QCOMPARE(list.names(), ports);
}

QTEST_MAIN(tst_PanelRules)
#include "tst_panelrules.moc"
