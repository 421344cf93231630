#pragma once

// The record changes of the save, recall and patient editor windows. Each
// change that writes more than one row runs in one transaction, and every
// value is a bound parameter.

#include "Database.h"

#include "shell/Measurement.h"

#include <QSqlDatabase>
#include <QString>

#include <optional>

namespace qern {

// The main connection, opened again when it was closed.
QSqlDatabase MainDatabase();

// A patient row by its MKEY.
std::optional<Patient> PatientByKey(QSqlDatabase db, qint64 key);

// Another patient (not row `exceptKey`) whose number equals `number`, letter
// case ignored: its MKEY and trimmed name.
struct PatientHolder {
    qint64 Key = 0;
    QString Name;
};
std::optional<PatientHolder> OtherPatientWithNumber(QSqlDatabase db, const QString& number, qint64 exceptKey = 0);

// Writes the editor's fields (number, name, sex, birth date, address, the
// three telephones, e-mail, memo) into row `key`. When the trimmed number
// differs from `oldNumber`, every measurement under the old number moves to
// the new one in the same transaction.
DbResult UpdatePatient(QSqlDatabase db, qint64 key, const Patient& patient, const QString& oldNumber);

// Appends a patient and returns its MKEY.
struct AddedPatient {
    DbResult Result;
    qint64 Key = 0;
};
AddedPatient AddPatient(QSqlDatabase db, const Patient& patient);

// Deletes the patient's measurements, then the patient row.
DbResult DeletePatientWithMeasurements(QSqlDatabase db, qint64 key, const QString& number);

// PreMea of row `patientKey`: the newest ZeDate under `number`, 0 without any.
DbResult SetLatestMeasurement(QSqlDatabase db, qint64 patientKey, const QString& number);
// Deletes a measurement (when `measurementKey` is not 0) and sets the
// patient's PreMea from the measurements that remain.
DbResult DeleteMeasurement(QSqlDatabase db, qint64 measurementKey, qint64 patientKey, const QString& number);

// Appends the measurement under `number` and raises PreMea of row
// `patientKey` (of every row with that number when 0) when the new date is
// later. Returns the new MKEY.
struct SavedMeasurement {
    DbResult Result;
    qint64 Key = 0;
};
SavedMeasurement SaveMeasurement(QSqlDatabase db, qint64 patientKey, const QString& number,
                                 const Measurement& measurement);

} // namespace qern
