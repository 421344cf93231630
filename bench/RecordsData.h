#pragma once

// A large main database of invented patients and measurements, for the
// records benchmarks.

#include "records/Database.h"

#include <QString>
#include <QStringList>

namespace qern::bench {

struct RecordsDataSize {
    int Patients = 100000;
    int Measurements = 1000000;
    quint32 Seed = 1;
};

struct GeneratedRecords {
    DbResult Result;
    double Seconds = 0;
    QStringList Numbers;     // patient numbers as stored, by MKEY
    QString BusiestNumber;   // the patient with the most measurements
    int BusiestCount = 0;
};

// Creates `path` (which must not exist) with the main layout and fills it in
// one transaction.
GeneratedRecords GenerateMainDatabase(const QString& path, const RecordsDataSize& size);

// The same text with the case of every letter swapped.
QString SwappedCase(const QString& text);

} // namespace qern::bench
