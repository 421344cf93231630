#pragma once

#include "shell/OneBased.h"

#include <QDate>
#include <QList>
#include <QString>

namespace qern {

struct AnalysisResult;

inline constexpr int ConditionItemCount = 24;

// One condition record of a protocol (a ZePrDt row).
struct ConditionRecord {
    QString ProCond; // 24 code digits, one per item
    QString ProAnd;  // 24 "0"/"1": item i required
    bool ProFlg = false; // "MUST"
    double ProEng = 0;   // body energy compared by item 1, codes 4..6
    double ProAGL = 0;   // age limits of item 23 (whole years)
    double ProAGH = 0;
};

// A protocol with its condition records in table order.
struct ProtocolRecord {
    QString Name;
    qint64 Key = 0;
    QList<ConditionRecord> Records;
};

// The codes and required flags of a record. The texts are trimmed; an empty
// text, a missing or a non-digit character reads as 0 / not required.
struct DecodedCondition {
    OneBased<int, ConditionItemCount> Code;
    OneBased<bool, ConditionItemCount> Required;
};
DecodedCondition DecodeCondition(const ConditionRecord& record);

// What a record is matched against: the analysis, the patient and the age for
// matching.
struct MatchSubject {
    const AnalysisResult& Result;
    bool Male = true;
    int Age = 0; // MatchingAge
};

// Calendar years from the birth date to today; a birth date of 0 is in 1899.
int MatchingAge(const QDate& today, double birthDate);

// The item test t(i) for code `code` of item i (1..24).
bool ItemTest(int item, int code, bool required, const ConditionRecord& record, const MatchSubject& subject);

// Every required item true, items 23 and 24 binding whenever their code is
// not 0, and at least one item true.
bool ConditionHolds(const ConditionRecord& record, const MatchSubject& subject);

// At least one record holds and no "MUST" record before it (in table order)
// fails; a protocol without records is never suggested.
bool ProtocolSuggested(const ProtocolRecord& protocol, const MatchSubject& subject);

// The suggested protocols of a set, in the set's order.
QList<ProtocolRecord> MatchProtocols(const QList<ProtocolRecord>& protocols, const MatchSubject& subject);

} // namespace qern
