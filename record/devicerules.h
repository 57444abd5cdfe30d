#pragma once

#include <QByteArray>
#include <QChar>

class Data;

// Rules of the device that more than one layer applies: how an address
// travels on the line, the shortest serial timeout a serial data rate allows,
// the serial rates a radio data rate sustains and the factory settings.
class DeviceRules
{
public:
    // The serial data rate index the factory RS-485 record sets (19200 bps).
    static constexpr quint8 factorySerialRate = 4;
    // The radio module of every device; the version answer does not name it.
    static constexpr char radioModule[] = "LE50-868";

    // An address (0 to 63 on the panels) travels as the one character whose code
    // is 48 plus the address, kept to a byte: "0" for 0, "o" for 63.
    static QChar addressChar(quint8 address);
    // The inverse: the address an address character stands for.
    static quint8 addressOf(char addressChar);

    // The radio test's poll of an address, and the answer that confirms it.
    static QByteArray pollRequest(quint8 address);
    static QByteArray pollAnswer(quint8 address);
    // The address a poll request polls; -1 for any other request.
    static int polledAddress(const QByteArray &request);

    // The lowest serial timeout the device handles at a serial data rate index
    // (0 = 1200 bps ... 7 = 115200 bps); an index above 7 gives 3.
    static int serialTimeoutFloor(quint8 serialRate);

    // The highest serial data rate index that a radio data rate index (0 = 4800
    // bps ... 4 = 115200 bps) carries without falling behind; 0 beyond index 4.
    static int highestSustainedRate(quint8 radioRate);

    // Puts the factory settings into the record: every setting but the serial
    // data rate, which the factory-default sequence sets on the line itself
    // (factorySerialRate), and the port name.
    static void setFactorySettings(Data &data);
};
