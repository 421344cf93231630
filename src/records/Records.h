#pragma once

#include "Database.h"

#include "shell/Measurement.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace qern {

// The 24 quality values as stored in STD: "%3.1f" padded on the left to five
// characters each. Reading takes five characters per point; a piece that is
// not a number, and a missing or empty text, read as 0.
QString EncodeStd(const PointValues& quality);
PointValues DecodeStd(const QString& text);

// Memo1: the memo lines joined with CR LF.
QString JoinMemo(const QStringList& lines);
QStringList SplitMemo(const QString& text);

// Patient numbers and the other texts the user types are stored trimmed.
QString CleanText(const QString& text);

// A ZeCust row <-> a patient; a ZeData row <-> a measurement (the
// compensated values are not stored; the stored key is MKEY).
Patient PatientFromRecord(const QSqlRecord& record);
Measurement MeasurementFromRecord(const QSqlRecord& record);
QString MeasurementPatient(const QSqlRecord& record); // its CustNo

// Lookups and statements of the main database. Every value is a bound
// parameter; patient numbers compare trimmed and without regard to case.
std::optional<Patient> FindPatient(QSqlDatabase db, const QString& number);
// A patient's measurements, newest first.
QSqlQuery PatientMeasurements(QSqlDatabase db, const QString& number);
// Appends a patient; fails on a database error.
DbResult InsertPatient(QSqlDatabase db, const Patient& patient);
// Appends a measurement of a patient and returns its new MKEY.
std::optional<qint64> InsertMeasurement(QSqlDatabase db, const QString& number, const Measurement& measurement,
                                        QString* error = nullptr);

// PreMea: the date of the patient's newest measurement, 0 without one.
// Raise: after a save, when the new date is later. Recompute: from the
// measurements that remain.
DbResult RaiseLatestMeasurement(QSqlDatabase db, const QString& number, double date);
DbResult RecomputeLatestMeasurement(QSqlDatabase db, const QString& number);
// Every patient at once; `progress` gets (done, count).
DbResult RecomputeAllLatestMeasurements(QSqlDatabase db, const std::function<void(int, int)>& progress = {});

} // namespace qern
