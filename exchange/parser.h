#pragma once

#include "parserparam.h"

#include <QByteArray>
#include <QList>
#include <QObject>

class QTimer;

// One request/answer transaction. It asks for its request to be sent (it never
// touches the port), re-sends it on every tick of its timer until `repeats` is
// used up and then reports a timeout. Received bytes are pushed into
// parseAnswer(), which matches them byte by byte against the answer template
// and its mask, so an answer may arrive split over any number of reads.
class Parser : public QObject
{
    Q_OBJECT

public:
    Parser(QObject *parent, const ParserParam &param);

    void start();
    // Stops the timer without reporting anything; used when the engine drops
    // the transaction.
    void stop();
    void doRequest();
    void doTimeout();
    void setRequest(const QByteArray &request);
    void setAnswer(const QByteArray &answer);
    bool parseAnswer(const QByteArray &received, QList<QByteArray> &out);

    TypeParser type() const { return param.type; }
    QByteArray request() const { return param.request; }
    quint8 keepAfterAnswer() const { return param.keepAfterAnswer; }
    bool isDone() const { return done != 0; }
    // Where the answer lies in the bytes of the latest parseAnswer call: it
    // ends before index answerEnd() and is answerLength() bytes long, bytes
    // of earlier calls included. Without a completed answer, answerEnd() is
    // the number of bytes given and answerLength() that of the partial
    // answer held. The matcher keeps no bytes; the exchange uses this to
    // tell the answer from bytes that no transaction took.
    int answerEnd() const { return answerEndAt; }
    int answerLength() const { return completedLength >= 0 ? completedLength : matched; }

signals:
    void sgRequest(QByteArray request);
    void sgTimeout();

private slots:
    void slTimer();

private:
    void resetMatcher();

    QList<QByteArray> fields;
    ParserParam param;
    quint8 done = 0;
    quint8 attempts = 0;
    QTimer *timer = nullptr;
    quint8 position = 0;
    char lastMask = '1';
    char terminator = 0;
    // Bytes matched since the matcher was last reset.
    int matched = 0;
    // Length of the answer the latest parseAnswer call completed, -1 when
    // it completed none.
    int completedLength = -1;
    int answerEndAt = 0;
};
