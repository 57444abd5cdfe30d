#pragma once

#include "../testing.h"
#include "../widgets/panelcheck.h"
#include "data.h"
#include "devicemodel.h"
#include "emulator.h"
#include "exchange.h"
#include "mainwindow.h"
#include "settingstable.h"
#include "w_freezprotection.h"
#include "w_key.h"
#include "w_power.h"
#include "w_radio.h"
#include "w_radiocommonright.h"
#include "w_rb.h"
#include "w_rs485.h"
#include "w_serialrate.h"
#include "w_subband.h"
#include "w_test.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QSettings>
#include <QSpinBox>

#include <memory>
#include <utility>

// Settings by their names, in the record's encoding (flow control 0 or 2).
using Settings = QMap<QString, int>;
Q_DECLARE_METATYPE(Settings)

// What the window sends for a read-all; on connect "$2" comes first.
inline const QByteArrayList readAllRequests{"+++",      "AT/V\r",    "ATS216?\r", "ATS206?\r", "ATS201?\r",
                                            "ATS200?\r", "ATS214?\r", "ATS202?\r", "ATO\r",     "$1"};

inline Settings recordOf(const Data *d)
{
    Settings s;
    for (const SettingsTable::Setting &setting : SettingsTable::settings())
        s.insert(setting.name, d->*setting.field);
    return s;
}

// Sets the fields these settings name and leaves the others.
inline void setRecord(Data *d, const Settings &s)
{
    for (const SettingsTable::Setting &setting : SettingsTable::settings()) {
        if (s.contains(setting.name))
            d->*setting.field = quint8(s.value(setting.name));
    }
}

inline Settings changed(Settings base, const Settings &changes)
{
    base.insert(changes);
    return base;
}

// Empty when `actual` holds every value of `expected`.
inline QString differences(const Settings &actual, const Settings &expected)
{
    QStringList out;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (actual.value(it.key(), -1) != it.value())
            out << QStringLiteral("%1 is %2, expected %3").arg(it.key()).arg(actual.value(it.key(), -1)).arg(it.value());
    }
    return out.join(QStringLiteral("; "));
}

#define COMPARE_SETTINGS(actual, expected) QVERIFY2(differences(actual, expected).isEmpty(), \
                                                   qPrintable(differences(actual, expected)))

inline int checkedNumber(const QList<W_Rb *> &buttons)
{
    const auto rb = std::find_if(buttons.begin(), buttons.end(), [](const W_Rb *b) { return b->isChecked(); });
    return rb == buttons.end() ? -1 : (*rb)->number();
}

inline W_Rb *button(const QList<W_Rb *> &buttons, int number)
{
    const auto rb = std::find_if(buttons.begin(), buttons.end(), [number](const W_Rb *b) { return b->number() == number; });
    return rb == buttons.end() ? nullptr : *rb;
}

// Radio buttons and check boxes take a click on their indicator.
inline void clickIndicator(QAbstractButton *b)
{
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
}

inline Emulator::Fault silentFault(const QByteArray &match, int times = -1)
{
    Emulator::Fault fault;
    fault.match = match;
    fault.times = times;
    fault.silent = true;
    return fault;
}

