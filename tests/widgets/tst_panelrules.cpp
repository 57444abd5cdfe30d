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
    void serialTimeoutFloor_data();
    void serialTimeoutFloor();
    void testMarks_data();
    void testMarks();
    void portList_data();
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
    radio.connectAll();
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

void tst_PanelRules::serialTimeoutFloor_data()
{
    QTest::addColumn<int>("serialRate");
    QTest::addColumn<int>("floor");

    const int floors[] = {17, 9, 5, 3, 2, 2, 2, 2, 3};
    for (int rate = 0; rate < 9; ++rate)
        QTest::addRow("rate %d", rate) << rate << floors[rate];
    QTest::newRow("rate 255") << 255 << 3;
}

// The timeout shown moves up to the floor of the serial rate, and the owner
// hears of it.
void tst_PanelRules::serialTimeoutFloor()
{
    QFETCH(int, serialRate);
    QFETCH(int, floor);
    W_Radio radio;
    radio.connectAll();
    QSignalSpy spy(&radio, &W_QWidget::sgValueChange);
    radio.setSerialRate(quint8(serialRate));
    QCOMPARE(radio.findChild<QSpinBox *>("Serial Timeout")->minimum(), floor);
    QCOMPARE(spy.last(), (QVariantList{"Serial Timeout", floor}));
}

void tst_PanelRules::testMarks_data()
{
    // Rows hold the addresses 1 to 10 but for the (row, address) pairs in
    // "edits". Reports: 'a' a poll sent, 'o' answered, 'e' missed, followed by
    // the poll ("!01" and the address plus 48); 'c' presses CLEAN TEST.
    QTest::addColumn<QList<int>>("edits");
    QTest::addColumn<QByteArrayList>("reports");
    QTest::addColumn<QString>("marks");

    const QList<int> none;
    QByteArrayList eleven;
    for (int i = 0; i < 11; ++i)
        eleven << "a!013";
    QTest::newRow("ten marks kept") << none << eleven << "3:yyyyyyyyyy";
    QTest::newRow("results mark the newest") << none << QByteArrayList{"a!016", "o!016", "a!016", "e!016"} << "6:rg";
    QTest::newRow("results do not shift") << none << QByteArrayList{"a!012", "o!012", "e!012", "o!012"} << "2:g";
    QTest::newRow("interleaved") << none << QByteArrayList{"a!011", "o!011", "a!01:", "e!01:", "a!011"} << "1:yg 10:r";
    QTest::newRow("edited addresses, the first row with 7")
        << QList<int>{1, 0, 2, 7, 10, 63} << QByteArrayList{"a!010", "a!01o", "a!017", "e!017"} << "1:y 2:r 10:y";
    QTest::newRow("no row's poll") << none << QByteArrayList{"a!01<", "o!01<", "a!021", "a$01", "a!01", "a"} << "";
    QTest::newRow("clean") << none << QByteArrayList{"a!011", "o!011", "a!015", "c", "a!011"} << "1:y";
}

void tst_PanelRules::testMarks()
{
    QFETCH(QList<int>, edits);
    QFETCH(QByteArrayList, reports);
    QFETCH(QString, marks);
    W_Test panel;
    for (int i = 0; i + 1 < edits.size(); i += 2)
        rowsOf(&panel).at(edits.at(i) - 1)->setAdres(quint8(edits.at(i + 1)));

    for (const QByteArray &report : reports) {
        const QByteArray request = report.mid(1);
        switch (report.at(0)) {
        case 'a': panel.addRequest(request); break;
        case 'o': panel.okRect(request); break;
        case 'e': panel.errRect(request); break;
        default: cleanKeyOf(&panel)->click();
        }
    }
    QCOMPARE(shownMarks(panel), marks);
}

void tst_PanelRules::portList_data()
{
    // The panel starts with the ports "first", may connect, and refreshes
    // with the ports "later".
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("first");
    QTest::addColumn<bool>("connect");
    QTest::addColumn<QString>("later");
    QTest::addColumn<QString>("shown");

    QTest::newRow("nothing stored") << "" << "COM3 COM4" << false << "COM3 COM4" << "[COM3] COM4";
    QTest::newRow("stored port chosen") << "COM4" << "COM3 COM4" << false << "COM3 COM4" << "COM3 [COM4]";
    QTest::newRow("COM1 until COM10 comes") << "COM10" << "COM1" << false << "COM1 COM10" << "COM1 [COM10]";
    QTest::newRow("COM10 is not COM1") << "COM1" << "COM10 COM2" << false << "COM10 COM2" << "[COM10] COM2";
    QTest::newRow("COM1 kept beside COM10") << "" << "COM1" << false << "COM10" << "[COM1] COM10";
    QTest::newRow("vanished port removed") << "COM3" << "COM3 COM4" << false << "COM4" << "[COM4]";
    QTest::newRow("connected: list and choice kept") << "" << "COM10" << true << "COM1" << "[COM10] COM1";
}

// The owner always hears of the port shown; the port is stored on connect only.
void tst_PanelRules::portList()
{
    QFETCH(QString, stored);
    QFETCH(QString, first);
    QFETCH(bool, connect);
    QFETCH(QString, later);
    QFETCH(QString, shown);
    QSettings().setValue("PortName", stored);
    QStringList ports = first.split(' ');
    W_ComPort panel(nullptr, [&ports] { return ports; });
    panel.connectAll();
    QString reported = panel.textByName("PortName");
    QObject::connect(&panel, &W_QWidget::sgTextChange, [&reported](const QString &name, const QString &text) {
        reported = name == "PortName" ? text : "?";
    });

    panel.setConnected(connect);
    ports = later.split(' ');
    panel.slUpdatePortName();
    QCOMPARE(shownPorts(panel), shown);
    QCOMPARE(reported, panel.textByName("PortName"));
    QCOMPARE(QSettings().value("PortName").toString(), connect ? panel.textByName("PortName") : stored);
}

// The device folder stands in for /dev: a port comes or goes with a node.
// Once the folder has been quiet for a while, asking costs no enumeration.
void tst_PanelRules::systemListEnumeratesOnlyAfterChange()
{
    QTemporaryDir dev;
    const QString node = dev.filePath("ttyUSB0");
    QStringList ports{"ttyS0"};
    int enumerations = 0;
    SystemPortList list({dev.path()}, [&] { ++enumerations; return ports; }, 200);
    auto enumerationsWhenSettled = [&] {
        QTest::qWait(250);
        const int before = enumerations;
        list.names();
        return enumerations - before;
    };
    QCOMPARE(list.names(), ports);
    QCOMPARE(enumerationsWhenSettled(), 0);

    // The enumeration lags behind the new node for a moment (udev still
    // describing the device); the port is found anyway, and the port panel
    // follows the list by itself.
    W_ComPort panel(nullptr, [&list] { return list.names(); });
    QVERIFY(QFile(node).open(QIODevice::WriteOnly));
    QCOMPARE(list.names(), ports);
    ports << "ttyUSB0";
    QTRY_COMPARE_WITH_TIMEOUT(list.names(), ports, 100);
    QCOMPARE(enumerationsWhenSettled(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(shownPorts(panel), QString("[ttyS0] ttyUSB0"), 1500);

    QVERIFY(QFile::remove(node));
    ports.removeLast();
    QCOMPARE(list.names(), ports);
}

QTEST_MAIN(tst_PanelRules)
#include "tst_panelrules.moc"
