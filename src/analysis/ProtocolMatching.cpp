#include "ProtocolMatching.h"

#include "Analysis.h"

#include "shell/DayCount.h"

#include <cmath>

namespace qern {

namespace {

// Items 6..17 in display order: the meridian each tests.
constexpr int ItemMeridians[12] = {1, 6, 2, 5, 3, 4, 7, 12, 8, 11, 9, 10};
// Items 18..22: Wood, Fire (both), Earth, Metal, Water.
constexpr int ItemElements[5] = {Wood, Fire, Earth, Metal, Water};

// Codes 1..3 of an item that reads one class: below 0, above 0, either.
bool classTest(int code, int cls)
{
    switch (code) {
    case 1:
        return cls < 0;
    case 2:
        return cls > 0;
    case 3:
        return cls != 0;
    default:
        return false;
    }
}

// Codes 1..3 of an item with one option: any deviation.
bool atypicalTest(int code, int cls) { return code >= 1 && code <= 3 && cls != 0; }

} // namespace

DecodedCondition DecodeCondition(const ConditionRecord& record)
{
    DecodedCondition decoded;
    const QString cond = record.ProCond.trimmed();
    const QString required = record.ProAnd.trimmed();
    for (int i = 1; i <= ConditionItemCount; ++i) {
        const QChar c = i <= cond.size() ? cond[i - 1] : QLatin1Char('0');
        decoded.Code[i] = c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c.unicode() - '0' : 0;
        decoded.Required[i] = i <= required.size() && required[i - 1] == QLatin1Char('1');
    }
    return decoded;
}

int MatchingAge(const QDate& today, double birthDate) { return today.year() - FromDayCount(birthDate).date().year(); }

bool ItemTest(int item, int code, bool required, const ConditionRecord& record, const MatchSubject& subject)
{
    const AnalysisResult& r = subject.Result;
    if (item <= 22 && code == 0) {
        // A normal state, asked for only by a required item.
        if (!required)
            return false;
        if (item == 1)
            return r.EnergyClass == 0;
        if (item == 2)
            return r.UpDownClass == 0;
        if (item == 3)
            return r.LeftRightClass == 0;
        if (item == 4)
            return r.YinYangClass == 0;
        if (item == 5)
            return r.NervousClass == 0;
        if (item <= 17) {
            const int m = ItemMeridians[item - 6];
            return r.PointClass[PointOf(m, Side::Left)] == 0 && r.PointClass[PointOf(m, Side::Right)] == 0;
        }
        return r.ElementClass[ItemElements[item - 18]] == 0;
    }

    switch (item) {
    case 1: {
        const double energy = std::trunc(r.BodyEnergy);
        switch (code) {
        case 4:
            return energy == record.ProEng;
        case 5:
            return energy > record.ProEng;
        case 6:
            return energy < record.ProEng;
        default:
            return classTest(code, r.EnergyClass);
        }
    }
    case 2:
        return classTest(code, r.UpDownClass);
    case 3:
        return atypicalTest(code, r.LeftRightClass);
    case 4:
        // The first option is yin excess.
        return classTest(code == 1 ? 2 : code == 2 ? 1 : code, r.YinYangClass);
    case 5:
        return atypicalTest(code, r.NervousClass);
    case 23:
        switch (code) {
        case 1:
            return subject.Age >= record.ProAGL;
        case 2:
            return subject.Age <= record.ProAGH;
        case 3:
            return record.ProAGL <= subject.Age && subject.Age <= record.ProAGH;
        default:
            return false;
        }
    case 24:
        return (code == 1 && subject.Male) || (code == 2 && !subject.Male);
    default:
        break;
    }
    if (item >= 6 && item <= 17) {
        const int m = ItemMeridians[item - 6];
        const int left = r.PointClass[PointOf(m, Side::Left)];
        const int right = r.PointClass[PointOf(m, Side::Right)];
        switch (code) {
        case 1:
            return left < 0 && right < 0;
        case 2:
            return left > 0 && right > 0;
        case 3:
            return left != 0 || right != 0;
        default:
            return false;
        }
    }
    if (item >= 18 && item <= 22)
        return classTest(code, r.ElementClass[ItemElements[item - 18]]);
    return false;
}

bool ConditionHolds(const ConditionRecord& record, const MatchSubject& subject)
{
    const DecodedCondition d = DecodeCondition(record);
    bool holds = false;
    for (int i = 1; i <= 22; ++i) {
        const bool t = ItemTest(i, d.Code[i], d.Required[i], record, subject);
        if (d.Required[i] && !t)
            return false;
        if (t)
            holds = true;
    }
    if (subject.Age != 0) {
        const bool t = ItemTest(23, d.Code[23], false, record, subject);
        if (d.Code[23] != 0 && !t)
            return false;
        if (t)
            holds = true;
    }
    const bool t = ItemTest(24, d.Code[24], false, record, subject);
    if (d.Code[24] != 0 && !t)
        return false;
    return holds || t;
}

bool ProtocolSuggested(const ProtocolRecord& protocol, const MatchSubject& subject)
{
    bool suggested = false;
    for (const ConditionRecord& record : protocol.Records) {
        const bool holds = ConditionHolds(record, subject);
        if (record.ProFlg && !holds)
            return false;
        if (holds)
            suggested = true;
    }
    return suggested;
}

QList<ProtocolRecord> MatchProtocols(const QList<ProtocolRecord>& protocols, const MatchSubject& subject)
{
    QList<ProtocolRecord> suggested;
    for (const ProtocolRecord& protocol : protocols)
        if (ProtocolSuggested(protocol, subject))
            suggested.append(protocol);
    return suggested;
}

} // namespace qern
