#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class W_Power;
class W_Rb;

// Base of every panel. It reports the changes of the widgets below it as
// (name, value) pairs and sets or reads them by name. A widget's name is its
// object name, or the name of the group box that holds a group of W_Rb
// buttons: its object name, or its title when it has none. Names match by
// prefix: a widget matches when its name begins with the name asked for.
class W_QWidget : public QWidget
{
    Q_OBJECT

public:
    explicit W_QWidget(QWidget *parent = nullptr);

    // Connects every known widget below this panel to its slots; called once
    // by the panel's owner after the panel has built all of its widgets.
    void connectAll();

    void setValueByName(const QString &name, int value);
    void setTextByName(const QString &name, const QString &text);
    QString textByName(const QString &name) const;
    // The value the first control below the panel whose name begins with
    // `name` shows: a spin box's value, a combo box's index, the number of
    // the checked button of a group, a power dial's value; -1 when no control
    // matches or nothing is chosen.
    int valueByName(const QString &name) const;
    // Marks the control of that name: its caption (or the group box that
    // holds its buttons, or the control itself where it has neither) in bold,
    // and `note` as the first line of the tooltips of both. An empty note
    // removes the mark.
    void markByName(const QString &name, const QString &note);

protected:
    // A caption for `control`, beside it in its parent; it names the control,
    // also to a screen reader.
    static QLabel *caption(const QString &text, QWidget *control);

signals:
    void sgValueChange(QString name, int val);
    void sgTextChange(QString name, QString val);

public slots:
    void slValueChange(int v);
    void slTextChange(const QString &t);
    void slPressed();

private:
    void connectChildren(QObject *obj);
    static void describe(QObject *obj);
    static QString groupName(const QGroupBox *group);
    static void setValueBelow(QObject *obj, const QString &name, int value);
    static void setTextBelow(QObject *obj, const QString &name, const QString &text);
    static QComboBox *findComboBox(const QObject *obj, const QString &name);
    static QWidget *findValueWidget(const QObject *obj, const QString &name);
    QWidget *captionOf(QWidget *control) const;

    // The widgets connectAll connected, by kind.
    QList<QSpinBox *> spinBoxes;
    QList<QComboBox *> comboBoxes;
    QList<W_Rb *> radioButtons;
    QList<QPushButton *> pushButtons;
    QList<W_Power *> powerPanels;
};
