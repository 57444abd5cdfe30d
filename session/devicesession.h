#pragma once

#include "exchange.h"
#include "pollstatistics.h"
#include "settingstable.h"
#include "typeparser.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>

#include <memory>

class Data;
class TrafficLog;

// One device on one port: the sequences the operator or a script runs
// ("Connect", "READ", "WRITE", "DEFAULT" and the radio test) over the
// exchange, with every answer applied to the settings record by the settings
// table's rules. Beside the record it keeps what the device last reported.
// It needs no widget: the window shows what it reports, a script prints it.
class DeviceSession : public QObject
{
    Q_OBJECT

public:
    enum class Sequence { Idle, Connect, Read, Write, FactoryDefaults, RadioTest };
    Q_ENUM(Sequence)
    // How a sequence ended: its queue ran out, it was abandoned, or the line
    // was lost under it.
    using SequenceEnd = Exchange::SequenceEnd;
    // Each polled address with its counts, in the order first polled.
    using Tally = QList<QPair<int, PollStatistics>>;

    // The record belongs to the caller and outlives the session.
    DeviceSession(QObject *parent, Data *record);
    ~DeviceSession() override;

    Data *record() const { return data; }
    bool isOpen() const;
    // Every byte sent and received goes to `log` from now on.
    void logTraffic(TrafficLog *log) const;
    // The system's words for the port's latest error, and the operator's
    // message for a connectDevice of `portName` that failed.
    QString portErrorString() const;
    QString openFailureText(const QString &portName) const;

    // Opens the port at the device's line settings and reads the version and
    // every setting. False when the port cannot be opened; the exchange's
    // serial port then holds the reason.
    bool connectDevice(const QString &portName);
    void closePort();
    // Reads every setting again; the requests follow whatever is queued.
    void readAll();
    // Writes the record, then reads everything back.
    void write();
    // Puts the factory settings into the record, then resets the device to
    // them, writes them and reads everything back.
    void restoreDefaults();
    void startRadioTest(const QByteArray &addresses);
    void stopRadioTest();
    // The next radio test starts again from the first address, and the
    // tally starts afresh.
    void clearRadioTest();
    // A radio-test poll is queued, running, or having its last second.
    bool isTesting() const { return engine->isTesting(); }
    // Drops the running sequence and whatever is queued behind it, as a
    // failure prompt's "No" does.
    void abandon();

    // A request the failure prompt is asked about ends the sequence at once,
    // as the prompt's "No" does, and sgError is not emitted: for a script,
    // which asks no one.
    void setAbandonOnFailure(bool on) { abandonOnFailure = on; }
    // The setting a request reads or writes ("ATS202=4\r" and "ATS202?\r"
    // are "Power"); null for a request that carries no setting.
    static const SettingsTable::Setting *settingOfRequest(const QByteArray &request);
    // What a request asks, in the window's words: "the read of "Power"",
    // "the write of "Power"", "the read of the RS-485 settings", "the request
    // for the radio module's version"; another request as its text, in
    // quotes, without its control characters.
    static QString requestText(const QByteArray &request);
    // The request as it was sent, less its carriage return and any other
    // control character a title or a message would show as a box.
    static QString withoutControls(const QByteArray &request);

    // Applies the fields of a device answer to the record and reports it
    // with sgAnswerApplied. A new radio data rate moves a channel its plan
    // lacks to the first; the device's own channel read next follows.
    void applyAnswer(TypeParser type, const QList<QByteArray> &param);

    // What the device last reported for each setting it reported, by setting
    // name; emptied when the port closes.
    const QMap<QString, quint8> &deviceValues() const { return lastReported; }
    // The settings the device reported since the previous call, by name.
    QMap<QString, quint8> takeReported();
    // The settings that the last "Connect", "READ", "WRITE" or "DEFAULT" to
    // end did not read, by name: what deviceValues() holds for them is older,
    // or nothing.
    const QStringList &notRead() const { return unread; }
    // Whether the device answered any request of the running or the last
    // sequence.
    bool heardDevice() const { return heard; }

