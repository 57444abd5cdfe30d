#include "panelcheck.h"
#include "w_key.h"

#include <QGridLayout>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QtTest>

class tst_W_Key : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void pressReports_data();
    void pressReports();
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

void tst_W_Key::pressReports_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("checkable");

    QTest::newRow("READ") << QStringLiteral("READ") << 0 << false;
    QTest::newRow("WRITE") << QStringLiteral("WRITE") << 1 << false;
    QTest::newRow("DEFAULT") << QStringLiteral("DEFAULT") << 4 << false;
    QTest::newRow("Freeze Protection") << QStringLiteral("Freeze Protection") << 5 << true;
}

// A command key reports 0 on every press. The freeze protection key reports
// the state it had before the press: 0 when the press is about to show the
// panel, 1 when it is about to hide it.
void tst_W_Key::pressReports()
{
    QFETCH(QString, name);
    QFETCH(int, column);
    QFETCH(bool, checkable);

    QPushButton *button = key(name);
    QVERIFY(button);
    QCOMPARE(button->text(), name);
    QCOMPARE(button->isCheckable(), checkable);
    QVERIFY(!button->isChecked());
    auto *grid = qobject_cast<QGridLayout *>(keys->layout());
    QVERIFY(grid);
    QLayoutItem *item = grid->itemAtPosition(1, column);
    QVERIFY(item);
    QCOMPARE(item->widget(), button);

    QSignalSpy spy(keys, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());
    QList<Report> expected;
    for (int press = 0; press < 3; ++press) {
        expected.append({name, checkable ? press % 2 : 0});
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(button->isChecked(), checkable && press % 2 == 0);
    }
    QCOMPARE(static_cast<const QList<Report> &>(spy), expected);
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
