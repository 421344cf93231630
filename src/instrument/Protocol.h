#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace qern {

// Takes one sample ("D0000") and returns its raw count: characters 3 to 5 of
// the reply as hexadecimal, 0 when missing or unparsable. A "Z0001" reply
// (probe module out of function) raises the tray warning, and the next good
// reply takes it down again.
quint16 ReadSample();

// Plays sound n of the sound table on the instrument's beeper, each tone
// waiting for its own reply; 0 and unknown numbers play nothing.
void PlaySound(int sound);
QStringList SoundCommands(int sound);

// "R" + register + "00"; the value is characters 4 and 5 of the reply.
QString RegisterReadCommand(int reg);
// "W" + register + the value in hex, zero-filled to two digits, first two used.
QString RegisterWriteCommand(int reg, int value);
// "G00" + the gain (0..255) as two hex digits.
QString GainCommand(int gain);

// Sends the read command and returns characters 4 and 5 of the reply, as
// many of them as arrived.
QString ReadRegisterText(int reg);

// Unsigned hexadecimal, trimmed; nullopt when empty or not hex.
std::optional<quint32> ParseHex(const QString& text);

inline const QString ProbeFaultText = QStringLiteral("C.P.D.M. out of function\uFF01Please check..");

} // namespace qern
