#include "RecordOps.h"

#include "Records.h"

#include "shell/DayCount.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <initializer_list>

namespace qern {

namespace {

// Rolls back unless committed.
class Transaction {
public:
    explicit Transaction(QSqlDatabase db) : db_(db)
    {
        if (!db_.transaction())
            error_ = DatabaseError(db_.lastError());
    }
    ~Transaction()
    {
        if (error_.isEmpty() && !committed_)
            db_.rollback();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool Started() const { return error_.isEmpty(); }
    DbResult Failure() const { return DbResult::Failure(error_); }
    DbResult Commit()
    {
        if (!db_.commit()) {
            const QString error = DatabaseError(db_.lastError());
            db_.rollback();
            committed_ = true;
            return DbResult::Failure(error);
        }
        committed_ = true;
        return {};
    }

private:
    QSqlDatabase db_;
    QString error_;
    bool committed_ = false;
};

DbResult run(QSqlDatabase db, const QString& statement, std::initializer_list<QVariant> values)
{
    QSqlQuery q(db);
    if (!q.prepare(statement))
        return DbResult::Failure(DatabaseError(q.lastError()));
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec())
        return DbResult::Failure(DatabaseError(q.lastError()));
    return {};
}

double storedBirthDate(double birthDate) { return DateEntered(birthDate) ? birthDate : 0.0; }

} // namespace

QSqlDatabase MainDatabase()
{
    QSqlDatabase db = Database(DbRole::Main);
    if (db.isValid() && !db.isOpen())
        db.open();
    return db;
}

std::optional<Patient> PatientByKey(QSqlDatabase db, qint64 key)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT * FROM ZeCust WHERE MKEY = ?"));
    q.addBindValue(key);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return PatientFromRecord(q.record());
}

std::optional<PatientHolder> OtherPatientWithNumber(QSqlDatabase db, const QString& number, qint64 exceptKey)
{
    QSqlQuery q(db);
    // CustNo compares without regard to case (the column's collation).
    q.prepare(QStringLiteral("SELECT MKEY, Name FROM ZeCust WHERE CustNo = ? AND MKEY <> ? ORDER BY MKEY LIMIT 1"));
    q.addBindValue(CleanText(number));
    q.addBindValue(exceptKey);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return PatientHolder{q.value(0).toLongLong(), q.value(1).toString().trimmed()};
}

DbResult UpdatePatient(QSqlDatabase db, qint64 key, const Patient& p, const QString& oldNumber)
{
    const QString number = CleanText(p.Number);
    const QString old = CleanText(oldNumber);
    Transaction transaction(db);
    if (!transaction.Started())
        return transaction.Failure();
    DbResult result = run(db,
                          QStringLiteral("UPDATE ZeCust SET CustNo = ?, Name = ?, Sex = ?, DBirth = ?, Addr = ?, "
                                         "Tel = ?, Tel2 = ?, Tel3 = ?, EMail = ?, Memo = ? WHERE MKEY = ?"),
                          {number, CleanText(p.Name), p.Male ? 1 : 0, storedBirthDate(p.BirthDate),
                           CleanText(p.Address), CleanText(p.Telephone), CleanText(p.Mobile), CleanText(p.Fax),
                           CleanText(p.EMail), p.Memo, key});
    if (!result.Ok)
        return result;
    if (number != old) {
        result = run(db, QStringLiteral("UPDATE ZeData SET CustNo = ? WHERE CustNo = ?"), {number, old});
        if (!result.Ok)
            return result;
    }
    return transaction.Commit();
}

AddedPatient AddPatient(QSqlDatabase db, const Patient& patient)
{
    AddedPatient added;
    Transaction transaction(db);
    if (!transaction.Started()) {
        added.Result = transaction.Failure();
        return added;
    }
    Patient p = patient;
    p.LatestMeasurement = 0;
    added.Result = InsertPatient(db, p);
    if (!added.Result.Ok)
        return added;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT last_insert_rowid()")) || !q.next()) {
        added.Result = DbResult::Failure(DatabaseError(q.lastError()));
        return added;
    }
    added.Key = q.value(0).toLongLong();
    added.Result = transaction.Commit();
    if (!added.Result.Ok)
        added.Key = 0;
    return added;
}

DbResult DeletePatientWithMeasurements(QSqlDatabase db, qint64 key, const QString& number)
{
    Transaction transaction(db);
    if (!transaction.Started())
        return transaction.Failure();
    DbResult result = run(db, QStringLiteral("DELETE FROM ZeData WHERE CustNo = ?"), {CleanText(number)});
    if (!result.Ok)
        return result;
    result = run(db, QStringLiteral("DELETE FROM ZeCust WHERE MKEY = ?"), {key});
    if (!result.Ok)
        return result;
    return transaction.Commit();
}

namespace {
DbResult setLatest(QSqlDatabase db, qint64 patientKey, const QString& number)
{
    return run(db,
               QStringLiteral("UPDATE ZeCust SET PreMea = COALESCE((SELECT MAX(ZeDate) FROM ZeData WHERE CustNo = ?), "
                              "0) WHERE MKEY = ?"),
               {CleanText(number), patientKey});
}
} // namespace

DbResult SetLatestMeasurement(QSqlDatabase db, qint64 patientKey, const QString& number)
{
    return setLatest(db, patientKey, number);
}

DbResult DeleteMeasurement(QSqlDatabase db, qint64 measurementKey, qint64 patientKey, const QString& number)
{
    Transaction transaction(db);
    if (!transaction.Started())
        return transaction.Failure();
    if (measurementKey != 0) {
        const DbResult result = run(db, QStringLiteral("DELETE FROM ZeData WHERE MKEY = ?"), {measurementKey});
        if (!result.Ok)
            return result;
    }
    const DbResult result = setLatest(db, patientKey, number);
    if (!result.Ok)
        return result;
    return transaction.Commit();
}

SavedMeasurement SaveMeasurement(QSqlDatabase db, qint64 patientKey, const QString& number, const Measurement& m)
{
    SavedMeasurement saved;
    Transaction transaction(db);
    if (!transaction.Started()) {
        saved.Result = transaction.Failure();
        return saved;
    }
    QString error;
    const std::optional<qint64> key = InsertMeasurement(db, number, m, &error);
    if (!key) {
        saved.Result = DbResult::Failure(error);
        return saved;
    }
    saved.Result =
        patientKey != 0
            ? run(db,
                  QStringLiteral("UPDATE ZeCust SET PreMea = ? WHERE MKEY = ? AND (PreMea IS NULL OR PreMea < ?)"),
                  {m.DateTime, patientKey, m.DateTime})
            : RaiseLatestMeasurement(db, number, m.DateTime);
    if (!saved.Result.Ok)
        return saved;
    saved.Result = transaction.Commit();
    if (saved.Result.Ok)
        saved.Key = *key;
    return saved;
}

} // namespace qern
