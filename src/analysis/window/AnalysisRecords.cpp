#include "AnalysisRecords.h"

#include "records/Records.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace qern {

namespace {
QString failure(const QSqlQuery& q) { return DatabaseError(q.lastError()); }
} // namespace

HistoryRows LoadHistoryRows(QSqlDatabase db, const QString& patientNumber)
{
    HistoryRows result;
    QStringList values;
    for (int k = 1; k <= PointCount; ++k)
        values.append(QStringLiteral("Ze%1").arg(k));
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT MKEY, ZeDate, %1 FROM ZeData WHERE CustNo = ? ORDER BY ZeDate DESC, MKEY DESC")
                  .arg(values.join(QStringLiteral(", "))));
    q.addBindValue(CleanText(patientNumber));
    if (!q.exec()) {
        result.Error = failure(q);
        return result;
    }
    while (q.next()) {
        HistoryRow row;
        row.Key = q.value(0).toLongLong();
        row.Date = q.value(1).toDouble();
        row.Complete = true;
        for (int k = 1; k <= PointCount; ++k)
            if (!(q.value(1 + k).toDouble() > 0))
                row.Complete = false;
        result.Rows.append(row);
    }
    return result;
}

QString HistoryNumber(int position, bool complete)
{
    return (complete ? QString() : QStringLiteral("*")) + QString::number(position);
}

StoredMeasurement ReadHistoryMeasurement(QSqlDatabase db, qint64 key)
{
    StoredMeasurement result;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT * FROM ZeData WHERE MKEY = ?"));
    q.addBindValue(key);
    if (!q.exec()) {
        result.Error = failure(q);
        return result;
    }
    if (q.next())
        result.Found = MeasurementFromRecord(q.record());
    return result;
}

DbResult WriteHistoryMemo(QSqlDatabase db, qint64 key, const QString& memo)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("UPDATE ZeData SET Memo1 = ? WHERE MKEY = ?"));
    q.addBindValue(memo);
    q.addBindValue(key);
    if (!q.exec())
        return DbResult::Failure(failure(q));
    if (q.numRowsAffected() < 1)
        return DbResult::Failure(QStringLiteral("The stored measurement no longer exists."));
    return {};
}

ProtocolSet LoadProtocolSet(QSqlDatabase db)
{
    ProtocolSet set;
    QSqlQuery protocols(db);
    protocols.setForwardOnly(true);
    if (!protocols.exec(QStringLiteral("SELECT MKEY, ProNo, ProName FROM ZePro ORDER BY ProNo, MKEY"))) {
        set.Error = failure(protocols);
        return set;
    }
    QSqlQuery conditions(db);
    conditions.prepare(QStringLiteral(
        "SELECT ProCond, ProAnd, ProFlg, ProEng, ProAGL, ProAGH FROM ZePrDt WHERE ProNo = ? ORDER BY MKEY"));
    while (protocols.next()) {
        ProtocolRecord protocol;
        protocol.Key = protocols.value(0).toLongLong();
        protocol.Name = protocols.value(2).toString();
        conditions.addBindValue(protocols.value(1).toString());
        if (!conditions.exec()) {
            set.Error = failure(conditions);
            set.Protocols.clear();
            return set;
        }
        while (conditions.next()) {
            ConditionRecord record;
            record.ProCond = conditions.value(0).toString();
            record.ProAnd = conditions.value(1).toString();
            record.ProFlg = conditions.value(2).toInt() != 0;
            record.ProEng = conditions.value(3).toDouble();
            record.ProAGL = conditions.value(4).toDouble();
            record.ProAGH = conditions.value(5).toDouble();
            protocol.Records.append(record);
        }
        set.Protocols.append(protocol);
    }
    return set;
}

UserProtocolLookup ReadUserProtocol(QSqlDatabase db, qint64 key)
{
    UserProtocolLookup result;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT * FROM ZePro WHERE MKEY = ?"));
    q.addBindValue(key);
    if (!q.exec()) {
        result.Error = failure(q);
        return result;
    }
    if (!q.next())
        return result;
    UserProtocolView view;
    view.Data = q.value(QStringLiteral("ProData")).toString();
    view.Picture = q.value(QStringLiteral("ProPict")).toByteArray();
    view.NaturalSize = q.value(QStringLiteral("ProScal")).toInt() != 0;
    view.Keys = q.value(QStringLiteral("ProFN")).toString();
    for (int k = 1; k <= 4; ++k) {
        view.Hint[k] = q.value(QStringLiteral("ProScrp%1").arg(k)).toString();
        view.Program[k] = q.value(QStringLiteral("ProPrg%1").arg(k)).toString();
        view.Parameter[k] = q.value(QStringLiteral("ProParm%1").arg(k)).toString();
    }
    result.Found = view;
    return result;
}

bool FunctionKeyEnabled(const QString& keys, int k) { return keys.size() >= k && keys[k - 1] == QLatin1Char('1'); }

ReferenceProtocolLookup ReadReferenceProtocol(QSqlDatabase db, qint64 key)
{
    ReferenceProtocolLookup result;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT ProData, ProMed1, ProMed2, ProHel1, ProHel5 FROM ZePro WHERE MKEY = ?"));
    q.addBindValue(key);
    if (!q.exec()) {
        result.Error = failure(q);
        return result;
    }
    if (q.next())
        result.Found = ReferenceProtocolView{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                                             q.value(3).toString(), q.value(4).toString()};
    return result;
}

} // namespace qern
