#pragma once

#include "parserparam.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class Data;
class Parser;
class QSerialPort;

// Owns the serial port and a queue of request/answer transactions. Only the
// first transaction of the queue runs; when it ends the next one starts.
class Exchange : public QObject
{
    Q_OBJECT

public:
    // How a sequence ended: its queue ran out, a failure prompt's answer
    // dropped it, or the line was lost under it.
    enum class SequenceEnd { Completed, Abandoned, LineLost };
    Q_ENUM(SequenceEnd)

    Exchange(QObject *parent, Data *data);

    bool isOpen() const;
    // A radio-test poll is queued, running or finishing after stopTest.
    bool isTesting() const { return findTestPoll() != nullptr; }

    void addParser(TypeParser type, const QString &value);
    void clearParsers();
    void start(bool first);
    ParserParam getParserParam(TypeParser type, const QString &value) const;

    bool openPort(const QString &portName);
    // Closes an open port and drops the queue.
    void closePort();
    void GetAllSettings();
    void startSave();
    void startDefaultWrite();
    void startTest(const QByteArray &adreses);
    void clearTest();
    // Ends the radio test once the poll under way has had its second: an
    // answer may still arrive, and the poll is judged as any other. No poll
    // follows. Without a poll under way the queue is dropped at once.
    void stopTest();

    // The system's words for the port's latest error, and the operator's
    // message for a failed openPort of `portName` built from that error.
    QString portErrorString() const;
    QString openFailureText(const QString &portName) const;

    // Transactions queued from now on re-send and time out after `ms` instead
    // of the catalogue's interval; 0 keeps the catalogue's. The program never
    // changes it: it lets tests run silent devices without waiting seconds.
    void setIntervalOverride(quint16 ms) { intervalOverride = ms; }

signals:
    void sgRequest(quint8 countParsers, TypeParser typeParser, QByteArray request);
    void sgTimeOut(quint8 countParsers, TypeParser typeParser, QByteArray request);
    void sgOk(quint8 countParsers, TypeParser typeParser, QByteArray request);
    void sgError(QByteArray request);
    void sgGetSetting(TypeParser type, QList<QByteArray> param);
    void sgSetProgres(quint8 percent);
    // The end of every sequence, right after its progress of 100 where it has
    // one. `failedRequest` is the request whose failure prompt abandoned the
    // sequence, or the one running when the line was lost; empty otherwise.
    void sgSequenceEnded(Exchange::SequenceEnd end, QByteArray failedRequest);
    // The open port failed for good (adapter unplugged, line hung up). The
    // port is closed and the queue dropped by then.
    void sgPortLost(QString reason);

    // What went over the line, for the traffic log and the radio test's
    // round trips. Every write to the port:
    void sgSent(QByteArray bytes);
    // A transaction's complete answer, its own bytes only, `roundTripMs`
    // after the latest write of its request:
    void sgAnswer(TypeParser typeParser, QByteArray request, QByteArray answer, int roundTripMs);
    // A transaction that used up its sends without an answer (a radio-test
    // poll: its second ended without one):
    void sgNoAnswer(TypeParser typeParser, QByteArray request);
    // Received bytes that no transaction took:
    void sgUnexpected(QByteArray bytes);
    void sgPortOpened(QString portName);
    // `reason` is empty when the port was closed on purpose.
    void sgPortClosed(QString portName, QString reason);

private slots:
    void slReadyRead();
    void slRequest(const QByteArray &request);
    void slTimeout();
    QByteArray getTestRequest(quint8 index) const;

private:
    void onPortError();
    void closeLostPort();
    void dropParser(Parser *parser);
    // The transaction still exists and is still the one running (see the
    // queue below).
    bool stillFirst(const QPointer<Parser> &parser) const;
    void startNext();
    void endSequence(SequenceEnd end, const QByteArray &failedRequest = QByteArray());
    QByteArray testAnswer(quint8 index) const;
    // The radio test's poll transaction, if queued.
    Parser *findTestPoll() const;
    void reportUnexpected(int count);
    QString rs485Record(quint8 serialRate) const;
    void addRegisterWrites();

    QSerialPort *port = nullptr;
    // The transactions, the running one first. Every signal the engine emits
    // may re-enter it (the failure prompt is modal and runs an event loop), so
    // a handler may clear or replace the queue, and the transaction that
    // emitted may be gone when the emission returns: after each emission the
    // engine goes on only while stillFirst() holds for it.
    QList<Parser *> parsers;
    QByteArray testAdreses;
    quint8 testIndex = 0;
    // The poll under way is the test's last (stopTest).
    bool testStopping = false;
    // The poll under way was sent before "CLEAN TEST": it is judged without
    // a report, so that the fresh counts begin with the next poll.
    bool testUnreported = false;
    Data *data = nullptr;
    quint16 totalParsers = 0;
    bool portLossPending = false;
    quint16 intervalOverride = 0;
    // Counts the queue's clearings, so that the engine can tell whether the
    // answer to a failure prompt dropped the queue.
    quint32 clearings = 0;
    // Received bytes no transaction has taken: those the first transaction
    // holds as the start of a partial answer. They are reported as unexpected
    // when it lets them go.
    QByteArray unclaimed;
    // The port's name as it was given to openPort.
    QString openedName;
    // Runs from the latest write to the port.
    QElapsedTimer sinceSent;
};
