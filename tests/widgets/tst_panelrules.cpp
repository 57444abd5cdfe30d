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

#include <QComboBox>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>

// One sgValueChange report: the name and the value.
using Report = QList<QVariant>;

namespace {

QStringList comboItems(const QComboBox *box)
{
    QStringList texts;
    for (int i = 0; i < box->count(); ++i)
        texts << box->itemText(i);
    return texts;
}

// Clicks a radio button on its text, which is where an operator clicks; the
// middle of a button that the layout stretched can lie outside its hit area.
void clickRb(W_Rb *rb)
{
    const QPoint pos(qMin(rb->sizeHint().width(), rb->width()) / 2, rb->height() / 2);
    QTest::mouseClick(rb, Qt::LeftButton, Qt::KeyboardModifiers(), pos);
}

// The test panel's marks as shown, newest first: 'y' yellow, 'g' green, 'r'
// red, '.' grey, '!' a mark not filled. Grey ends and all-grey rows are left
// out, so "1:yg 8:r" is row 1 with two marks and row 8 with one.
QString shownMarks(const W_Test &panel)
{
    const QMap<QRgb, QChar> letters{{QColor(Qt::gray).rgb(), '.'}, {QColor(Qt::yellow).rgb(), 'y'},
                                    {QColor(Qt::green).rgb(), 'g'}, {QColor(Qt::red).rgb(), 'r'}};
    const QList<W_Adres *> rows = rowsOf(&panel);
    QStringList shown;
    for (int i = 0; i < rows.size(); ++i) {
        QString marks;
        for (const QWidget *mark : rows.at(i)->rects()) {
            const QRgb colour = mark->palette().color(QPalette::Window).rgb();
            marks += mark->autoFillBackground() ? letters.value(colour, '?') : QChar('!');
        }
        while (marks.endsWith('.'))
            marks.chop(1);
        if (!marks.isEmpty())
            shown << QString("%1:%2").arg(i + 1).arg(marks);
    }
    return shown.join(' ');
}

} // namespace

class tst_PanelRules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void channelPlan_data();
    void channelPlan();
    void serialTimeoutFloor_data();
    void serialTimeoutFloor();
    void rateColours_data();
    void rateColours();
    void testMarks_data();
    void testMarks();
    void portList_data();
    void portList();
    void portListFollowsSystem();
    void systemListEnumeratesOnlyAfterChange();
};

void tst_PanelRules::initTestCase()
{
    QCoreApplication::setOrganizationName("Morvell");
    QCoreApplication::setApplicationName("Ryd");
}

