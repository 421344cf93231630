#include "Registers.h"

#include "InstrumentLink.h"
#include "Protocol.h"

#include "shell/AppState.h"

#include <QRegularExpression>

namespace qern {

namespace {

constexpr int DefaultDeviceFullScale = 4060;

// Registers read in turn and joined, most significant first. Every register
// must give exactly two hex digits: a missing reply in the middle would
// otherwise shift the digits into a wrong, plausible-looking number.
std::optional<quint32> readJoined(std::initializer_list<int> registers)
{
    static const QRegularExpression twoHex(QStringLiteral("^[0-9A-Fa-f]{2}$"));
    QString digits;
    bool complete = true;
    for (int reg : registers) {
        const QString part = ReadRegisterText(reg);
        complete = complete && twoHex.match(part).hasMatch();
        digits += part;
    }
    if (!complete)
        return std::nullopt;
    return ParseHex(digits);
}

} // namespace

void ReadIdentityAndCalibration()
{
    AppState& state = appState();
    QString identity;
    for (int reg = 0x00; reg <= 0x05; ++reg)
        identity += ReadRegisterText(reg);
    state.InstrumentIdentity = identity;

    if (state.DeviceCalibration) {
        state.DeviceFullScaleNormal = int(readJoined({0x0B, 0x0C}).value_or(DefaultDeviceFullScale));
        state.DeviceFullScaleHigh = int(readJoined({0x09, 0x0A}).value_or(DefaultDeviceFullScale));
    } else {
        state.DeviceFullScaleNormal = DefaultDeviceFullScale;
        state.DeviceFullScaleHigh = DefaultDeviceFullScale;
    }
}

std::optional<quint32> ReadMeasurementCounter() { return readJoined({0x06, 0x07, 0x08}); }

void IncrementMeasurementCounter()
{
    const std::optional<quint32> counter = ReadMeasurementCounter();
    if (!counter)
        return;
    const quint32 next = (*counter + 1) & 0xFFFFFF;
    SendCommand(RegisterWriteCommand(0x06, int(next >> 16)));
    SendCommand(RegisterWriteCommand(0x07, int((next >> 8) & 0xFF)));
    SendCommand(RegisterWriteCommand(0x08, int(next & 0xFF)));
}

RangeValues ReadRangeValues()
{
    const auto one = [](int reg, int fallback) {
        return int(ParseHex(ReadRegisterText(reg)).value_or(quint32(fallback)));
    };
    RangeValues values;
    values.CrgH = one(0x0D, 30);
    values.CrgL = one(0x0E, 29);
    values.MrgH = one(0x0F, 30);
    values.MrgL = one(0x10, 29);
    return values;
}

void WriteRangeValues(const RangeValues& values)
{
    SendCommand(RegisterWriteCommand(0x0D, values.CrgH));
    SendCommand(RegisterWriteCommand(0x0E, values.CrgL));
    SendCommand(RegisterWriteCommand(0x0F, values.MrgH));
    SendCommand(RegisterWriteCommand(0x10, values.MrgL));
}

} // namespace qern
