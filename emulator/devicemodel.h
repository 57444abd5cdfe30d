#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QRandomGenerator>

// What the radio modem holds and how it answers, without any I/O: the radio
// module's S-registers and command mode, and the controller's RS-485 record,
// versions, link rate, test mode and the remote stations that answer test
// polls. answer() takes one complete request and returns the bytes the device
// sends back; an empty result means the device stays silent.
class DeviceModel
{
public:
    // The controller's RS-485 record, the eight fields of "$0" and "$1" in
    // their order on the wire.
    struct Rs485Record
    {
        quint8 testAddress = 0;        // sent as the character 48 + address
        int serialDataRate = 4;        // spd, the rate index
        int firstDelay = 0;            // d1
        int delayTxRx = 0;             // d2
        int parity = 0;                // par
        int radioTransmitReset = 50;   // res
        int wdtReset = 6;              // wdt
        int stopBit = 0;               // bit

        bool operator==(const Rs485Record &other) const;
        bool operator!=(const Rs485Record &other) const { return !(*this == other); }
    };

    enum Register {
        Chanel = 200,
        RadioDataRate = 201,
        Power = 202,
        SubBand = 206,
        SerialDataRate = 210,
        SerialTimeout = 214,
        FlowControl = 216,
    };

    DeviceModel();

    QByteArray answer(const QByteArray &request);

    // The registers the module knows, in increasing order.
    static QList<int> registers();
    static int factoryValue(int reg);
    bool hasSRegister(int reg) const;
    // -1 for a register the module does not know.
    int sRegister(int reg) const;
    // Stores any value, also one the module would refuse over the line, so a
    // test can make the device report what it likes. Unknown registers are
    // ignored.
    void setSRegister(int reg, int value);
    // What "ATR\r" does: every register back to its factory value.
    void restoreFactoryValues();
    // Registers that answer a write over the line with "OK" but keep the
    // value they hold: a module whose write does not stick.
    QList<int> stuckRegisters() const;
    void setStuckRegisters(const QList<int> &regs);

    bool isCommandMode() const;
    void setCommandMode(bool on);
    bool isTestMode() const;
    void setTestMode(bool on);

    Rs485Record rs485() const;
    void setRs485(const Rs485Record &record);
    // The record in the form "$0" carries it: "0,4,000,000,0,050,006,0".
    QByteArray rs485Text() const;
    // Takes a record in that form; false (record unchanged) when malformed.
    bool setRs485Text(const QByteArray &text);

    int linkRate() const;
    void setLinkRate(int rate);

    QByteArray firmware() const;
    void setFirmware(const QByteArray &firmware);
    QByteArray hardware() const;
    void setHardware(const QByteArray &hardware);
    QByteArray moduleVersion() const;
    void setModuleVersion(const QByteArray &version);

    // Remote addresses (0..63, one byte each) that answer test polls.
    QByteArray presentAddresses() const;
    void setPresentAddresses(const QByteArray &addresses);
    // Share of test polls to present addresses that go unanswered, 0..100,
    // drawn from a generator with a fixed seed so that a run repeats.
    int lossPercent() const;
    void setLossPercent(int percent);
    void setRandomSeed(quint32 seed);

private:
    QByteArray answerAt(const QByteArray &request);
    QByteArray answerRegister(const QByteArray &request);
    QByteArray answerTestPoll(char addressChar);

    QMap<int, int> sRegisters;
    QList<int> stuck;
    bool commandMode = false;
    bool testMode = false;
    Rs485Record record;
    int link = 5;
    QByteArray firmwareVersion = "2.3";
    QByteArray hardwareRevision = "B";
    QByteArray module = "LE50-868 v1.2";
    QByteArray present;
    int loss = 0;
    QRandomGenerator random{1};
};
