// The engine: the queue of transactions, the port, the matching of answers,
// timeouts and port loss. What each sequence queues is in
// exchangesequences.cpp.
#include "exchange.h"

#include "catalogue.h"
#include "exchangelog.h"
#include "parser.h"
#include "serialportname.h"

#include <QPointer>
#include <QSerialPort>

#include <algorithm>
#include <utility>

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

namespace {
// A line that was hung up reads as empty for ever and the port reports a read
// error on every turn of the event loop; an unplugged adapter reports a
// resource error. Either way the port is of no more use.
bool lineIsGone(QSerialPort *port)
{
    if (port->error() == QSerialPort::ResourceError)
        return true;
    if (port->error() != QSerialPort::ReadError)
        return false;
#ifdef Q_OS_UNIX
    pollfd line{int(port->handle()), POLLIN, 0};
    return ::poll(&line, 1, 0) > 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL));
#else
    return false;
#endif
}
} // namespace

Exchange::Exchange(QObject *parent, Data *data)
    : QObject(parent)
    , port(new QSerialPort(this))
    , data(data)
{
    qRegisterMetaType<TypeParser>();
    qRegisterMetaType<QList<QByteArray>>();
    qRegisterMetaType<Exchange::SequenceEnd>();
    connect(port, &QSerialPort::readyRead, this, &Exchange::slReadyRead);
    connect(port, &QSerialPort::errorOccurred, this, &Exchange::onPortError);
}

void Exchange::onPortError()
{
    if (portLossPending || !port->isOpen() || !lineIsGone(port))
        return;
    // The port is inside its own read or write when it reports the error, so
    // it is closed once that call has returned.
    portLossPending = true;
    QMetaObject::invokeMethod(this, &Exchange::closeLostPort, Qt::QueuedConnection);
}

void Exchange::closeLostPort()
{
    portLossPending = false;
    if (!port->isOpen())
        return;
    const QString reason = port->errorString();
    qCDebug(lcExchange) << "port lost" << port->portName() << reason;
    const QByteArray running = parsers.isEmpty() ? QByteArray() : parsers.first()->request();
    const bool wasRunning = !parsers.isEmpty();
    port->close();
    clearParsers();
    if (wasRunning)
        emit sgSequenceEnded(SequenceEnd::LineLost, running);
    emit sgPortClosed(openedName, reason);
    emit sgPortLost(reason);
}

bool Exchange::isOpen() const
{
    return port->isOpen();
}

QString Exchange::portErrorString() const
{
    return port->errorString();
}

QString Exchange::openFailureText(const QString &portName) const
{
    return SerialPortName(portName).openFailureText(port->error(), port->errorString());
}

bool Exchange::stillFirst(const QPointer<Parser> &parser) const
{
    return parser && !parsers.isEmpty() && parsers.first() == parser;
}

void Exchange::addParser(TypeParser type, const QString &value)
{
    ParserParam param = getParserParam(type, value);
    if (intervalOverride != 0)
        param.interval = intervalOverride;
    auto *parser = new Parser(this, param);
    parsers.append(parser);
    connect(parser, &Parser::sgRequest, this, &Exchange::slRequest);
    connect(parser, &Parser::sgTimeout, this, &Exchange::slTimeout);
}

// A dropped transaction may be the one whose signal is being handled further
// up the stack (its timer's tick, or the failure prompt's nested loop), so it
// is silenced at once and deleted only when control is back in the event loop.
void Exchange::dropParser(Parser *parser)
{
    disconnect(parser, nullptr, this, nullptr);
    parser->stop();
    parser->deleteLater();
}

void Exchange::clearParsers()
{
    qCDebug(lcExchange) << "clearParsers" << parsers.size();
    reportUnexpected(unclaimed.size());
    testStopping = false;
    testUnreported = false;
    ++clearings;
    const QList<Parser *> dropped = parsers;
    parsers.clear();
    for (Parser *parser : dropped)
        dropParser(parser);
}

void Exchange::start(bool first)
{
    if (parsers.isEmpty())
        return;
    if (first) {
        emit sgSetProgres(0);
        totalParsers = quint16(parsers.size());
    } else if (totalParsers != 0) {
        const int finished = qMax(0, int(totalParsers) - parsers.size());
        emit sgSetProgres(quint8(finished * 100 / totalParsers));
    }
    if (!parsers.isEmpty())
        parsers.first()->start();
}

