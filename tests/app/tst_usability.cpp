#include "w_adres.h"
#include "windowtesting.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDial>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

namespace {

// The control as the list of the Tab order names it: its object name, a radio button by its group and
// text, a key by its text, an address row's controls by the row.
QString focusName(const QWidget *w, const QList<W_Adres *> &rows)
{
    if (qobject_cast<const QDial *>(w))
        return w->parentWidget()->objectName();
    for (int i = 0; i < rows.size(); ++i) {
        if (w == rows.at(i)->checkBox())
            return QStringLiteral("row %1 tick").arg(i + 1);
        if (w == rows.at(i)->spinBox())
            return QStringLiteral("row %1 address").arg(i + 1);
    }
    if (auto *rb = qobject_cast<const W_Rb *>(w))
        return qobject_cast<const QGroupBox *>(rb->parentWidget())->title() + ": " + rb->text();
    if (!w->objectName().isEmpty())
        return w->objectName();
    if (auto *button = qobject_cast<const QAbstractButton *>(w))
        return button->text();
    return QString::fromLatin1(w->metaObject()->className());
}

} // namespace

// What a new operator meets on a small screen, with the keyboard and the mouse. At scale 0.5 the offscreen
// screen is 1600x1200 in the window's units: room to place the window against the area's edges.
class tst_Usability : public QObject, private WindowRig
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }

    void startShowsAllRows();
    void freezeToggleStaysInsideArea_data();
    void freezeToggleStaysInsideArea();
    void tabOrderAndEnter();
    void powerDialOneStepPerNotch();
    void testWithoutTickedRow();
    void connectWithoutPort();

private:
    QRect area() const { return window->screen()->availableGeometry(); }
};

// With room on the screen, the window starts tall enough for all ten address rows.
void tst_Usability::startShowsAllRows()
{
    const QScrollBar *bar = testPanel()->findChild<QScrollArea *>()->verticalScrollBar();
    QCOMPARE(bar->maximum(), 0);
    QVERIFY(area().contains(window->geometry()));
}

void tst_Usability::freezeToggleStaysInsideArea_data()
{
    QTest::addColumn<bool>("fullHeight");
    QTest::addColumn<int>("growth");
    QTest::newRow("against the bottom") << false << 75;
    QTest::newRow("as tall as the area") << true << 0;
}

// The window stands on the bottom of the available area, or fills its height, when the panel opens: it
// moves up, or gives the panel the rows' room, and closing gives back its height and place. Only a
// completed click opens it.
void tst_Usability::freezeToggleStaysInsideArea()
{
    QFETCH(bool, fullHeight);
    QFETCH(int, growth);
    window->setPanelsEnabled(true);
    const int frameHeight = window->frameGeometry().height() - window->height();
    if (fullHeight)
        window->resize(window->width(), area().height() - frameHeight);
    window->move(window->x(), area().bottom() + 1 - window->frameGeometry().height());
    QTRY_COMPARE(window->frameGeometry().bottom(), area().bottom());
    const int height = window->height();
    const QPoint place = window->pos();
    auto *panel = window->findChild<W_FreezProtection *>();

    // A press dragged off the key before release toggles nothing.
    QTest::mousePress(key("Freeze Protection"), Qt::LeftButton);
    QTest::mouseMove(key("Freeze Protection"), QPoint(-50, -50));
    QTest::mouseRelease(key("Freeze Protection"), Qt::LeftButton, {}, QPoint(-50, -50));
    QVERIFY(panel->isHidden());
    QCOMPARE(window->height(), height);

    QTest::mouseClick(key("Freeze Protection"), Qt::LeftButton);
    QVERIFY(panel->isVisible());
    QTRY_COMPARE(window->height(), height + growth);
    QVERIFY(area().contains(window->frameGeometry()));

    QTest::mouseClick(key("Freeze Protection"), Qt::LeftButton);
    QVERIFY(panel->isHidden());
    QTRY_COMPARE(window->height(), height);
    QCOMPARE(window->pos(), place);
}

