#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class DeviceModel;
class QSocketNotifier;
class QTimer;
class RequestFramer;

// Plays the radio modem on the far side of a pseudo-terminal: a real
// QSerialPort opened on portName() talks to it as to the device. Requests are
// framed from the received bytes, logged, answered by the DeviceModel and
// subject to the faults a test asks for.
class Emulator : public QObject
{
    Q_OBJECT

public:
    // A fault applies to the requests that begin with `match` (every request
    // when empty), for the next `times` of them (-1: for every one). Of the
    // faults added, the first that matches a request applies to it. The device
    // still acts on the request; only what goes back is changed: hangUp wins
    // over silent, silent over the rest, and noise, replaceWith, splitInto and
    // delayMs combine (a replacement is sent even where the device itself
    // would stay silent).
    struct Fault
    {
        QByteArray match;
        int times = -1;
        bool silent = false;       // no answer at all
        int delayMs = 0;           // the answer is written this much later
        int splitInto = 1;         // the answer is written in this many pieces
        QByteArray noise;          // bytes written before the answer
        QByteArray replaceWith;    // written instead of the answer when not empty
        bool hangUp = false;       // the line is hung up instead of answering
    };

    // Time of one byte at 9600 baud 8N1 (ten bits).
    static constexpr qint64 byteTimeNs = 1041667;
    // Pause between the pieces of a split answer, long enough for the reader
    // to see them as separate reads.
    static constexpr int splitGapMs = 10;

    explicit Emulator(QObject *parent = nullptr);
    ~Emulator() override;

    // Creates the pseudo-terminal; false (with a reason) when it cannot.
    bool open(QString *error = nullptr);
    bool isOpen() const;
    // Path of the serial side, for QSerialPort::setPortName.
    QString portName() const;

    DeviceModel *device() const;

    // Every complete request received, in order, with its bytes.
    QList<QByteArray> requests() const;
    void clearRequests();

    void addFault(const Fault &fault);
    void clearFaults();

    // Wire-speed pacing at 9600 baud 8N1: about 1.04 ms per byte received and
    // per byte sent.
    void setPacing(bool on);
    bool pacing() const;

    // Closes the line: the program's port sees the device vanish.
    void hangUp();

signals:
    void requestReceived(const QByteArray &request);
    // Once per request, with the bytes decided on for it: noise and answer,
    // or the replacement; empty when the device stays silent or hangs up.
    void answered(const QByteArray &request, const QByteArray &bytes);

private:
    // Bytes due at a moment on the emulator's clock.
    struct Chunk
    {
        qint64 dueNs = 0;
        QByteArray bytes;
        bool hangUp = false;
    };

    qint64 now() const;
    void readMaster();
    void receive(const QByteArray &bytes);
    void frame(const QByteArray &bytes);
    void handleRequest(const QByteArray &request);
    bool takeFault(const QByteArray &request, Fault *fault);
    void scheduleAnswer(const QByteArray &request, const QByteArray &answer);
    void enqueue(QList<Chunk> *queue, const Chunk &chunk);
    void runDue();
    void rearm();
    void send(const QByteArray &bytes);
    void flushUnwritten();
    void closeLine();

    std::unique_ptr<DeviceModel> model;
    std::unique_ptr<RequestFramer> framer;
    int masterFd = -1;
    int slaveFd = -1;
    QString slavePath;
    QSocketNotifier *readNotifier = nullptr;
    QSocketNotifier *writeNotifier = nullptr;
    QTimer *timer = nullptr;
    QElapsedTimer clock;
    QList<QByteArray> log;
    QList<Fault> faults;
    bool paced = false;
    // Received bytes not yet over the wire (paced), answers waiting for their
    // time, and paced answer bytes in transmission, each ordered by due time.
    QList<Chunk> incoming;
    QList<Chunk> outgoing;
    QList<Chunk> onWire;
    qint64 rxFreeNs = 0;
    qint64 txFreeNs = 0;
    // What the pseudo-terminal did not take yet; sent before anything else.
    QByteArray unwritten;
};