void Exchange::startNext()
{
    if (parsers.isEmpty()) {
        endSequence(SequenceEnd::Completed);
        return;
    }
    start(false);
}

void Exchange::endSequence(SequenceEnd end, const QByteArray &failedRequest)
{
    emit sgSetProgres(100);
    emit sgSequenceEnded(end, failedRequest);
}

// The first `count` unclaimed bytes are let go: no transaction takes them.
void Exchange::reportUnexpected(int count)
{
    if (count <= 0)
        return;
    const QByteArray bytes = unclaimed.left(count);
    unclaimed.remove(0, count);
    emit sgUnexpected(bytes);
}

void Exchange::slRequest(const QByteArray &request)
{
    // A send starts the transaction's matching afresh.
    reportUnexpected(unclaimed.size());
    if (!parsers.isEmpty() && parsers.first()->type() == E_Test) {
        QPointer<Parser> poll = parsers.first();
        emit sgRequest(quint8(parsers.size()), E_Test, request);
        // The handler stopped the test: nobody waits for this poll any more.
        if (!stillFirst(poll))
            return;
    }
    if (!port->isOpen()) {
        qCDebug(lcExchange) << "slRequest" << "port closed" << request;
        return;
    }
    port->write(request);
    sinceSent.start();
    emit sgSent(request);
}

void Exchange::slReadyRead()
{
    // With no transaction to feed, the bytes stay in the port's buffer and
    // are read together with the next arrival.
    if (parsers.isEmpty())
        return;
    if (!port->isOpen())
        return;
    const QByteArray received = port->readAll();
    // The debug log's own wording for every read, kept as it is.
    qCDebug(lcExchange) << "slReadyRead" << "baResive" << received;
    if (received.isEmpty())
        return;

    QPointer<Parser> current = parsers.first();
    QList<QByteArray> fields;
    const bool complete = current->parseAnswer(received, fields);
    // Whatever came before the answer, or before the partial answer still
    // held, no transaction took; nor what came after a complete answer.
    unclaimed.append(received);
    const int answerEnd = int(unclaimed.size() - received.size()) + current->answerEnd();
    const int answerStart = qMax(0, answerEnd - current->answerLength());
    reportUnexpected(answerStart);
    if (!complete)
        return;
    const QByteArray answer = unclaimed.left(answerEnd - answerStart);
    const QByteArray after = unclaimed.mid(answerEnd - answerStart);
    unclaimed.clear();
    emit sgAnswer(current->type(), current->request(), answer, sinceSent.isValid() ? int(sinceSent.elapsed()) : -1);
    if (!after.isEmpty())
        emit sgUnexpected(after);
    if (!stillFirst(current))
        return;

    const TypeParser type = current->type();
    // An answer with another number of fields ends the transaction unheard.
    const int expected = Catalogue::command(type).deliveredFields;
    if (expected != 0 && fields.size() == expected) {
        if (type == E_GetFlowControl)
            // The debug log records every flow control answer with this line.
            qCDebug(lcExchange).noquote() << "E_GetFlowControl" << fields.join(", ");
        emit sgGetSetting(type, fields);
    }

    if (!stillFirst(current))
        return;
    if (current->keepAfterAnswer())
        return;

    parsers.removeFirst();
    dropParser(current);

    // The first reset that succeeds makes the remaining reset attempts
    // pointless: go straight on to the RS-485 record.
    if (type == E_RestoreDefaults) {
        while (!parsers.isEmpty() && parsers.first()->type() != E_SetRs485)
            dropParser(parsers.takeFirst());
    }

    qCDebug(lcExchange) << "Remove Parser";
    startNext();
}

