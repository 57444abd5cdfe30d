#include "panelcheck.h"
#include "w_key.h"

#include <QGridLayout>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QtTest>

using Report = QList<QVariant>;

class tst_W_Key : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void commandKey_data();
    void commandKey();
    void freezeProtection();
    void layout();
    void fitsAtMinimumSize();

private:
    QPushButton *key(const QString &name) const { return keys->findChild<QPushButton *>(name); }

    W_Key *keys = nullptr;
};

void tst_W_Key::init()
{
    keys = new W_Key;
    keys->connectAll();
    keys->show();
    QVERIFY(QTest::qWaitForWindowExposed(keys));
}

void tst_W_Key::cleanup()
{
    delete keys;
    keys = nullptr;
}

void tst_W_Key::commandKey_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("column");

    QTest::newRow("READ") << QStringLiteral("READ") << 0;
    QTest::newRow("WRITE") << QStringLiteral("WRITE") << 1;
    QTest::newRow("DEFAULT") << QStringLiteral("DEFAULT") << 4;
}

void tst_W_Key::commandKey()
{
    QFETCH(QString, name);
    QFETCH(int, column);

    QPushButton *button = key(name);
    QVERIFY(button);
    QCOMPARE(button->text(), name);
    QVERIFY(!button->isCheckable());
    auto *grid = qobject_cast<QGridLayout *>(keys->layout());
    QVERIFY(grid);
    QLayoutItem *item = grid->itemAtPosition(1, column);
    QVERIFY(item);
    QCOMPARE(item->widget(), button);

    QSignalSpy spy(keys, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(static_cast<const QList<Report> &>(spy), (QList<Report>{{name, 0}, {name, 0}}));
}

// The key reports the state it had before the press: 0 when the press is
// about to show the panel, 1 when it is about to hide it.
void tst_W_Key::freezeProtection()
{
    QPushButton *button = key(QStringLiteral("Freeze Protection"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Freeze Protection"));
    QVERIFY(button->isCheckable());
    QVERIFY(!button->isChecked());
    auto *grid = qobject_cast<QGridLayout *>(keys->layout());
    QVERIFY(grid);
    QLayoutItem *item = grid->itemAtPosition(1, 5);
    QVERIFY(item);
    QCOMPARE(item->widget(), button);

    QSignalSpy spy(keys, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(button->isChecked());
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!button->isChecked());
    QTest::mouseClick(button, Qt::LeftButton);
    const QString name = QStringLiteral("Freeze Protection");
    QCOMPARE(static_cast<const QList<Report> &>(spy), (QList<Report>{{name, 0}, {name, 1}, {name, 0}}));
}

void tst_W_Key::layout()
{
    auto *grid = qobject_cast<QGridLayout *>(keys->layout());
    QVERIFY(grid);
    QCOMPARE(grid->count(), 4);
    QCOMPARE(grid->horizontalSpacing(), 9);
    QCOMPARE(grid->verticalSpacing(), 9);
    const int styleMargin = keys->style()->pixelMetric(QStyle::PM_LayoutLeftMargin, nullptr, keys);
    QCOMPARE(grid->contentsMargins(), QMargins(styleMargin, 5, styleMargin, 1));
    QVERIFY(key(QStringLiteral("WRITE"))->geometry().right() < key(QStringLiteral("DEFAULT"))->geometry().left());
}

void tst_W_Key::fitsAtMinimumSize()
{
    verifyFitsAtMinimumSize(keys);
}

QTEST_MAIN(tst_W_Key)
#include "tst_w_key.moc"