    // A setting whose value in a record shows otherwise than the device's.
    struct Difference
    {
        const SettingsTable::Setting *setting;
        // The setting's value in the record and on the device, as the
        // window shows them.
        QString recordText;
        QString deviceText;
    };
    // The settings the device has reported and read in the last sequence
    // whose value in `record` the window would show otherwise, in the
    // window's order. After "WRITE" these are the settings the device did
    // not take.
    QList<Difference> differences(const Data &record) const;
    // "Label: wrote X, device holds Y" for each of those differences.
    QStringList notHeld(const Data &written) const;
    // The texts of the version answers; empty until they arrive.
    QString radioModule() const { return module; }
    QString firmware() const { return firmwareText; }
    QString hardware() const { return hardwareText; }
    QString moduleFirmware() const { return moduleFirmwareText; }
    // The sequence running now, Idle when the queue is idle.
    Sequence running() const { return current; }
    // The requests of the running or the last sequence that got no answer,
    // the silent ones included.
    QList<QByteArray> unanswered() const;
    // Of those, the requests that read a setting or a version.
    QList<QByteArray> unansweredReads() const;
    // The settings the device reported in the last sequence to end with
    // values the record's rules do not allow: they are kept as the device
    // reported them, so that "WRITE" gives back what the device had.
    const QList<const SettingsTable::Setting *> &keptAsReported() const { return kept; }
    // What the last "WRITE" or "DEFAULT" wrote, once it has run to its end
    // and read everything back; null otherwise, and from the next sequence
    // on.
    const Data *written() const { return writtenRecord.get(); }
    // Each address the radio test polled since it was first started or
    // cleaned, with its counts.
    const Tally &tally() const { return polls; }
    // The settings whose write requests the running or the last "WRITE" or
    // "DEFAULT" has sent, in the window's order.
    QList<const SettingsTable::Setting *> sentWrites() const;

signals:
    // The answer's settings are in the record, and in deviceValues().
    void sgAnswerApplied(TypeParser type, QList<QByteArray> param);
    // A request got no answer and the sequence waits for the decision:
    // abandon() it, or return to go on.
    void sgError(QByteArray request);
    // At the end of a sequence that read the device, the record holds what
    // its rules allow, and keptAsReported() what they do not.
    void sgSequenceEnded(DeviceSession::Sequence sequence, Exchange::SequenceEnd end, QByteArray failedRequest);
    void sgProgress(quint8 percent);
    // The open port failed for good; it is closed and the queue dropped.
    void sgPortLost(QString reason);
    // A request went out, with the number of transactions queued; a
    // radio-test poll of `address` was judged: answered within its second,
    // `roundTripMs` after it was sent (-1 when not known), or not.
    void sgRequest(quint8 countParsers, TypeParser typeParser, QByteArray request);
    void sgPollJudged(quint8 address, bool answered, int roundTripMs);

private:
    void begin(Sequence sequence);
    void forgetDevice();
    void judgeAnswers();
    void keepWritten();
    void judgePoll(const QByteArray &request, bool answered);

    Data *data;
    Exchange *engine;
    Sequence current = Sequence::Idle;
    bool abandonOnFailure = false;
    QMap<QString, quint8> lastReported;
    QMap<QString, quint8> reported;
    // The settings the running sequence has read, for notRead() once it ends.
    QStringList readNow;
    QStringList unread;
    bool heard = false;
    QList<QPair<TypeParser, QByteArray>> missed;
    QList<QByteArray> writesSent;
    QList<const SettingsTable::Setting *> kept;
    std::unique_ptr<Data> writtenRecord;
    Tally polls;
    // The round trip of a poll's answer, until the poll is judged.
    QHash<QByteArray, int> roundTrips;
    QString module;
    QString firmwareText;
    QString hardwareText;
    QString moduleFirmwareText;
};
