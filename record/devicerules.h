#pragma once

#include <QByteArray>
#include <QChar>

// Rules of the device that more than one layer applies: how an address
// travels on the line, and the shortest serial timeout a serial data rate
// allows.
namespace DeviceRules {

// An address (0 to 63 on the panels) travels as the one character whose code
// is 48 plus the address, kept to a byte: "0" for 0, "o" for 63.
QChar addressChar(quint8 address);
// The inverse: the address an address character stands for.
quint8 addressOf(char addressChar);

// The radio test's poll of an address, and the answer that confirms it.
QByteArray pollRequest(quint8 address);
QByteArray pollAnswer(quint8 address);

// The lowest serial timeout the device handles at a serial data rate index
// (0 = 1200 bps ... 7 = 115200 bps); an index above 7 gives 3.
int serialTimeoutFloor(quint8 serialRate);

} // namespace DeviceRules
