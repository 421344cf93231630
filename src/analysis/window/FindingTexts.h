#pragma once

#include "analysis/Findings.h"
#include "records/Database.h"
#include "shell/OneBased.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace qern {

struct AnalysisResult;

// The reference texts of one ZEMTDB row, deciphered.
struct ReferenceTexts {
    OneBased<QString, 3> MA; // DtMA1..DtMA3
    OneBased<QString, 5> MH; // DtMH1..DtMH5
    OneBased<QString, 5> ML; // DtML1..DtML5
};

struct ReferenceLookup {
    std::optional<ReferenceTexts> Texts; // none when the table has no such row
    QString Error;                       // the database's message when the lookup failed
};
ReferenceLookup ReadReferenceTexts(QSqlDatabase db, int code);

// What picking an entry writes into the list's detail areas, as lines:
// Primary is the analysis list's "Detailed Explanation" (or the only area of
// the dietary and protocol-tab lists), Secondary its "Ryodoraku Analysis".
struct FindingDetail {
    QStringList Primary;
    QStringList Secondary;
};
inline const QString NoReferenceText = QStringLiteral("No reference text is stored for this entry.");
// `texts` absent: the reference database holds no row for the code.
FindingDetail ComposeFinding(FindingListKind list, int code, const AnalysisResult& result,
                             const std::optional<ReferenceTexts>& texts);

} // namespace qern
