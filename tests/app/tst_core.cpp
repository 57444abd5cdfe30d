#include "core.h"
#include "data.h"
#include "mainwindow.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

class tst_Core : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void showsAndCentresWindow();
    void extraPortSelectedAndKept();
    void extraPortOfListedDevice();
    void settingsFileOpenedAtStart();

private:
    QTemporaryDir workDir;
};

void tst_Core::initTestCase()
{
    // The window writes its start-up file into the working directory.
    QVERIFY(workDir.isValid());
    QVERIFY(QDir::setCurrent(workDir.path()));
}

void tst_Core::showsAndCentresWindow()
{
    Core core;
    MainWindow *window = core.window();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    // The window's middle is the middle of the screen's available area.
    const QRect available = window->screen()->availableGeometry();
    const QRect placed(window->pos(), window->size());
    QVERIFY2((placed.center() - available.center()).manhattanLength() <= 2,
             qPrintable(QStringLiteral("window at %1,%2 in %3x%4+%5+%6").arg(placed.x()).arg(placed.y())
                            .arg(available.width()).arg(available.height()).arg(available.x()).arg(available.y())));
}

// A --port path is listed beside the system's ports while it exists, selected
// at start, and dropped by the refresh once it is gone.
void tst_Core::extraPortSelectedAndKept()
{
    const QString path = workDir.filePath("ttyEMU0");
    {
        QFile device(path);
        QVERIFY(device.open(QIODevice::WriteOnly));
    }
    Core core(nullptr, {path, workDir.filePath("ttyMissing")});
    W_ComPort *ports = core.window()->portPanel();
    QCOMPARE(ports->textByName("PortName"), path);

    ports->slUpdatePortName();
    ports->slUpdatePortName();
    QCOMPARE(ports->textByName("PortName"), path);

    QVERIFY(QFile::remove(path));
    ports->slUpdatePortName();
    QVERIFY(ports->textByName("PortName") != path);
}

// A --port path that names a device the system lists, through a link or by
// its full path, does not list the device again; the listed entry is selected.
void tst_Core::extraPortOfListedDevice()
{
    const QString link = workDir.filePath("ttyLink");
    QVERIFY(QFile::link("/dev/null", link));
    Core core(nullptr, {link, "/dev/null"}, {}, [] { return QStringList{"tty", "null"}; });
    W_ComPort *ports = core.window()->portPanel();
    ports->slUpdatePortName();
    auto *combo = ports->findChild<QComboBox *>("PortName");
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i)
        entries << combo->itemText(i);
    QCOMPARE(entries, (QStringList{"tty", "null"}));
    QCOMPARE(ports->textByName("PortName"), QString("null"));
}

void tst_Core::settingsFileOpenedAtStart()
{
    const QString file = workDir.filePath("site-a.ryd");
    {
        QFile settings(file);
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(QByteArray::fromHex("00070200000002023204060000000008"
                                           "0043004F004D003102"));
    }
    Core core(nullptr, {}, file);
    const Data *record = core.window()->record();
    QTRY_COMPARE(record->power, quint8(7));
    QCOMPARE(record->radioTransmitReset, quint8(50));
    QCOMPARE(record->wdtReset, quint8(6));
    QCOMPARE(record->portName, QString("COM1"));
}

QTEST_MAIN(tst_Core)
#include "tst_core.moc"
