#include "devicemodel.h"
#include "emulator.h"
#include "exchange.h"
#include "mainwindow.h"
#include "w_adres.h"
#include "w_radio.h"
#include "w_test.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

// Answers every modal message box that opens and remembers its title and
// text: the loss message with OK, a failure prompt with Yes.
class BoxAnswerer : public QObject
{
public:
    BoxAnswerer()
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            seen << box->windowTitle() + " | " + box->text();
            if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                ok->click();
            else if (QAbstractButton *yes = box->button(QMessageBox::Yes))
                yes->click();
        });
        timer.start(50);
    }
    QStringList seen;

private:
    QTimer timer;
};

class tst_VanishingDevice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void hangUpMidSequence_data();
    void hangUpMidSequence();
    void hangUpDuringRadioTest();
    void hangUpWhileFailurePromptIsOpen();
    void reconnectAfterLoss();

private:
    void connectDevice();
    void verifyDisconnected();
    QPushButton *key(const char *name) const
    {
        return window->findChild<QPushButton *>(name);
    }

    QTemporaryDir workDir;
    QString currentPort;
    std::unique_ptr<Emulator> emulator;
    std::unique_ptr<MainWindow> window;
};

void tst_VanishingDevice::initTestCase()
{
    QVERIFY(workDir.isValid());
    QVERIFY(QDir::setCurrent(workDir.path()));
    QCoreApplication::setOrganizationName("Morvell");
    QCoreApplication::setApplicationName("Ryd");
}

void tst_VanishingDevice::init()
{
    QSettings().clear();
    emulator = std::make_unique<Emulator>();
    QString error;
    QVERIFY2(emulator->open(&error), qPrintable(error));
    currentPort = emulator->portName();
    window = std::make_unique<MainWindow>(nullptr, [this] { return QStringList{currentPort}; });
    window->show();
}

void tst_VanishingDevice::cleanup()
{
    window.reset();
    emulator.reset();
}

void tst_VanishingDevice::connectDevice()
{
    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    QCOMPARE(key("pbOpen")->text(), QString("Disconnect"));
    QTRY_COMPARE_WITH_TIMEOUT(window->findChild<QProgressBar *>()->value(), 100, 5000);
    emulator->clearRequests();
}

void tst_VanishingDevice::verifyDisconnected()
{
    auto *exchange = window->findChild<Exchange *>();
    QVERIFY(!exchange->isOpen());
    QVERIFY(exchange->queuedTypes().isEmpty());
    QCOMPARE(key("pbOpen")->text(), QString("Connect"));
    QVERIFY(!window->findChild<W_Radio *>()->isEnabled());
    QVERIFY(!window->findChild<W_Test *>()->isEnabled());
    QCOMPARE(window->findChild<QLineEdit *>("FirmWare")->text(), QString("x/x"));
    QCOMPARE(window->findChild<QLineEdit *>("Radio module")->text(), QString());
}

void tst_VanishingDevice::hangUpMidSequence_data()
{
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<QByteArray>("hangUpAt");
    QTest::newRow("read-all on connect") << QByteArray("pbOpen") << QByteArray("ATS201?");
    QTest::newRow("READ") << QByteArray("READ") << QByteArray("ATS200?");
    QTest::newRow("WRITE") << QByteArray("WRITE") << QByteArray("ATS202=");
    QTest::newRow("DEFAULT") << QByteArray("DEFAULT") << QByteArray("$0");
}

void tst_VanishingDevice::hangUpMidSequence()
{
    QFETCH(QByteArray, action);
    QFETCH(QByteArray, hangUpAt);
    if (action != "pbOpen")
        connectDevice();
    Emulator::Fault fault;
    fault.match = hangUpAt;
    fault.hangUp = true;
    emulator->addFault(fault);

    BoxAnswerer answerer;
    QTest::mouseClick(key(action.constData()), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(answerer.seen.size(), 1, 5000);
    QVERIFY2(answerer.seen.first().startsWith("Connection lost | "), qPrintable(answerer.seen.first()));
    verifyDisconnected();

    // Nothing else is reported, and the window stays usable.
    QTest::qWait(2500);
    QCOMPARE(answerer.seen.size(), 1);
    QVERIFY(emulator->requests().isEmpty() || emulator->requests().last().startsWith(hangUpAt));
}

void tst_VanishingDevice::hangUpDuringRadioTest()
{
    emulator->device()->setPresentAddresses(QByteArray(1, 1));
    connectDevice();
    auto *test = window->findChild<W_Test *>();
    QCheckBox *row = test->rows().at(0)->checkBox();
    row->setChecked(true);
    QTest::mouseClick(test->testKey(), Qt::LeftButton);
    QVERIFY(test->isTesting());
    QTRY_VERIFY_WITH_TIMEOUT(emulator->requests().count("!011") >= 2, 4000);

    BoxAnswerer answerer;
    emulator->hangUp();
    QTRY_COMPARE_WITH_TIMEOUT(answerer.seen.size(), 1, 3000);
    verifyDisconnected();
    QVERIFY(!test->isTesting());
    QCOMPARE(test->testKey()->text(), QString("TEST"));
    QTest::qWait(1500);
    QCOMPARE(answerer.seen.size(), 1);
}

// A failure prompt that is open when the line goes is closed for the operator:
// the one message about the lost device replaces it.
void tst_VanishingDevice::hangUpWhileFailurePromptIsOpen()
{
    connectDevice();
    Emulator::Fault silent;
    silent.match = "ATS206?";
    silent.silent = true;
    emulator->addFault(silent);

    QStringList seen;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || (!seen.isEmpty() && seen.last() == box->windowTitle()))
            return;
        seen << box->windowTitle();
        if (box->button(QMessageBox::Yes))
            emulator->hangUp();
        else if (QAbstractButton *ok = box->button(QMessageBox::Ok))
            ok->click();
    });
    watcher.start(50);

    QTest::mouseClick(key("READ"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(seen.size(), 2, 6000);
    QCOMPARE(seen.at(0), QString("ATS206?\r"));
    QCOMPARE(seen.at(1), QString("Connection lost"));
    QTRY_VERIFY(!QApplication::activeModalWidget());
    verifyDisconnected();
}

void tst_VanishingDevice::reconnectAfterLoss()
{
    connectDevice();
    BoxAnswerer answerer;
    emulator->hangUp();
    QTRY_COMPARE_WITH_TIMEOUT(answerer.seen.size(), 1, 3000);
    verifyDisconnected();

    // The adapter comes back under a new name: the port row offers it and
    // the same window connects again.
    QString error;
    QVERIFY2(emulator->open(&error), qPrintable(error));
    currentPort = emulator->portName();
    window->portPanel()->slUpdatePortName();
    QCOMPARE(window->portPanel()->textByName("PortName"), currentPort);
    connectDevice();
    QVERIFY(window->findChild<Exchange *>()->isOpen());
    QVERIFY(window->findChild<W_Radio *>()->isEnabled());
    QCOMPARE(answerer.seen.size(), 1);
}

QTEST_MAIN(tst_VanishingDevice)
#include "tst_vanishingdevice.moc"
