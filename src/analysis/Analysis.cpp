#include "Analysis.h"

#include "Findings.h"

#include "shell/AppState.h"

#include <cmath>
#include <limits>

namespace qern {

namespace {

// The points whose classes reduce a point's score in the cross-coupling:
// a the same meridian's other side (the stomach points their own), c the
// couple (the left limb's for yin points, the right limb's for yang points),
// q the coupled meridian, b the coupled point on the same side.
struct CrossTerms {
    int a, c, q, b;
};
const OneBased<CrossTerms, PointCount>& crossTable()
{
    static const OneBased<CrossTerms, PointCount> table = [] {
        OneBased<CrossTerms, PointCount> t;
        t[1] = {7, 5, 6, 6};
        t[7] = {1, 5, 6, 12};
        t[6] = {12, 11, 1, 1};
        t[12] = {6, 11, 1, 7};
        t[2] = {8, 3, 5, 5};
        t[8] = {2, 3, 5, 11};
        t[5] = {11, 9, 2, 2};
        t[11] = {5, 9, 2, 8};
        t[3] = {9, 2, 4, 4};
        t[9] = {3, 2, 4, 10};
        t[4] = {10, 8, 3, 3};
        t[10] = {4, 8, 3, 9};
        t[13] = {19, 4, 12, 18};
        t[19] = {13, 4, 12, 24};
        t[18] = {18, 10, 7, 13};
        t[24] = {24, 10, 7, 19};
        t[14] = {20, 1, 11, 17};
        t[20] = {14, 1, 11, 23};
        t[17] = {23, 7, 8, 14};
        t[23] = {17, 7, 8, 20};
        t[15] = {21, 6, 10, 16};
        t[21] = {15, 6, 10, 22};
        t[16] = {22, 12, 9, 15};
        t[22] = {16, 12, 9, 21};
        return t;
    }();
    return table;
}

constexpr int CrossOrder[PointCount] = {1, 7, 6, 12, 2, 8, 5, 11, 3, 9, 4, 10, 13, 19, 18, 24, 14, 20, 17, 23, 15, 21, 16, 22};

int ladder(double x, const double (&bounds)[6])
{
    for (int i = 0; i < 6; ++i)
        if (x < bounds[i])
            return i - 3;
    return 3;
}

double meridianMean(const AnalysisResult& r, int m)
{
    return (r.Values[PointOf(m, Side::Left)] + r.Values[PointOf(m, Side::Right)]) / 2;
}

} // namespace

// A ratio of two averages. The averages of a complete measurement are
// positive; a zero denominator (only when values of 0 or less reach the
// analysis) reads as balanced when the numerator is 0 too, and otherwise as an
// unbounded imbalance, which every ladder puts in its outermost class.
double Ratio(double numerator, double denominator)
{
    if (denominator != 0)
        return numerator / denominator;
    if (numerator == 0)
        return 1.0;
    return numerator > 0 ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
}

int FourLevelClass(double x, const AnalysisResult& r)
{
    if (x >= 0) {
        if (x < r.UpperLimit1)
            return 0;
        if (x < r.UpperLimit2)
            return 1;
        if (x < r.UpperLimit1 + r.UpperLimit2)
            return 2;
        return 3;
    }
    const double a = std::fabs(x);
    if (a < r.LowerLimit1)
        return 0;
    if (a < r.LowerLimit2)
        return -1;
    if (a < r.LowerLimit1 + r.LowerLimit2)
        return -2;
    return -3;
}

int ThreeLevelClass(double x, const AnalysisResult& r)
{
    if (x >= 0)
        return x < r.UpperLimit1 ? 0 : x < r.UpperLimit2 ? 1 : 2;
    const double a = std::fabs(x);
    return a < r.LowerLimit1 ? 0 : a < r.LowerLimit2 ? -1 : -2;
}

int DifferenceClass(double x, const AnalysisResult& r)
{
    const double a = std::fabs(x);
    const int size = a < r.DiffLimit1 ? 0 : a < r.DiffLimit2 ? 1 : 2;
    return x < 0 ? -size : size;
}

int EnergyClassOf(double bodyEnergy, bool male)
{
    static const double men[6] = {19, 28, 30, 65, 70, 75};
    static const double women[6] = {18, 24, 28, 62, 67, 72};
    return ladder(bodyEnergy, male ? men : women);
}

int UpDownClassOf(double r, bool male)
{
    static const double men[6] = {0.73, 0.83, 0.88, 1.2, 1.3, 1.4};
    static const double women[6] = {0.65, 0.75, 0.78, 1.1, 1.15, 1.25};
    return ladder(r, male ? men : women);
}

int LeftRightClassOf(double r)
{
    static const double bounds[6] = {0.68, 0.78, 0.88, 1.15, 1.25, 1.35};
    return ladder(r, bounds);
}

int YinYangClassOf(double r)
{
    static const double bounds[6] = {0.62, 0.72, 0.82, 1.25, 1.35, 1.45};
    return ladder(r, bounds);
}

int NervousClassOf(double r)
{
    if (r <= 1.5)
        return 0;
    if (r <= 1.8)
        return 1;
    if (r <= 2.0)
        return 2;
    return 3;
}

QString EnergyRangeText(bool male) { return male ? QStringLiteral("(30 - 64)") : QStringLiteral("(28 - 61)"); }
QString UpDownRangeText(bool male) { return male ? QStringLiteral("(0.88-1.19)") : QStringLiteral("(0.78-1.09)"); }

double AnalysisAge(double measuredAt, double birthDate)
{
    return birthDate > 0 ? (measuredAt - birthDate) / 365 : 40.0;
}

double ReferenceEnergy(double age, bool male)
{
    double reference = age <= 20   ? 75
                       : age <= 30 ? 68
                       : age <= 35 ? 63
                       : age <= 40 ? 58
                       : age <= 45 ? 53
                       : age <= 50 ? 48
                       : age <= 55 ? 43
                       : age <= 60 ? 40
                       : age <= 65 ? 36
                                   : 32;
    if (!male)
        reference = reference - reference * 0.06;
    return reference;
}

AnalysisResult Analyse(const AnalysedMeasurement& in, const Coefficients& coefficients)
{
    AnalysisResult r;

    // 1-2. Compensated values, body energy and quality in position order.
    double energySum = 0;
    double qualitySum = 0;
    for (int p = 1; p <= PointCount; ++p) {
        const int k = PositionToPoint(p);
        r.Values[k] = in.RawValues[k] * coefficients[PositionToMeridian(p)];
        energySum += in.RawValues[k];
        qualitySum += in.QualityValues[k];
    }
    r.BodyEnergy = energySum / 24;
    r.QualityAverage = qualitySum / 24;
    r.EnergyLow = r.BodyEnergy <= 12;
    const OneBased<double, PointCount>& v = r.Values;
    const double be = r.BodyEnergy;

    // 3. Groups, band and limits.
    for (int g = 1; g <= GroupCount; ++g)
        r.GroupAverage[g] = (v[3 * g - 2] + v[3 * g - 1] + v[3 * g]) / 3;
    r.BandFactor = (be - 10) * 0.0084375 + 0.6625;
    r.UpperLimit1 = 11.5 * r.BandFactor;
    r.UpperLimit2 = 21 * r.BandFactor;
    r.LowerLimit1 = 10.5 * r.BandFactor;
    r.LowerLimit2 = 20 * r.BandFactor;
    r.DiffLimit1 = r.UpperLimit1 + r.LowerLimit1;
    r.DiffLimit2 = r.UpperLimit2 + r.LowerLimit2;

    // 4-5. Couples and elements.
    for (int c = 1; c <= CoupleCount; ++c)
        r.CoupleAverage[c] = (v[CoupleTable[c].Yin] + v[CoupleTable[c].Yang]) / 2;
    const auto pair = [&](int m1, int m2) { return (meridianMean(r, m1) + meridianMean(r, m2)) / 2; };
    r.ElementAverage[Wood] = pair(8, 11);
    r.ElementAverage[HeartFire] = pair(3, 4);
    r.ElementAverage[PericardiumFire] = pair(2, 5);
    r.ElementAverage[Earth] = pair(7, 12);
    r.ElementAverage[Metal] = pair(1, 6);
    r.ElementAverage[Water] = pair(9, 10);
    r.ElementAverage[Fire] = (r.ElementAverage[HeartFire] + r.ElementAverage[PericardiumFire]) / 2;
    for (int e = 1; e <= ElementCount; ++e)
        r.ElementClass[e] = ThreeLevelClass(r.ElementAverage[e] - be, r);

    // 6. Yin/yang, up/down, left/right, high and low groups.
    const auto& g = r.GroupAverage;
    r.YinAverage = (g[1] + g[3] + g[5] + g[7]) / 4;
    r.YangAverage = (g[2] + g[4] + g[6] + g[8]) / 4;
    r.UpAverage = (g[1] + g[2] + g[3] + g[4]) / 4;
    r.DownAverage = (g[5] + g[6] + g[7] + g[8]) / 4;
    r.LeftAverage = (g[1] + g[2] + g[5] + g[6]) / 4;
    r.RightAverage = (g[3] + g[4] + g[7] + g[8]) / 4;
    r.LowGroup = 200;
    r.HighGroup = 0;
    for (int i = 1; i <= GroupCount; ++i) {
        if (g[i] < r.LowGroup)
            r.LowGroup = g[i];
        if (g[i] > r.HighGroup)
            r.HighGroup = g[i];
    }

    // 7. Points.
    for (int k = 1; k <= PointCount; ++k) {
        r.Deviation[k] = v[k] - be;
        r.PointClass[k] = FourLevelClass(r.Deviation[k], r);
    }

    // 8. Meridians and couples.
    for (int m = 1; m <= MeridianCount; ++m) {
        const double left = v[PointOf(m, Side::Left)];
        const double right = v[PointOf(m, Side::Right)];
        r.MeridianClass[m] = FourLevelClass((left + right) / 2 - be, r);
        r.SideClass[m] = DifferenceClass(left - right, r);
        const Couple& couple = CoupleTable[m];
        r.CoupleClass[m] = ThreeLevelClass(r.CoupleAverage[m] - be, r);
        r.CoupleDiffClass[m] = DifferenceClass(v[couple.Yin] - v[couple.Yang], r);
    }

    // 9. Overall classes and their statements.
    r.EnergyClass = EnergyClassOf(be, in.Male);
    r.EnergyStatement = EnergyStatementOf(r.EnergyClass);
    r.UpDownClass = UpDownClassOf(Ratio(r.UpAverage, r.DownAverage), in.Male);
    r.MentalStatement = MentalStatementOf(r.UpDownClass);
    r.LeftRightClass = LeftRightClassOf(Ratio(r.LeftAverage, r.RightAverage));
    r.SkeletalStatement = SkeletalStatementOf(r.LeftRightClass);
    r.YinYangClass = YinYangClassOf(Ratio(r.YinAverage, r.YangAverage));
    r.MetabolismStatement = MetabolismStatementOf(r.YinYangClass);
    r.NervousClass = NervousClassOf(Ratio(r.HighGroup, r.LowGroup));
    r.NervousStatement = NervousStatementOf(r.NervousClass);

    // 10. The integrated index and the point scores.
    const double reference = ReferenceEnergy(AnalysisAge(in.DateTime, in.BirthDate), in.Male);
    const double d = (be - reference) / reference * 100;
    double s = d >= 0 ? d * 0.1 : d * 0.3;
    if (be <= 10)
        s = s + s * 0.5;
    else if (be <= 15)
        s = s + s * 0.4;
    else if (be <= 20)
        s = s + s * 0.3;
    else if (be <= 25)
        s = s + s * 0.2;
    double index = 90 + s;

    OneBased<double, PointCount> score;
    for (int k = 1; k <= PointCount; ++k) {
        index = index - 0.6 * std::abs(r.PointClass[k]);
        // With a body energy of 0 every value is 0 too: no deviation.
        const double relative = be != 0 ? (v[k] - be) / be : 0.0;
        score[k] = 100 - 40 * std::fabs(relative);
        if (r.PointClass[k] >= 0)
            score[k] = score[k] - 1.5 * r.PointClass[k];
        else
            score[k] = score[k] - 2 * std::abs(r.PointClass[k]);
    }
    for (int m = 1; m <= MeridianCount; ++m) {
        index = index - 0.6 * std::abs(r.MeridianClass[m]) - 0.6 * std::abs(r.SideClass[m]) -
                0.5 * std::abs(r.CoupleClass[m]) - 0.5 * std::abs(r.CoupleDiffClass[m]);
        for (Side side : {Side::Left, Side::Right}) {
            const int k = PointOf(m, side);
            score[k] = score[k] - (std::abs(r.MeridianClass[m]) + std::abs(r.SideClass[m]));
            if (r.MeridianClass[m] < 0)
                score[k] = score[k] - 1;
        }
    }
    index = index - std::abs(r.UpDownClass) - std::abs(r.LeftRightClass) - std::abs(r.YinYangClass) -
            r.NervousClass;
    for (int k : CrossOrder) {
        const CrossTerms& t = crossTable()[k];
        score[k] = score[k] - (0.6 * std::abs(r.PointClass[t.a]) + std::abs(r.CoupleClass[t.c]) +
                               std::abs(r.CoupleDiffClass[t.c]) + 0.3 * std::abs(r.MeridianClass[t.q]) +
                               0.3 * std::abs(r.PointClass[t.b]));
    }
    if (index > 100)
        index = 99;
    if (index < 5)
        index = 5;
    r.IntegratedIndex = index;

    for (int k = 1; k <= PointCount; ++k) {
        // Halves go to the even neighbour (the default rounding mode).
        const double rounded = std::nearbyint(score[k] + 0.5) / 10;
        r.PointScore[k] = rounded < 1.0 ? 1.0 : rounded;
    }
    double left = 0;
    double right = 0;
    for (int k = 1; k <= PointCount; ++k)
        (SideOf(k) == Side::Left ? left : right) += r.PointScore[k];
    r.MeridiansIndex = (left + right) / 24;
    return r;
}

void AnalyseMeasurement(AnalysedMeasurement& measurement, AnalysisResult& result)
{
    AppState& state = appState();
    result = Analyse(measurement, state.MeridianCoefficients);
    measurement.Values = result.Values;
    state.CurrentMeasurement.Compensated = result.Values;
}

} // namespace qern