void Exchange::slTimeout()
{
    auto *current = qobject_cast<Parser *>(sender());
    if (!stillFirst(current))
        return;

    // A partial answer ends with the transaction's time.
    reportUnexpected(unclaimed.size());
    QPointer<Parser> timedOut = current;
    const TypeParser type = current->type();
    const QByteArray request = current->request();
    bool abandoned = false;
    if (type != E_Test || !current->isDone())
        emit sgNoAnswer(type, current->request());
    if (!stillFirst(timedOut))
        return;
    switch (Catalogue::command(type).onTimeout) {
    case TimeoutAction::Prompt: {
        qCDebug(lcExchange) << "slTimeout" << "sgError" << request;
        const quint32 clearingsBefore = clearings;
        emit sgError(request);
        // The port was lost while the prompt was open: the queue is gone,
        // and nothing was completed.
        if (!port->isOpen())
            return;
        abandoned = clearings != clearingsBefore;
        break;
    }
    case TimeoutAction::Judge: {
        qCDebug(lcExchange) << "slTimeout";
        const bool reported = !std::exchange(testUnreported, false);
        if (reported && current->isDone())
            emit sgOk(quint8(parsers.size()), E_Test, request);
        else if (reported)
            emit sgTimeOut(quint8(parsers.size()), E_Test, request);
        if (!stillFirst(timedOut))
            return;
        ++testIndex;
        if (testIndex >= testAdreses.size())
            testIndex = 0;
        if (testStopping) {
            clearParsers();
            return;
        }
        current->setRequest(getTestRequest(testIndex));
        current->setAnswer(testAnswer(testIndex));
        qCDebug(lcExchange) << "Start parser";
        current->start();
        return;
    }
    case TimeoutAction::Skip:
        break;
    }

    if (parsers.isEmpty()) {
        if (abandoned)
            endSequence(SequenceEnd::Abandoned, request);
        else
            endSequence(SequenceEnd::Completed);
        return;
    }
    // The failure prompt runs a nested event loop in which a late answer may
    // already have ended the timed-out transaction and started the next one.
    // Only the timed-out transaction itself is removed, and only if it is
    // still queued; otherwise the queue is already running on its own.
    const int index = timedOut ? parsers.indexOf(timedOut.data()) : -1;
    if (index < 0)
        return;
    parsers.removeAt(index);
    dropParser(timedOut);
    if (parsers.isEmpty()) {
        endSequence(SequenceEnd::Completed);
        return;
    }
    if (index == 0) {
        qCDebug(lcExchange) << "Start next parser";
        start(false);
    }
}

ParserParam Exchange::getParserParam(TypeParser type, const QString &value) const
{
    ParserParam param;
    param.type = type;
    param.answer = QByteArrayLiteral("OK\r");
    param.mask = QByteArrayLiteral("111");
    param.repeats = 2;
    param.interval = 1000;
    if (!Catalogue::contains(type))
        return param;

    const Command &command = Catalogue::command(type);
    param.repeats = command.repeats;
    param.interval = command.interval;
    param.keepAfterAnswer = command.keepAfterAnswer;
    if (type == E_Test) {
        param.request = getTestRequest(testIndex);
        param.answer = testAnswer(testIndex);
        // As long as the template even for an address whose character takes
        // two bytes in UTF-8.
        param.mask = QByteArray(param.answer.size(), '1');
        return param;
    }

    if (type == E_SetSerialTimeout)
        // The debug log records the serial timeout written with this line.
        qCDebug(lcExchange) << "inParam" << value;
    const QString request = QString::fromLatin1(command.request);
    param.request = (request.contains(QLatin1String("%1")) ? request.arg(value) : request).toUtf8();
    param.answer = QByteArray(command.answer);
    param.mask = QByteArray(command.mask);
    return param;
}

bool Exchange::openPort(const QString &portName)
{
    qCDebug(lcExchange) << "openPort" << portName;
    port->setPortName(SerialPortName(portName).location());
    port->setBaudRate(QSerialPort::Baud9600, QSerialPort::AllDirections);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);

    if (port->isOpen()) {
        closePort();
        return false;
    }
    if (!port->open(QIODevice::ReadWrite)) {
        qCDebug(lcExchange) << "openPort" << "failed" << port->errorString();
        return false;
    }
    openedName = portName;
    emit sgPortOpened(portName);
    addParser(E_GetVersion, QString());
    GetAllSettings();
    return true;
}

void Exchange::closePort()
{
    if (!port->isOpen())
        return;
    port->close();
    clearParsers();
    emit sgPortClosed(openedName, QString());
}

Parser *Exchange::findTestPoll() const
{
    const auto poll = std::find_if(parsers.cbegin(), parsers.cend(),
                                   [](const Parser *parser) { return parser->type() == E_Test; });
    return poll == parsers.cend() ? nullptr : *poll;
}
