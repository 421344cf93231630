#pragma once

#include "MeridianModel.h"
#include "OneBased.h"

#include <QStringList>

namespace qern {

using PointValues = OneBased<double, PointCount>;

// One measurement: 24 values by point index. Its stored form is a ZeData row.
struct Measurement {
    PointValues Raw;         // uA; 0 = point not measured
    PointValues Compensated; // raw x meridian factor; recomputed, never stored
    PointValues Quality;     // 100 - standard deviation of the last 20 samples
    double DateTime = 0;     // days since 30 December 1899, time as the fraction
    bool HighPotential = false;
    QStringList Memo;                  // stored joined with CR LF
    qint64 StoredMeasurementKey = 0;   // MKEY of the stored row, 0 when not stored
};

// One patient: its stored form is a ZeCust row.
struct Patient {
    QString Number; // 1..15 characters, unique without regard to case
    QString Name;
    bool Male = true;
    double BirthDate = 0; // day count; 4000 or less counts as not entered
    QString Address;
    QString Telephone;
    QString Mobile;
    QString Fax;
    QString EMail;
    QString Memo;
    double LatestMeasurement = 0; // day count of the newest stored measurement
};

} // namespace qern
