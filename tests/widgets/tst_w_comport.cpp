#include "panelrules.h"
#include "panelcheck.h"
#include "systemportlist.h"
#include "w_comport.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// Stands in for the system's port list: the test decides which ports exist.
struct FakePorts
{
    QStringList ports;
    W_ComPort::PortLister lister()
    {
        return [this] { return ports; };
    }
};

class tst_W_ComPort : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void preselectsStoredPort_data();
    void preselectsStoredPort();
    void entryKeptWhileLongerNamedPortExists();
    void vanishedPortRemovedAndSelectionReported();
    void connectedKeepsListAndSelection();
    void storesPortNameOnConnectOnly();
    void buttonsReportTheirNames();
    void timerRefreshesList();
    void systemListEnumeratesOnlyAfterChange();

private:
    static QComboBox *combo(W_ComPort &panel)
    {
        return panel.findChild<QComboBox *>("PortName");
    }
    static QStringList entries(W_ComPort &panel) { return comboItems(combo(panel)); }
};

void tst_W_ComPort::initTestCase()
{
    QCoreApplication::setOrganizationName("Morvell");
    QCoreApplication::setApplicationName("Ryd");
}

void tst_W_ComPort::init()
{
    QSettings().clear();
}

void tst_W_ComPort::preselectsStoredPort_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<QString>("current");
    QTest::newRow("nothing stored") << QString() << QStringList{"COM3", "COM4"} << "COM3";
    QTest::newRow("stored second") << "COM4" << QStringList{"COM3", "COM4"} << "COM4";
    QTest::newRow("COM10 stored, COM1 appears") << "COM10" << QStringList{"COM1"} << "COM1";
    QTest::newRow("COM10 stored, COM1 then COM10") << "COM10" << QStringList{"COM1", "COM10"} << "COM10";
    QTest::newRow("COM1 stored, COM10 does not match") << "COM1" << QStringList{"COM10", "COM2"} << "COM10";
    QTest::newRow("case matters") << "com2" << QStringList{"COM1", "COM2"} << "COM1";
}

void tst_W_ComPort::preselectsStoredPort()
{
    QFETCH(QString, stored);
    QFETCH(QStringList, ports);
    QFETCH(QString, current);
    if (!stored.isNull())
        QSettings().setValue("PortName", stored);
    FakePorts fake{ports};
    W_ComPort panel(nullptr, fake.lister());
    QCOMPARE(entries(panel), ports);
    QCOMPARE(panel.textByName("PortName"), current);
}

void tst_W_ComPort::entryKeptWhileLongerNamedPortExists()
{
    FakePorts fake{{"COM1"}};
    W_ComPort panel(nullptr, fake.lister());
    fake.ports = QStringList{"COM10"};
    panel.slUpdatePortName();
    // "COM10" begins with "COM1", so the old entry stays beside the new one.
    QCOMPARE(entries(panel), (QStringList{"COM1", "COM10"}));
    fake.ports = QStringList{"COM2"};
    panel.slUpdatePortName();
    QCOMPARE(entries(panel), QStringList{"COM2"});
}

void tst_W_ComPort::vanishedPortRemovedAndSelectionReported()
{
    FakePorts fake{{"ttyUSB0", "ttyUSB1"}};
    W_ComPort panel(nullptr, fake.lister());
    panel.connectAll();
    QSignalSpy values(&panel, &W_QWidget::sgValueChange);
    QSignalSpy texts(&panel, &W_QWidget::sgTextChange);
    QVERIFY(values.isValid());
    QVERIFY(texts.isValid());
    QCOMPARE(panel.textByName("PortName"), QString("ttyUSB0"));

    fake.ports = QStringList{"ttyUSB1"};
    panel.slUpdatePortName();
    QCOMPARE(entries(panel), QStringList{"ttyUSB1"});
    QCOMPARE(panel.textByName("PortName"), QString("ttyUSB1"));
    QVERIFY(!values.isEmpty());
    QCOMPARE(values.last(), (QList<QVariant>{"PortName", 0}));
    QCOMPARE(texts.last(), (QList<QVariant>{"PortName", "ttyUSB1"}));
}

