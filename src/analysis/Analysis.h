#pragma once

#include "shell/MeridianModel.h"
#include "shell/OneBased.h"

#include <QString>

namespace qern {

// The measurement under analysis: the analysis window's own copy, from the
// measurement in hand or from a stored row.
struct AnalysedMeasurement {
    OneBased<double, PointCount> RawValues;
    OneBased<double, PointCount> Values; // compensated; filled by the analysis
    OneBased<double, PointCount> QualityValues;
    double DateTime = 0; // day count of the measurement
    bool HighPotential = false; // shown only; enters no computation
    qint64 StoredKey = 0;
    bool Male = true;
    double BirthDate = 0; // day count; 0 when not entered
};

inline constexpr int GroupCount = 8;
inline constexpr int CoupleCount = 12;
inline constexpr int ElementCount = 7;

// Everything derived from one measurement. Classes: positive excess, negative
// deficiency, 0 normal.
struct AnalysisResult {
    double BodyEnergy = 0;
    double QualityAverage = 0;
    bool EnergyLow = false;
    OneBased<double, GroupCount> GroupAverage;
    double YinAverage = 0;
    double YangAverage = 0;
    double UpAverage = 0;
    double DownAverage = 0;
    double LeftAverage = 0;
    double RightAverage = 0;
    double HighGroup = 0;
    double LowGroup = 200;
    double BandFactor = 0;
    double UpperLimit1 = 0;
    double UpperLimit2 = 0;
    double LowerLimit1 = 0;
    double LowerLimit2 = 0;
    double DiffLimit1 = 0;
    double DiffLimit2 = 0;
    OneBased<double, PointCount> Values; // the compensated values analysed
    OneBased<double, PointCount> Deviation;
    OneBased<int, PointCount> PointClass;
    OneBased<int, MeridianCount> MeridianClass;
    OneBased<int, MeridianCount> SideClass;
    OneBased<double, CoupleCount> CoupleAverage;
    OneBased<int, CoupleCount> CoupleClass;
    OneBased<int, CoupleCount> CoupleDiffClass;
    OneBased<double, ElementCount> ElementAverage;
    OneBased<int, ElementCount> ElementClass;
    int EnergyClass = 0;
    int UpDownClass = 0;
    int LeftRightClass = 0;
    int YinYangClass = 0;
    int NervousClass = 0;
    double IntegratedIndex = 0;
    OneBased<double, PointCount> PointScore;
    double MeridiansIndex = 0;
    QString EnergyStatement;
    QString MentalStatement;
    QString SkeletalStatement;
    QString MetabolismStatement;
    QString NervousStatement;
};

// The yin-yang couples: (yin point, yang point) of a meridian and its partner
// on the same limb and side, in the order the qi-blood chart and the index use.
struct Couple {
    int Yin;
    int Yang;
};
inline constexpr OneBased<Couple, CoupleCount> CoupleTable{{14, 17}, {3, 4},  {2, 5},  {13, 18}, {1, 6},  {15, 16},
                                                           {20, 23}, {9, 10}, {8, 11}, {19, 24}, {7, 12}, {21, 22}};

// Element groups: 1 Wood, 2 Mo.Fire, 3 Mi.Fire, 4 Earth, 5 Metal, 6 Water, 7 Fire (both).
enum Element { Wood = 1, HeartFire = 2, PericardiumFire = 3, Earth = 4, Metal = 5, Water = 6, Fire = 7 };

// The three class scales against the limits of a result.
int FourLevelClass(double deviation, const AnalysisResult& limits);
int ThreeLevelClass(double deviation, const AnalysisResult& limits);
int DifferenceClass(double difference, const AnalysisResult& limits);

// A ratio of two averages; a zero denominator reads as balanced over 0 and
// otherwise as an unbounded imbalance.
double Ratio(double numerator, double denominator);

// The overall ladders.
int EnergyClassOf(double bodyEnergy, bool male);
int UpDownClassOf(double ratio, bool male);
int LeftRightClassOf(double ratio);
int YinYangClassOf(double ratio);
int NervousClassOf(double ratio);

// The normal ranges shown beside the overall values.
QString EnergyRangeText(bool male);
QString UpDownRangeText(bool male);
inline const QString LeftRightRangeText = QStringLiteral("(0.88-1.14)");
inline const QString YinYangRangeText = QStringLiteral("(0.82-1.24)");
inline const QString NervousRangeText = QStringLiteral("(1.0-1.5)");

// Age in years for the integrated index: (measurement - birth) / 365, or 40
// without a birth date.
double AnalysisAge(double measuredAt, double birthDate);
// The age's reference body energy, 6 % lower for a woman.
double ReferenceEnergy(double age, bool male);

// The whole analysis of one measurement with the given coefficients: a pure
// function of its inputs.
AnalysisResult Analyse(const AnalysedMeasurement& measurement, const Coefficients& coefficients);

// The analysis as the window runs it: with the coefficients in force; the
// compensated values also go into the compensated values of the measurement
// in hand, where the diagrams and the report read them.
void AnalyseMeasurement(AnalysedMeasurement& measurement, AnalysisResult& result);

} // namespace qern