// With the device's rates away from their first buttons, Tab runs through the window as it is seen and
// enters each group of radio buttons at its checked one. Return and the keypad's Enter act on a focused
// key as Space does: a key that acts on press and a checkable one that acts on its toggle. A screen reader
// finds a name and a description on every control Tab reaches.
void tst_Usability::tabOrderAndEnter()
{
    emulator->device()->setSRegister(DeviceModel::RadioDataRate, 3);
    QCOMPARE(emulator->device()->answer("$0:,6,009,012,3,120,025,1"), QByteArray("OK\r"));
    QVERIFY(connectDevice());
    QTest::mouseClick(key("Freeze Protection"), Qt::LeftButton);
    const QList<W_Adres *> rows = rowsOf(testPanel());
    clickIndicator(rows.at(0)->checkBox());
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    combo("PortName")->setFocus(Qt::TabFocusReason);
    QStringList order;
    do {
        order << focusName(QApplication::focusWidget(), rows);
        QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(QApplication::focusWidget());
        QVERIFY2(!reader->text(QAccessible::Name).isEmpty() && !reader->text(QAccessible::Description).isEmpty(),
                 qPrintable(order.last()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } while (QApplication::focusWidget() != combo("PortName") && order.size() < 100);

    QStringList expected{"PortName", "pbOpen", "Open Settings", "Save Settings", "Traffic Log", "READ", "WRITE",
                         "DEFAULT", "Freeze Protection", "Sub-band: g2 868.7-869.2 MHz", "Chanel", "Test address",
                         "Flow control", "Serial Timeout", "Radio Data Rate: 38400 bps", "Power",
                         "Serial Data Rate: 57600 bps", "Parity", "Stop bit", "Delay Tx-Rx", "Radio Transmit Reset",
                         "WDT Reset", "TEST", "CLEAN TEST", "Save Report", "row 1 tick", "row 1 address"};
    for (int row = 2; row <= 10; ++row)
        expected << QStringLiteral("row %1 tick").arg(row);
    QCOMPARE(order, expected);

    key("READ")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(emulator->requests(), readAllRequests);

    auto *panel = window->findChild<W_FreezProtection *>();
    key("Freeze Protection")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(panel->isHidden());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(panel->isVisible());
}

// One wheel notch or page key is one of the dial's eight steps; the panel shows the value as a number.
void tst_Usability::powerDialOneStepPerNotch()
{
    window->setPanelsEnabled(true);
    W_Power *power = radio()->rightPanel()->powerPanel();
    auto *dial = power->findChild<QDial *>();
    const auto notch = [dial](int steps) {
        const QPoint centre = dial->rect().center();
        QWheelEvent wheel(centre, dial->mapToGlobal(centre), QPoint(), QPoint(0, 120 * steps), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(dial, &wheel);
    };
    const int start = power->power();
    notch(1);
    notch(1);
    notch(-1);
    QTest::keyClick(dial, Qt::Key_PageUp);
    QCOMPARE(int(window->record()->power), start + 2);
    QStringList texts;
    for (const QLabel *label : power->findChildren<QLabel *>())
        texts << label->text();
    QVERIFY2(texts.contains(QString::number(start + 2)) && !texts.contains(QString::number(start + 3)),
             qPrintable(texts.join(',')));
}

// "TEST" with no row ticked says so in the panel, until a row is ticked.
void tst_Usability::testWithoutTickedRow()
{
    window->setPanelsEnabled(true);
    const auto notes = [this] {
        QStringList shown;
        for (const QLabel *label : testPanel()->findChildren<QLabel *>()) {
            if (label->isVisible() && !label->text().isEmpty())
                shown << label->text();
        }
        return shown;
    };
    QTest::mouseClick(testKeyOf(testPanel()), Qt::LeftButton);
    QVERIFY(!testPanel()->isTesting());
    QCOMPARE(notes(), QStringList{"Tick at least one address to test."});

    const QList<W_Adres *> rows = rowsOf(testPanel());
    clickIndicator(rows.at(5)->checkBox());
    QCOMPARE(notes(), QStringList());

    // A row whose address an earlier row holds is marked while it does.
    QSpinBox *first = rows.at(0)->spinBox();
    QSpinBox *repeated = rows.at(5)->spinBox();
    const QString plainTip = repeated->toolTip();
    const auto textColour = [](const QSpinBox *box) { return box->palette().color(QPalette::Active, QPalette::Text); };
    repeated->setValue(1);
    QVERIFY(repeated->toolTip().contains("earlier row"));
    QVERIFY(textColour(repeated) != textColour(first));
    QCOMPARE(first->toolTip(), plainTip);
    repeated->setValue(6);
    QCOMPARE(repeated->toolTip(), plainTip);
    QCOMPARE(textColour(repeated), textColour(first));
}

// With no port to open, "Connect" is disabled and says what to do; a port that appears enables it.
void tst_Usability::connectWithoutPort()
{
    const QString port = std::exchange(portName, QString());
    window->portPanel()->slUpdatePortName();
    QVERIFY(!key("pbOpen")->isEnabled());
    QVERIFY2(key("pbOpen")->toolTip().contains("plug in the adapter") && key("pbOpen")->toolTip().contains("group"),
             qPrintable(key("pbOpen")->toolTip()));
    QTest::mouseClick(key("pbOpen"), Qt::LeftButton);
    QVERIFY(!window->findChild<Exchange *>()->isOpen());
    portName = port;
    window->portPanel()->slUpdatePortName();
    QVERIFY(connectDevice());
}

QTEST_MAIN(tst_Usability)
#include "tst_usability.moc"