void tst_PanelRules::channelPlan_data()
{
    QTest::addColumn<int>("rate");
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

// A rate from the record rebuilds the channel list, a rate beyond the plan
// leaves it. The operator's press keeps the channel's frequency where the
// new list has it, and the owner hears of the rate after the rebuild.
void tst_PanelRules::channelPlan()
{
    QFETCH(int, rate);
    QFETCH(QStringList, channels);
    QFETCH(int, distance);
    W_Radio radio;
    radio.connectAll();
    radio.show();
    QVERIFY(QTest::qWaitForWindowExposed(&radio));
    auto *chanel = radio.findChild<QComboBox *>("Chanel");

    radio.setSpeed(quint8(rate));
    radio.setSpeed(5);
    QCOMPARE(comboItems(chanel), channels);

    radio.setSpeed(2);
    chanel->setCurrentIndex(1);
    QSignalSpy spy(&radio, &W_QWidget::sgValueChange);
    clickRb(radio.rightPanel()->buttons().at(rate));
    QCOMPARE(comboItems(chanel), channels);
    QCOMPARE(chanel->currentIndex(), qMax(0, channels.indexOf("868.85 MHz")));
    QCOMPARE(radio.rightPanel()->progress()->percent(), distance);
    QCOMPARE(spy.last(), (Report{"Radio Data Rate", rate}));
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
    QCOMPARE(spy.last(), (Report{"Serial Timeout", floor}));
}

void tst_PanelRules::rateColours_data()
{
    QTest::addColumn<int>("radioRate");
    QTest::addColumn<QString>("colours");

    QTest::newRow("4800 bps") << 0 << "gggyyyyy";
    QTest::newRow("9600 bps") << 1 << "ggggyyyy";
    QTest::newRow("19200 bps") << 2 << "gggggyyy";
    QTest::newRow("38400 bps") << 3 << "ggggggyy";
    QTest::newRow("115200 bps") << 4 << "gggggggg";
    QTest::newRow("no such rate") << 5 << "gyyyyyyy";
}

// A serial rate's indicator is green where the radio rate carries it and
// yellow where it is faster.
void tst_PanelRules::rateColours()
{
    QFETCH(int, radioRate);
    QFETCH(QString, colours);
    W_Rs485 rs485;
    rs485.setRadioRate(quint8(radioRate));
    QString shown;
    for (const W_Rb *rb : rs485.serialRatePanel()->buttons()) {
        const QColor base = rb->palette().color(QPalette::Base);
        shown += base == QColor(Qt::green) ? 'g' : base == QColor(Qt::yellow) ? 'y' : '?';
    }
    QCOMPARE(shown, colours);
}

void tst_PanelRules::testMarks_data()
{
    // Rows hold the addresses 1 to 10 but for the (row, address) pairs in
    // "edits". Reports: 'a' a poll sent, 'o' answered, 'e' missed, followed by
    // the poll ("!01" and the address plus 48); 'c' presses CLEAN TEST.
    QTest::addColumn<QList<int>>("edits");
    QTest::addColumn<QByteArrayList>("reports");
    QTest::addColumn<QString>("marks");

    QByteArrayList eleven;
    for (int i = 0; i < 11; ++i)
        eleven << "a!013";
    QTest::newRow("one poll") << QList<int>() << QByteArrayList{"a!014"} << "4:y";
    QTest::newRow("ten marks kept") << QList<int>() << eleven << "3:yyyyyyyyyy";
    QTest::newRow("results mark the newest")
        << QList<int>() << QByteArrayList{"a!016", "o!016", "a!016", "e!016"} << "6:rg";
    QTest::newRow("results do not shift")
        << QList<int>() << QByteArrayList{"a!012", "o!012", "e!012", "o!012"} << "2:g";
    QTest::newRow("address 10") << QList<int>() << QByteArrayList{"a!01:", "e!01:"} << "10:r";
    QTest::newRow("address held by no row") << QList<int>() << QByteArrayList{"a!01<", "o!01<"} << "";
    QTest::newRow("address 12 in row 10") << QList<int>{10, 12} << QByteArrayList{"a!01<", "o!01<"} << "10:g";
    QTest::newRow("two rows with 7: the first") << QList<int>{2, 7} << QByteArrayList{"a!017", "e!017"} << "2:r";
    QTest::newRow("address 0 and 63") << QList<int>{1, 0, 10, 63} << QByteArrayList{"a!010", "a!01o"} << "1:y 10:y";
    QTest::newRow("interleaved addresses")
        << QList<int>() << QByteArrayList{"a!011", "o!011", "a!018", "e!018", "a!011"} << "1:yg 8:r";
    QTest::newRow("no poll") << QList<int>() << QByteArrayList{"a!021", "a$01", "a!01", "a!0", "a"} << "";
    QTest::newRow("clean") << QList<int>() << QByteArrayList{"a!011", "o!011", "a!015", "c", "a!011"} << "1:y";
}

void tst_PanelRules::testMarks()
{
    QFETCH(QList<int>, edits);
    QFETCH(QByteArrayList, reports);
    QFETCH(QString, marks);
    W_Test panel;
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    for (int i = 0; i + 1 < edits.size(); i += 2)
        rowsOf(&panel).at(edits.at(i) - 1)->setAdres(quint8(edits.at(i + 1)));

    for (const QByteArray &report : reports) {
        const QByteArray request = report.mid(1);
        switch (report.at(0)) {
        case 'a': panel.addRequest(request); break;
        case 'o': panel.okRect(request); break;
        case 'e': panel.errRect(request); break;
        default: QTest::mouseClick(cleanKeyOf(&panel), Qt::LeftButton);
        }
    }
    QCOMPARE(shownMarks(panel), marks);
}

void tst_PanelRules::portList_data()
{
    // The panel starts with the ports "first", may connect, and refreshes
    // with the ports "later".
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<bool>("connect");
    QTest::addColumn<QStringList>("later");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("current");

    const QStringList com34{"COM3", "COM4"};
    const QStringList com1{"COM1"};
    const QStringList com10{"COM10"};
    QTest::newRow("nothing stored") << "" << com34 << false << com34 << com34 << "COM3";
    QTest::newRow("stored port chosen") << "COM4" << com34 << false << com34 << com34 << "COM4";
    QTest::newRow("stored name begins with COM1") << "COM10" << com1 << false << com1 << com1 << "COM1";
    QTest::newRow("COM10 follows COM1") << "COM10" << com1 << false << QStringList{"COM1", "COM10"}
                                        << QStringList{"COM1", "COM10"} << "COM10";
    QTest::newRow("COM10 is not COM1") << "COM1" << QStringList{"COM10", "COM2"} << false
                                       << QStringList{"COM10", "COM2"} << QStringList{"COM10", "COM2"} << "COM10";
    QTest::newRow("COM1 kept beside COM10") << "" << com1 << false << com10 << QStringList{"COM1", "COM10"} << "COM1";
    QTest::newRow("vanished port removed") << "COM3" << com34 << false << QStringList{"COM4"} << QStringList{"COM4"}
                                           << "COM4";
    QTest::newRow("connected: list and choice kept")
        << "" << com10 << true << com1 << QStringList{"COM10", "COM1"} << "COM10";
}

// The owner always knows the port shown; the port is stored on connect only.
void tst_PanelRules::portList()
{
    QFETCH(QString, stored);
    QFETCH(QStringList, first);
    QFETCH(bool, connect);
    QFETCH(QStringList, later);
    QFETCH(QStringList, entries);
    QFETCH(QString, current);
    QSettings().setValue("PortName", stored);
    QStringList ports = first;
    W_ComPort panel(nullptr, [&ports] { return ports; });
    panel.connectAll();
    QString reported = panel.textByName("PortName");
    QObject::connect(&panel, &W_QWidget::sgTextChange, [&reported](const QString &name, const QString &text) {
        reported = name == "PortName" ? text : "?";
    });

    panel.setConnected(connect);
    ports = later;
    panel.slUpdatePortName();
    QCOMPARE(comboItems(panel.findChild<QComboBox *>("PortName")), entries);
    QCOMPARE(panel.textByName("PortName"), current);
    QCOMPARE(reported, current);
    QCOMPARE(QSettings().value("PortName").toString(), connect ? current : stored);
}

// The list follows the system by itself, once a second.
void tst_PanelRules::portListFollowsSystem()
{
    QStringList ports;
    W_ComPort panel(nullptr, [&ports] { return ports; });
    ports << "ttyACM0";
    QTRY_COMPARE_WITH_TIMEOUT(panel.textByName("PortName"), QString("ttyACM0"), 2500);
}

// The device folder stands in for /dev: a port comes or goes with a node.
void tst_PanelRules::systemListEnumeratesOnlyAfterChange()
{
    QTemporaryDir dev;
    QStringList ports{"ttyS0"};
    int enumerations = 0;
    SystemPortList list({dev.path()}, [&] { ++enumerations; return ports; }, 200);
    auto enumerationsWhenSettled = [&] {
        QTest::qWait(250);
        const int before = enumerations;
        for (int i = 0; i < 5; ++i)
            list.names();
        return enumerations - before;
    };
    QCOMPARE(list.names(), ports);
    QCOMPARE(enumerationsWhenSettled(), 0);

    // The enumeration lags behind the new node for a moment (udev still
    // describing the device); the port is found anyway.
    QFile node(dev.filePath("ttyUSB0"));
    QVERIFY(node.open(QIODevice::WriteOnly));
    node.close();
    QCOMPARE(list.names(), ports);
    ports << "ttyUSB0";
    QTRY_COMPARE_WITH_TIMEOUT(list.names(), ports, 100);
    QCOMPARE(enumerationsWhenSettled(), 0);

    QVERIFY(node.remove());
    ports.removeLast();
    QCOMPARE(list.names(), ports);
}

QTEST_MAIN(tst_PanelRules)
#include "tst_panelrules.moc"
