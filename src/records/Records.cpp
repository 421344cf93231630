#include "Records.h"

#include "shell/DayCount.h"

#include <QLocale>
#include <QSqlError>
#include <QVariant>

namespace qern {

namespace {

constexpr int StdPiece = 5;

// Jet-era number texts may carry a decimal comma.
double parseNumber(const QString& text)
{
    QString t = text.trimmed();
    if (!t.contains(QLatin1Char('.')))
        t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = QLocale::c().toDouble(t, &ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

QString text(const QSqlRecord& r, const char* column) { return r.value(QLatin1String(column)).toString(); }
double number(const QSqlRecord& r, const char* column) { return r.value(QLatin1String(column)).toDouble(); }
bool flag(const QSqlRecord& r, const char* column) { return r.value(QLatin1String(column)).toInt() != 0; }

} // namespace

QString EncodeStd(const PointValues& quality)
{
    QString text;
    for (double q : quality)
        text += QString::asprintf("%3.1f", q).rightJustified(StdPiece, QLatin1Char(' '));
    return text;
}

PointValues DecodeStd(const QString& text)
{
    PointValues quality;
    for (int k = 1; k <= PointCount; ++k)
        quality[k] = parseNumber(text.mid((k - 1) * StdPiece, StdPiece));
    return quality;
}

QString JoinMemo(const QStringList& lines) { return lines.join(QStringLiteral("\r\n")); }

QStringList SplitMemo(const QString& text)
{
    if (text.isEmpty())
        return {};
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t.split(QLatin1Char('\n'));
}

QString CleanText(const QString& text) { return text.trimmed(); }

Patient PatientFromRecord(const QSqlRecord& r)
{
    Patient p;
    p.Number = text(r, "CustNo");
    p.Name = text(r, "Name");
    p.Male = flag(r, "Sex");
    p.BirthDate = number(r, "DBirth");
    p.Address = text(r, "Addr");
    p.Telephone = text(r, "Tel");
    p.Mobile = text(r, "Tel2");
    p.Fax = text(r, "Tel3");
    p.EMail = text(r, "EMail");
    p.Memo = text(r, "Memo");
    p.LatestMeasurement = number(r, "PreMea");
    return p;
}

Measurement MeasurementFromRecord(const QSqlRecord& r)
{
    Measurement m;
    m.DateTime = number(r, "ZeDate");
    m.HighPotential = flag(r, "ZeVota");
    for (int k = 1; k <= PointCount; ++k)
        m.Raw[k] = r.value(QStringLiteral("Ze%1").arg(k)).toDouble();
    m.Quality = DecodeStd(text(r, "STD"));
    m.Memo = SplitMemo(text(r, "Memo1"));
    m.StoredMeasurementKey = r.value(QStringLiteral("MKEY")).toLongLong();
    return m;
}

QString MeasurementPatient(const QSqlRecord& r) { return text(r, "CustNo"); }

std::optional<Patient> FindPatient(QSqlDatabase db, const QString& number)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT * FROM ZeCust WHERE CustNo = ? ORDER BY MKEY LIMIT 1"));
    q.addBindValue(CleanText(number));
    if (!q.exec() || !q.next())
        return std::nullopt;
    return PatientFromRecord(q.record());
}

QSqlQuery PatientMeasurements(QSqlDatabase db, const QString& number)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT * FROM ZeData WHERE CustNo = ? ORDER BY ZeDate DESC"));
    q.addBindValue(CleanText(number));
    q.exec();
    return q;
}

DbResult InsertPatient(QSqlDatabase db, const Patient& p)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO ZeCust (CustNo, Name, Sex, DBirth, Addr, Tel, Tel2, Tel3, EMail, Memo, "
                             "PreMea) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QVariant& v : {QVariant(CleanText(p.Number)), QVariant(CleanText(p.Name)), QVariant(p.Male ? 1 : 0),
                              QVariant(DateEntered(p.BirthDate) ? p.BirthDate : 0.0), QVariant(CleanText(p.Address)),
                              QVariant(CleanText(p.Telephone)), QVariant(CleanText(p.Mobile)),
                              QVariant(CleanText(p.Fax)), QVariant(CleanText(p.EMail)), QVariant(p.Memo),
                              QVariant(p.LatestMeasurement)})
        q.addBindValue(v);
    if (!q.exec())
        return DbResult::Failure(DatabaseError(q.lastError()));
    return {};
}

