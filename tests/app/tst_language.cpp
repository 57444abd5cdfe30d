#include "language.h"
#include "mainwindow.h"
#include "w_adres.h"

#include <QtTest>
#include <QtWidgets>

// The window as the program starts it in the locale of the test's environment: run once under a Russian
// locale, once under C (RYD_LANGUAGE says which to expect). Qt's own texts come from the system's catalogue.
class tst_Language : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(dir.path()));
        Language::install(qApp, Language::chosen(QString()));
        window = std::make_unique<MainWindow>(nullptr, [] { return QStringList(); });
    }
    void texts();

private:
    QTemporaryDir dir;
    std::unique_ptr<MainWindow> window;
};

// A handful of keys, titles and choices, and the names a screen reader reads: a control by its label, an
// address row by its address and counts. The title stays as it is; the factory-settings question's keys
// are Qt's own.
void tst_Language::texts()
{
    const bool ru = qgetenv("RYD_LANGUAGE") == "ru";
    QCOMPARE(window->findChild<QPushButton *>("WRITE")->text(), ru ? "ЗАПИСЬ" : "WRITE");
    QCOMPARE(window->findChild<QPushButton *>("Save Settings")->text(), ru ? "Сохранить настройки" : "Save Settings");
    QCOMPARE(window->findChild<QGroupBox *>("Serial Data Rate")->title(), ru ? "Скорость передачи" : "Serial Data Rate");
    QCOMPARE(window->findChild<QComboBox *>("Parity")->itemText(3), ru ? "9 бит, без четности" : "9-bit data, no parity");
    QCOMPARE(window->windowTitle(), QString("Рыд Конфигуратор v.1.1.14"));

    const auto nameOf = [](QWidget *w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    QCOMPARE(nameOf(window->findChild<QSpinBox *>("Serial Timeout")), ru ? "Таймаут порта" : "Serial Timeout");
    W_Adres *row = window->findChild<W_Adres *>();
    QCOMPARE(nameOf(row->checkBox()), ru ? "Адрес 1" : "Address 1");
    row->setErrRect();
    row->setOkRect();
    QCOMPARE(nameOf(row->checkBox()), ru ? "Адрес 1: ответов 1 из 2 опросов (50%)" : "Address 1: answered 1 of 2 polls (50%)");

    QString keys;
    QTimer::singleShot(50, this, [&keys] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        keys = box->button(QMessageBox::Yes)->text() + ' ' + box->button(QMessageBox::No)->text();
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    window->slValueChange("DEFAULT", 0);
    QCOMPARE(keys.remove('&'), ru ? "Да Нет" : "Yes No");
}

QTEST_MAIN(tst_Language)
#include "tst_language.moc"