// Answers the file dialog that the next click opens, as the operator does:
// types `fileName` into its name field (selectFile() leaves the field alone
// while it has the focus) and presses Return. `offered` receives the name
// the field held.
inline void answerFileDialog(const QString &fileName, QString *offered = nullptr)
{
    QTimer::singleShot(50, [fileName, offered] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (offered)
            *offered = edit->text();
        edit->setText(fileName);
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

// Answers every modal message box the window opens and keeps what each one
// said: OK where the box has one, otherwise the answer the test chose.
// Leave leaves it for the program to close, and escapes it after 5 s so
// that the test fails instead of hanging.
const QString discardQuestion = QStringLiteral("Discard the changes not written to the device?");

class BoxAnswerer : public QObject
{
public:
    enum Answer { Yes, No, Escape, Leave };

    struct Seen { QString title, text; QMessageBox::StandardButtons buttons; QString informative; };

    BoxAnswerer()
    {
        connect(&timer, &QTimer::timeout, this, &BoxAnswerer::look);
        timer.start(20);
    }

    Answer answer = Escape;
    QList<Seen> seen;

private:
    void look()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        if (box == answered) {
            if (answer == Leave && openSince.isValid() && openSince.elapsed() > 5000) {
                openSince.invalidate();
                seen.append({"left open: " + box->windowTitle(), box->text(), box->standardButtons(), box->informativeText()});
                QTest::keyClick(box, Qt::Key_Escape);
            }
            return;
        }
        answered = box;
        openSince.start();
        seen.append({box->windowTitle(), box->text(), box->standardButtons(), box->informativeText()});
        QAbstractButton *key = box->button(QMessageBox::Ok);
        if (!key)
            key = box->button(answer == Yes ? QMessageBox::Yes : answer == No ? QMessageBox::No : QMessageBox::NoButton);
        if (key)
            QTest::mouseClick(key, Qt::LeftButton);
        else if (answer != Leave)
            QTest::keyClick(box, Qt::Key_Escape);
    }

    QTimer timer;
    QPointer<QMessageBox> answered;
    QElapsedTimer openSince;
};

// The main window against the device emulator on a pseudo-terminal, made
// afresh for every test function: openWindow from init, closeWindow from
// cleanup, setUpApplication (the start-up file's own directory) from
// initTestCase.
class WindowRig
{
protected:
    void setUpApplication()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Morvell"));
        QCoreApplication::setApplicationName(QStringLiteral("Ryd"));
        QVERIFY(workDir.isValid());
        QVERIFY(QDir::setCurrent(workDir.path()));
    }

    void openWindow()
    {
        QSettings().clear();
        boxes = std::make_unique<BoxAnswerer>();
        emulator = std::make_unique<Emulator>();
        QString error;
        QVERIFY2(emulator->open(&error), qPrintable(error));
        portName = emulator->portName();
        window = std::make_unique<MainWindow>(nullptr, [this] {
            return portName.isEmpty() ? QStringList() : QStringList{portName};
        });
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(progressBar());
        progress = std::make_unique<QSignalSpy>(progressBar(), &QProgressBar::valueChanged);
        QVERIFY(progress->isValid());
    }

    // A test takes the boxes it expects out of boxes->seen; any left over
    // were not expected.
    void closeWindow()
    {
        progress.reset();
        window.reset();
        emulator.reset();
        const QString unexpected = boxes->seen.isEmpty() ? QString() : boxes->seen.first().title;
        boxes.reset();
        QVERIFY2(unexpected.isNull(), qPrintable("unexpected message box " + unexpected));
    }

    // Presses "Connect" and waits for the read-all; what it sent is forgotten.
    bool connectDevice()
    {
        const bool done = runSequence("pbOpen") && emulator->requests().size() == 11;
        emulator->clearRequests();
        progress->clear();
        return done;
    }

    // Presses a key and waits for the sequence it starts; the device's
    // requests are then this sequence's.
    bool runSequence(const char *name)
    {
        emulator->clearRequests();
        progress->clear();
        QTest::mouseClick(key(name), Qt::LeftButton);
        return QTest::qWaitFor([this] { return sequenceEnded(); }, 10000);
    }

    // Silent commands give up in 0.3 s instead of 2, and a radio-test poll
    // lasts as long: for the cases that are not about the protocol's timing.
    void fastTimers(quint16 ms = 300) { window->findChild<Exchange *>()->setIntervalOverride(ms); }

    // Presses "DEFAULT" and confirms the question it asks.
    void pressDefault()
    {
        const BoxAnswerer::Answer before = std::exchange(boxes->answer, BoxAnswerer::Yes);
        QTest::mouseClick(key("DEFAULT"), Qt::LeftButton);
        boxes->answer = before;
        QVERIFY(!boxes->seen.isEmpty());
        QCOMPARE(boxes->seen.takeFirst().title, QString("Restore factory settings"));
    }

    // The progress bar has reached 100 since it was last cleared.
    bool sequenceEnded() const { return !progress->isEmpty() && progress->last().at(0).toInt() == 100; }

    // Keys, radio, RS-485, freeze protection and test panels (its TEST key), progress bar.
    QVector<bool> panelsEnabled() const
    {
        return {window->findChild<W_Key *>()->isEnabled(), radio()->isEnabled(), rs485()->isEnabled(),
                window->findChild<W_FreezProtection *>()->isEnabled(),
                testKeyOf(testPanel())->isEnabled(), progressBar()->isEnabled()};
    }

    void verifyDisconnected() const
    {
        QVERIFY(!window->findChild<Exchange *>()->isOpen());
        QCOMPARE(key("pbOpen")->text(), QString("Connect"));
        QVERIFY(window->portPanel()->isEnabled());
        QCOMPARE(panelsEnabled(), QVector<bool>(6, false));
        QCOMPARE(named<QLineEdit>("FirmWare")->text(), QString("x/x"));
        QCOMPARE(named<QLineEdit>("Radio module")->text(), QString());
        QVERIFY(!testPanel()->isTesting());
        QCOMPARE(testKeyOf(testPanel())->text(), QString("TEST"));
    }

    // What the panels show, in the record's encoding.
    Settings shown() const
    {
        return {{"Sub-band", checkedNumber(radio()->subBandPanel()->buttons())},
                {"Radio Data Rate", checkedNumber(radio()->rightPanel()->buttons())},
                {"Chanel", combo("Chanel")->currentIndex()}, {"Power", radio()->rightPanel()->powerPanel()->power()},
                {"Test address", spin("Test address")->value()},
                {"Serial Data Rate", checkedNumber(rs485()->serialRatePanel()->buttons())},
                {"Serial Timeout", spin("Serial Timeout")->value()}, {"Delay Tx-Rx", spin("Delay Tx-Rx")->value()},
                {"Parity", combo("Parity")->currentIndex()}, {"Stop bit", combo("Stop bit")->currentIndex()},
                {"Flow control", combo("Flow control")->currentText() == "HardWare" ? 0 : 2},
                {"Radio Transmit Reset", spin("Radio Transmit Reset")->value()},
                {"WDT Reset", combo("WDT Reset")->currentIndex()}};
    }

    // The control of a setting: its spin box, list or dial by name, or the
    // group box of its buttons by title.
    QWidget *control(const QString &name) const
    {
        for (QWidget *widget : window->findChildren<QWidget *>()) {
            auto *group = qobject_cast<QGroupBox *>(widget);
            if ((group && group->title() == name)
                || (widget->objectName() == name
                    && (qobject_cast<QSpinBox *>(widget) || qobject_cast<QComboBox *>(widget)
                        || qobject_cast<W_Power *>(widget) || group))) {
                return widget;
            }
        }
        return nullptr;
    }

    // The marked settings with the first line of their control's tooltip.
    QMap<QString, QString> marks() const
    {
        QMap<QString, QString> out;
        for (const SettingsTable::Setting &setting : SettingsTable::settings()) {
            const QString note = control(setting.name)->toolTip().section('\n', 0, 0);
            if (note.startsWith("Changed: ") || note == "Not read from the device")
                out.insert(setting.name, note);
        }
        return out;
    }

    template <typename T>
    T *named(const char *name) const { return window->findChild<T *>(QLatin1String(name)); }
    QPushButton *key(const char *name) const { return named<QPushButton>(name); }
    QSpinBox *spin(const char *name) const { return named<QSpinBox>(name); }
    QComboBox *combo(const char *name) const { return named<QComboBox>(name); }
    W_Radio *radio() const { return window->findChild<W_Radio *>(); }
    W_Rs485 *rs485() const { return window->findChild<W_Rs485 *>(); }
    W_Test *testPanel() const { return window->findChild<W_Test *>(); }
    QProgressBar *progressBar() const
    {
        return window->centralWidget()->findChild<QProgressBar *>(QString(), Qt::FindDirectChildrenOnly);
    }

    QTemporaryDir workDir;
    // The one port the window's port list offers; none while empty.
    QString portName;
    std::unique_ptr<BoxAnswerer> boxes;
    std::unique_ptr<Emulator> emulator;
    std::unique_ptr<MainWindow> window;
    // The progress bar's values since connectDevice.
    std::unique_ptr<QSignalSpy> progress;
};
