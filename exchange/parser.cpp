#include "parser.h"

#include "exchangelog.h"

#include <QTimer>

Parser::Parser(QObject *parent, const ParserParam &param)
    : QObject(parent)
    , param(param)
    , timer(new QTimer(this))
{
    // The re-send and timeout times belong to the protocol: keep them to the millisecond.
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(param.interval);
    connect(timer, &QTimer::timeout, this, &Parser::slTimer);
}

void Parser::start()
{
    qCDebug(lcParser) << "start" << param.type;
    attempts = 0;
    timer->start();
    // Last: the engine may act on the request before this returns.
    doRequest();
}

void Parser::stop()
{
    timer->stop();
}

void Parser::doRequest()
{
    qCDebug(lcParser) << "doRequest" << param.request;
    resetMatcher();
    emit sgRequest(param.request);
}

void Parser::doTimeout()
{
    qCDebug(lcParser) << "doTimeout" << param.type;
    // The engine may destroy this transaction in its handler: nothing after.
    emit sgTimeout();
}

void Parser::setRequest(const QByteArray &request)
{
    qCDebug(lcParser) << "setRequest" << request;
    param.request = request;
}

void Parser::setAnswer(const QByteArray &answer)
{
    qCDebug(lcParser) << "setAnswer" << answer;
    param.answer = answer;
}

void Parser::slTimer()
{
    ++attempts;
    qCDebug(lcParser) << "slTimer" << attempts << param.repeats;
    if (attempts < param.repeats) {
        doRequest();
        return;
    }
    timer->stop();
    doTimeout();
}

void Parser::resetMatcher()
{
    position = 0;
    lastMask = '1';
    terminator = 0;
    done = 0;
    fields.clear();
    matched = 0;
}

bool Parser::parseAnswer(const QByteArray &received, QList<QByteArray> &out)
{
    const QByteArray &answer = param.answer;
    const QByteArray &mask = param.mask;
    answerEndAt = int(received.size());
    completedLength = -1;
    for (int i = 0; i < received.size(); ++i) {
        const char c = received.at(i);
        if (position >= mask.size()) {
            // Only an empty mask gets here; it can never be matched.
            resetMatcher();
            return false;
        }
        const char m = mask.at(position);
        bool capture = false;
        if (m == 'X') {
            terminator = position + 1 < answer.size() ? answer.at(position + 1) : 0;
            capture = c != terminator;
        } else if (m == '0') {
            capture = true;
        } else if (position >= answer.size() || c != answer.at(position)) {
            // The breaking byte is dropped, not tried as the start of a new match.
            resetMatcher();
            continue;
        }

        ++matched;
        if (capture) {
            if (lastMask == '1' || fields.isEmpty())
                fields.append(QByteArray());
            fields.last().append(c);
        }

        lastMask = m;
        if (m == 'X') {
            if (c == terminator) {
                position += 2;
                lastMask = '1';
            }
        } else {
            ++position;
        }

        if (position >= mask.size()) {
            out = fields;
            const int length = matched;
            resetMatcher();
            completedLength = length;
            answerEndAt = i + 1;
            done = 1;
            return true;
        }
    }
    return false;
}
