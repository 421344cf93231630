#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace qern {

struct AnalysisResult;

// The statement of each overall class (classes outside the table give an
// empty text).
QString EnergyStatementOf(int energyClass);
QString MentalStatementOf(int upDownClass);
QString SkeletalStatementOf(int leftRightClass);
QString MetabolismStatementOf(int yinYangClass);
QString NervousStatementOf(int nervousClass);

// Finding codes: 1..12 a meridian, 13..17 the overall findings. The code is
// also the key of the finding's reference row.
inline constexpr int FirstOverallCode = 13;
inline constexpr int LastOverallCode = 17;
inline constexpr int OverallCount = 5;
QString FindingText(int code);
// The overall class a code 13..17 stands for.
int OverallClass(const AnalysisResult& result, int code);

// Meridian m (1..12) by the classes of its two points.
bool Atypical(const AnalysisResult& result, int m);            // both points off the band
bool AtypicalOneWay(const AnalysisResult& result, int m);      // both high or both low
bool BothHigh(const AnalysisResult& result, int m);
bool BothLow(const AnalysisResult& result, int m);

struct FindingList {
    QStringList Texts;
    QList<int> Codes; // the code at each position
};

// The analysis list (the five overall findings, then the atypical
// meridians) and the dietary list (the atypical meridians).
struct FindingLists {
    FindingList Analysis;
    FindingList Dietary;
};
FindingLists BuildFindingLists(const AnalysisResult& result);
// The meridians atypical in one direction.
FindingList BuildProtocolTabList(const AnalysisResult& result);

// Picking an entry picks the corresponding entries of the other two lists:
// analysis position i (from 5 on) <-> dietary i - 5 <-> protocol-tab i - 5.
// A position a list does not have is left out.
enum class FindingListKind { Analysis, Dietary, ProtocolTab };
struct ListsInStep {
    std::optional<int> Analysis;
    std::optional<int> Dietary;
    std::optional<int> ProtocolTab;
};
ListsInStep KeepListsInStep(FindingListKind touched, int position, int analysisSize, int dietarySize,
                            int protocolTabSize);

inline const QString LowEnergyWarning =
    QStringLiteral("Due to low body energy, beware of possible complications in body functions and meridians.");

} // namespace qern
