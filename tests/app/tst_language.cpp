#include "language.h"
#include "mainwindow.h"
#include "w_adres.h"
#include "w_test.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

// The window as the program starts it in the locale of the test's environment: run once under a Russian
// locale, once under C (RYD_LANGUAGE says which to expect). The controls as a screen reader reads them.
class tst_Language : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { window = std::make_unique<MainWindow>(nullptr, [] { return QStringList(); }); }
    void cleanup() { window.reset(); }
    void texts_data();
    void texts();
    void accessible();
    void qtOwnTexts();

private:
    bool inRussian() const { return qgetenv("RYD_LANGUAGE") == "ru"; }
    QTemporaryDir dir;
    std::unique_ptr<MainWindow> window;
};

void tst_Language::initTestCase()
{
    QVERIFY(QDir::setCurrent(dir.path()));
    Language::install(qApp, Language::chosen(QString()));
}

void tst_Language::texts_data()
{
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("russian");
    QTest::newRow("key") << "WRITE" << "ЗАПИСЬ";
    QTest::newRow("port row") << "Save Settings" << "Сохранить настройки";
    QTest::newRow("label") << "Serial Timeout" << "Таймаут порта";
    QTest::newRow("group") << "Serial Data Rate" << "Скорость передачи";
    QTest::newRow("choice") << "8-bit data, even parity" << "8 бит, контроль четности";
    QTest::newRow("test key") << "CLEAN TEST" << "ОЧИСТИТЬ";
}

// A handful of the window's texts, wherever they are shown; the title stays as it is.
void tst_Language::texts()
{
    QFETCH(QString, english);
    QFETCH(QString, russian);
    QStringList shown;
    for (const QLabel *label : window->findChildren<QLabel *>())
        shown << label->text();
    for (const QAbstractButton *button : window->findChildren<QAbstractButton *>())
        shown << button->text();
    for (const QGroupBox *group : window->findChildren<QGroupBox *>())
        shown << group->title();
    for (const QComboBox *combo : window->findChildren<QComboBox *>()) {
        for (int i = 0; i < combo->count(); ++i)
            shown << combo->itemText(i);
    }
    QVERIFY2(shown.contains(inRussian() ? russian : english), qPrintable(shown.join(" | ")));
    QVERIFY(!shown.contains(inRussian() ? english : russian));
    QCOMPARE(window->windowTitle(), QString("Рыд Конфигуратор v.1.1.14"));
}

// Every control Tab reaches, the hidden freeze protection's too, has a name and a description; a labelled
// control is named by its label, an address row by its address and counts.
void tst_Language::accessible()
{
    int controls = 0;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        // A spin box's own line edit passes its focus on.
        if (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy())
            continue;
        QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(w);
        QVERIFY(reader);
        const QString what = QString::fromLatin1(w->metaObject()->className()) + ' ' + w->objectName();
        QVERIFY2(!reader->text(QAccessible::Name).isEmpty(), qPrintable(what));
        QVERIFY2(!reader->text(QAccessible::Description).isEmpty(), qPrintable(what));
        ++controls;
    }
    QVERIFY2(controls > 40, qPrintable(QString::number(controls)));
    const auto nameOf = [](QWidget *w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    QCOMPARE(nameOf(window->findChild<QSpinBox *>("Serial Timeout")), inRussian() ? "Таймаут порта" : "Serial Timeout");
    W_Adres *row = window->findChild<W_Adres *>();
    QCOMPARE(nameOf(row->checkBox()), inRussian() ? "Адрес 1" : "Address 1");
    row->setAdres(9);
    row->setErrRect();
    row->setOkRect();
    QCOMPARE(nameOf(row->checkBox()),
             inRussian() ? "Адрес 9: ответов 1 из 2 опросов (50%)" : "Address 9: answered 1 of 2 polls (50%)");
}

// The factory-settings question: its keys are Qt's, from the system's catalogue where it has one.
void tst_Language::qtOwnTexts()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const QString catalogues = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    const QString catalogues = QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
    if (inRussian() && !QFile::exists(catalogues + "/qtbase_ru.qm"))
        QSKIP("Qt's Russian catalogue is not installed");
    QString keys;
    QTimer::singleShot(50, this, [&keys] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        keys = box->button(QMessageBox::Yes)->text() + ' ' + box->button(QMessageBox::No)->text();
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    window->slValueChange("DEFAULT", 0);
    QCOMPARE(keys.remove('&'), inRussian() ? "Да Нет" : "Yes No");
}

QTEST_MAIN(tst_Language)
#include "tst_language.moc"
