#include "panelrules.h"
#include "w_power.h"
#include "w_qwidget.h"
#include "w_rb.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QVBoxLayout>

// A panel shaped like the real ones: value widgets at several depths, a radio
// group named by its title, a dial panel, buttons and a line edit.
class Panel : public W_QWidget
{
public:
    Panel()
    {
        auto *inner = new QWidget(this);
        power = new QSpinBox(inner);
        power->setObjectName("Power");
        power->setRange(0, 300);
        combo = new QComboBox(this);
        combo->setObjectName("Chanel");
        combo->addItems({"868.75 MHz", "868.85 MHz", "868.95 MHz"});
        group = new QGroupBox("Sub-band", this);
        auto *groupLayout = new QVBoxLayout(group);
        for (quint8 n : {0, 1, 2}) {
            auto *rb = new W_Rb(group, n, QString("rb %1").arg(n));
            groupLayout->addWidget(rb);
            buttons.append(rb);
        }
        dial = new W_Power(this);
        // Renamed so that "Power" names the spin box alone.
        dial->setObjectName("Dial");
        checkable = new QPushButton("Freeze Protection", this);
        checkable->setObjectName("Freeze Protection");
        checkable->setCheckable(true);
        firmware = new QLineEdit(this);
        firmware->setObjectName("FirmWare");
        unnamed = new QSpinBox(this);
        unnamed->setRange(0, 100);
        auto *layout = new QVBoxLayout(this);
        for (QWidget *w : {static_cast<QWidget *>(inner), static_cast<QWidget *>(combo),
                           static_cast<QWidget *>(group), static_cast<QWidget *>(dial),
                           static_cast<QWidget *>(checkable), static_cast<QWidget *>(firmware),
                           static_cast<QWidget *>(unnamed)})
            layout->addWidget(w);
    }

    QSpinBox *power;
    QComboBox *combo;
    QGroupBox *group;
    QList<W_Rb *> buttons;
    W_Power *dial;
    QPushButton *checkable;
    QLineEdit *firmware;
    QSpinBox *unnamed;
};

class tst_W_QWidget : public QObject
{
    Q_OBJECT

private slots:
    void setValueByName_prefix_data();
    void setValueByName_prefix();
    void setValueFeedsBack();
    void radioGroupByTitle_data();
    void radioGroupByTitle();
    void pressedRadioButtonReportsGroupTitle();
    void checkableButtonReportsStateBeforePress();
};

void tst_W_QWidget::setValueByName_prefix_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("sets");
    QTest::newRow("exact") << "Power" << true;
    QTest::newRow("first three letters") << "Pow" << true;
    QTest::newRow("longer name") << "Power level" << false;
    QTest::newRow("other case") << "power" << false;
    QTest::newRow("inner part") << "ower" << false;
    QTest::newRow("other name") << "Chanel" << false;
}

void tst_W_QWidget::setValueByName_prefix()
{
    QFETCH(QString, name);
    QFETCH(bool, sets);
    Panel panel;
    panel.setValueByName(name, 42);
    QCOMPARE(panel.power->value(), sets ? 42 : 0);
}

void tst_W_QWidget::setValueFeedsBack()
{
    Panel panel;
    panel.connectAll();
    QSignalSpy spy(&panel, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    panel.setValueByName("Power", 7);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString("Power"));
    QCOMPARE(spy.at(0).at(1).toInt(), 7);

    // The value it already has: nothing to report.
    panel.setValueByName("Power", 7);
    QCOMPARE(spy.count(), 1);

    panel.setValueByName("Chanel", 2);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toString(), QString("Chanel"));
    QCOMPARE(spy.at(1).at(1).toInt(), 2);
}

void tst_W_QWidget::radioGroupByTitle_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<int>("checked");
    QTest::newRow("select 2") << "Sub-band" << 1 << 2 << 2;
    QTest::newRow("unknown number keeps selection") << "Sub-band" << 1 << 5 << 1;
    QTest::newRow("prefix of title") << "Sub" << 0 << 2 << 2;
    QTest::newRow("other title") << "Radio Data Rate" << -1 << 2 << -1;
}

void tst_W_QWidget::radioGroupByTitle()
{
    QFETCH(QString, name);
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(int, checked);
    Panel panel;
    panel.connectAll();
    QSignalSpy spy(&panel, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    if (first >= 0)
        panel.setValueByName("Sub-band", first);
    panel.setValueByName(name, second);

    int found = -1;
    for (W_Rb *rb : panel.buttons) {
        if (rb->isChecked())
            found = rb->number();
    }
    QCOMPARE(found, checked);
    // Checking a radio button by name is not reported.
    QCOMPARE(spy.count(), 0);
}

void tst_W_QWidget::pressedRadioButtonReportsGroupTitle()
{
    Panel panel;
    panel.connectAll();
    panel.show();
    QSignalSpy spy(&panel, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    // Click on the indicator: a radio button only takes clicks on its indicator and text.
    W_Rb *rb = panel.buttons.at(2);
    QTest::mouseClick(rb, Qt::LeftButton, {}, QPoint(6, rb->height() / 2));
    QVERIFY(rb->isChecked());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QString("Sub-band"));
    QCOMPARE(spy.at(0).at(1).toInt(), 2);
}

void tst_W_QWidget::checkableButtonReportsStateBeforePress()
{
    Panel panel;
    panel.connectAll();
    panel.show();
    QSignalSpy spy(&panel, &W_QWidget::sgValueChange);
    QVERIFY(spy.isValid());

    QTest::mouseClick(panel.checkable, Qt::LeftButton);
    QTest::mouseClick(panel.checkable, Qt::LeftButton);
    QTest::mouseClick(panel.checkable, Qt::LeftButton);
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.at(0), (QList<QVariant>{"Freeze Protection", 0}));
    QCOMPARE(spy.at(1), (QList<QVariant>{"Freeze Protection", 1}));
    QCOMPARE(spy.at(2), (QList<QVariant>{"Freeze Protection", 0}));
}

RYD_PANEL_RULES(tst_W_QWidget)
#include "tst_w_qwidget.moc"