void tst_W_ComPort::connectedKeepsListAndSelection()
{
    QSettings().setValue("PortName", "ttyUSB2");
    FakePorts fake{{"ttyUSB0"}};
    W_ComPort panel(nullptr, fake.lister());
    panel.setConnected(true);
    QCOMPARE(panel.findChild<QPushButton *>("pbOpen")->text(), QString("Disconnect"));

    // The open port vanishes and the stored one appears: neither removed nor selected.
    fake.ports = QStringList{"ttyUSB2"};
    panel.slUpdatePortName();
    QCOMPARE(entries(panel), (QStringList{"ttyUSB0", "ttyUSB2"}));
    QCOMPARE(panel.textByName("PortName"), QString("ttyUSB0"));

    panel.setConnected(false);
    QCOMPARE(panel.findChild<QPushButton *>("pbOpen")->text(), QString("Connect"));
    panel.slUpdatePortName();
    QCOMPARE(entries(panel), QStringList{"ttyUSB2"});
}

void tst_W_ComPort::storesPortNameOnConnectOnly()
{
    QSettings().setValue("PortName", "ttyS0");
    FakePorts fake{{"ttyS0", "ttyS1"}};
    W_ComPort panel(nullptr, fake.lister());
    QCOMPARE(panel.textByName("PortName"), QString("ttyS0"));

    combo(panel)->setCurrentIndex(1);
    QCOMPARE(QSettings().value("PortName").toString(), QString("ttyS0"));
    panel.setConnected(true);
    QCOMPARE(QSettings().value("PortName").toString(), QString("ttyS1"));

    combo(panel)->setCurrentIndex(0);
    panel.setConnected(false);
    QCOMPARE(QSettings().value("PortName").toString(), QString("ttyS1"));
}

void tst_W_ComPort::buttonsReportTheirNames()
{
    FakePorts fake{{"ttyS0"}};
    W_ComPort panel(nullptr, fake.lister());
    panel.connectAll();
    panel.show();
    QSignalSpy spy(&panel, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    for (const char *name : {"pbOpen", "Open Settings", "Save Settings"}) {
        auto *button = panel.findChild<QPushButton *>(name);
        QVERIFY2(button, name);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(spy.last(), (QList<QVariant>{name, 0}));
    }
    QCOMPARE(spy.count(), 3);
    QCOMPARE(panel.findChild<QPushButton *>("Open Settings")->text(), QString("Open Settings"));
    QCOMPARE(panel.findChild<QPushButton *>("Save Settings")->text(), QString("Save Settings"));
}

void tst_W_ComPort::timerRefreshesList()
{
    FakePorts fake;
    W_ComPort panel(nullptr, fake.lister());
    QCOMPARE(combo(panel)->count(), 0);
    fake.ports = QStringList{"ttyACM0"};
    QTRY_COMPARE_WITH_TIMEOUT(entries(panel), QStringList{"ttyACM0"}, 2500);
    fake.ports.clear();
    QTRY_COMPARE_WITH_TIMEOUT(combo(panel)->count(), 0, 2500);
}

// The device folder stands in for /dev: a port comes or goes with a node.
void tst_W_ComPort::systemListEnumeratesOnlyAfterChange()
{
    QTemporaryDir dev;
    QVERIFY(dev.isValid());
    QStringList ports{"ttyS0"};
    int enumerations = 0;
    const int settleMs = 200;
    SystemPortList list({dev.path()}, [&] { ++enumerations; return ports; }, settleMs);
    FakePorts seen;
    // Once the settling time is over, refreshes enumerate nothing.
    auto enumerationsWhenSettled = [&] {
        QTest::qWait(settleMs + 50);
        const int before = enumerations;
        for (int i = 0; i < 5; ++i)
            seen.ports = list.names();
        return enumerations - before;
    };

    QCOMPARE(list.names(), ports);
    QCOMPARE(enumerationsWhenSettled(), 0);
    QCOMPARE(seen.ports, ports);
    W_ComPort panel(nullptr, seen.lister());

    // Plugged: the node appears, but the enumeration lags behind it by a
    // moment (udev still describing the device); the port is found anyway.
    QFile node(dev.filePath("ttyUSB0"));
    QVERIFY(node.open(QIODevice::WriteOnly));
    node.close();
    QCOMPARE(list.names(), QStringList{"ttyS0"});
    ports << "ttyUSB0";
    QTRY_COMPARE_WITH_TIMEOUT(list.names(), ports, settleMs / 2);
    QCOMPARE(enumerationsWhenSettled(), 0);
    panel.slUpdatePortName();
    QCOMPARE(entries(panel), (QStringList{"ttyS0", "ttyUSB0"}));

    // Unplugged.
    QVERIFY(node.remove());
    ports.removeLast();
    QCOMPARE(list.names(), ports);
    QCOMPARE(enumerationsWhenSettled(), 0);
    panel.slUpdatePortName();
    QCOMPARE(entries(panel), QStringList{"ttyS0"});
}

RYD_PANEL_RULES(tst_W_ComPort)
#include "tst_w_comport.moc"
