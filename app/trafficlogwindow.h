#pragma once

#include <QWidget>

class QPlainTextEdit;
class TrafficLog;

// The traffic log in a window of its own beside the main window, with keys
// to save it to a text file and to clear it. Closing the window (Escape does
// too) only hides it; the log goes on recording.
class TrafficLogWindow : public QWidget
{
    Q_OBJECT

public:
    TrafficLogWindow(TrafficLog *log, QWidget *parent);

    void saveLog();
    // The file part of saveLog, without the dialog; tells the operator when
    // the file cannot be written and returns false.
    bool saveLogTo(const QString &fileName);
    // The first line of a saved log: the program, its version, the port
    // connected last and the date and time of the save, which the lines'
    // own times lack.
    QString headerLine() const;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    TrafficLog *log;
    QPlainTextEdit *view;
};
