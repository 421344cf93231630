#pragma once

#include "analysis/ProtocolMatching.h"
#include "records/Database.h"
#include "shell/Measurement.h"
#include "shell/OneBased.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace qern {

// The records the analysis window reads and writes. Every value is bound.

// A patient's stored measurements, newest first.
struct HistoryRow {
    qint64 Key = 0;
    double Date = 0;
    bool Complete = false; // every one of Ze1..Ze24 above 0
};
struct HistoryRows {
    QList<HistoryRow> Rows;
    QString Error;
};
HistoryRows LoadHistoryRows(QSqlDatabase db, const QString& patientNumber);
// "No": the 1-based position, "*" in front for an incomplete measurement.
QString HistoryNumber(int position, bool complete);

struct StoredMeasurement {
    std::optional<Measurement> Found;
    QString Error;
};
StoredMeasurement ReadHistoryMeasurement(QSqlDatabase db, qint64 key);
// Sets Memo1 of the row; a row that no longer exists is an error too.
DbResult WriteHistoryMemo(QSqlDatabase db, qint64 key, const QString& memo);

// A protocol set (ZePro in the order of ZeProB, with the ZePrDt rows of each
// protocol in table order).
struct ProtocolSet {
    QList<ProtocolRecord> Protocols;
    QString Error;
};
ProtocolSet LoadProtocolSet(QSqlDatabase db);

// What the "Applications" page shows of a user protocol.
struct UserProtocolView {
    QString Data;
    QByteArray Picture;
    bool NaturalSize = false; // ProScal
    QString Keys;             // ProFN
    OneBased<QString, 4> Hint;
    OneBased<QString, 4> Program;
    OneBased<QString, 4> Parameter;
};
struct UserProtocolLookup {
    std::optional<UserProtocolView> Found;
    QString Error;
};
UserProtocolLookup ReadUserProtocol(QSqlDatabase db, qint64 key);
// Function key k (1..4) is enabled by character k of ProFN being "1".
bool FunctionKeyEnabled(const QString& keys, int k);

// The therapy texts of a supplied protocol.
struct ReferenceProtocolView {
    QString Data;
    QString Med1;
    QString Med2;
    QString Hel1;
    QString Hel5;
};
struct ReferenceProtocolLookup {
    std::optional<ReferenceProtocolView> Found;
    QString Error;
};
ReferenceProtocolLookup ReadReferenceProtocol(QSqlDatabase db, qint64 key);

} // namespace qern
