#pragma once

#include <QtGlobal>

#include <optional>

namespace qern {

// The instrument's register bank: identity 00..05, measurement counter 06..08,
// full-scale counts 09..0A (high) and 0B..0C (normal) on instruments that keep
// their own calibration, calibration range values 0D..10.

// At every arrival: InstrumentIdentity, and with DeviceCalibration the two
// device full-scale counts (4060 when a read fails; 4060 both without it).
void ReadIdentityAndCalibration();

// The counter, or nullopt when a register did not answer with two hex digits.
std::optional<quint32> ReadMeasurementCounter();
// Adds one analysed measurement to the counter. A counter that could not be
// read is left alone rather than overwritten.
void IncrementMeasurementCounter();

struct RangeValues {
    int CrgH = 30; // 0D
    int CrgL = 29; // 0E
    int MrgH = 30; // 0F
    int MrgL = 29; // 10
    bool operator==(const RangeValues&) const = default;
};
RangeValues ReadRangeValues();
void WriteRangeValues(const RangeValues& values);

} // namespace qern