std::optional<qint64> InsertMeasurement(QSqlDatabase db, const QString& number, const Measurement& m, QString* error)
{
    QStringList columns{QStringLiteral("CustNo"), QStringLiteral("ZeDate"), QStringLiteral("ZeVota"),
                        QStringLiteral("Memo1"), QStringLiteral("STD")};
    for (int k = 1; k <= PointCount; ++k)
        columns.append(QStringLiteral("Ze%1").arg(k));
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO ZeData (%1) VALUES (%2)")
                  .arg(columns.join(QStringLiteral(", ")),
                       QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))));
    q.addBindValue(CleanText(number));
    q.addBindValue(m.DateTime);
    q.addBindValue(m.HighPotential ? 1 : 0);
    q.addBindValue(JoinMemo(m.Memo));
    q.addBindValue(EncodeStd(m.Quality));
    for (double v : m.Raw)
        q.addBindValue(v);
    if (!q.exec()) {
        if (error)
            *error = DatabaseError(q.lastError());
        return std::nullopt;
    }
    return q.lastInsertId().toLongLong();
}

DbResult RaiseLatestMeasurement(QSqlDatabase db, const QString& number, double date)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("UPDATE ZeCust SET PreMea = ? WHERE CustNo = ? AND (PreMea IS NULL OR PreMea < ?)"));
    q.addBindValue(date);
    q.addBindValue(CleanText(number));
    q.addBindValue(date);
    if (!q.exec())
        return DbResult::Failure(DatabaseError(q.lastError()));
    return {};
}

DbResult RecomputeLatestMeasurement(QSqlDatabase db, const QString& number)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("UPDATE ZeCust SET PreMea = COALESCE((SELECT MAX(ZeDate) FROM ZeData WHERE "
                             "ZeData.CustNo = ZeCust.CustNo), 0) WHERE CustNo = ?"));
    q.addBindValue(CleanText(number));
    if (!q.exec())
        return DbResult::Failure(DatabaseError(q.lastError()));
    return {};
}

DbResult RecomputeAllLatestMeasurements(QSqlDatabase db, const std::function<void(int, int)>& progress)
{
    QSqlQuery count(QStringLiteral("SELECT COUNT(*) FROM ZeCust"), db);
    const int n = count.next() ? count.value(0).toInt() : 0;
    QSqlQuery patients(db);
    patients.setForwardOnly(true);
    if (!patients.exec(QStringLiteral("SELECT MKEY, CustNo FROM ZeCust ORDER BY MKEY")))
        return DbResult::Failure(DatabaseError(patients.lastError()));
    QSqlQuery latest(db);
    latest.prepare(QStringLiteral("SELECT MAX(ZeDate) FROM ZeData WHERE CustNo = ?"));
    QSqlQuery update(db);
    update.prepare(QStringLiteral("UPDATE ZeCust SET PreMea = ? WHERE MKEY = ?"));
    int done = 0;
    while (patients.next()) {
        if (progress)
            progress(done, n);
        latest.addBindValue(patients.value(1));
        if (!latest.exec())
            return DbResult::Failure(DatabaseError(latest.lastError()));
        const double date = latest.next() ? latest.value(0).toDouble() : 0.0;
        update.addBindValue(date);
        update.addBindValue(patients.value(0));
        if (!update.exec())
            return DbResult::Failure(DatabaseError(update.lastError()));
        ++done;
    }
    if (progress)
        progress(done, n);
    return {};
}

} // namespace qern
