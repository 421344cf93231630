#include "analysis/Analysis.h"
#include "shell/AppState.h"
#include "shell/DayCount.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace qern;

namespace {

double day(int y, int m, int d) { return ToDayCount(QDateTime(QDate(y, m, d), QTime(0, 0))); }

AnalysedMeasurement uniform(double value)
{
    AnalysedMeasurement m;
    m.RawValues.fill(value);
    m.DateTime = day(2025, 6, 1) + 0.4;
    m.BirthDate = day(1980, 6, 15);
    return m;
}

const Coefficients Unity(1.0);

TEST(Analysis, AllPointsEqualIsTheWorkedExample)
{
    const AnalysisResult r = Analyse(uniform(50), Unity);
    EXPECT_EQ(r.BodyEnergy, 50);
    EXPECT_EQ(r.BandFactor, 1.0);
    EXPECT_EQ(r.UpperLimit1, 11.5);
    EXPECT_EQ(r.LowerLimit2, 20);
    EXPECT_EQ(r.DiffLimit1, 22);
    EXPECT_EQ(r.DiffLimit2, 41);
    for (int k = 1; k <= PointCount; ++k) {
        EXPECT_EQ(r.PointClass[k], 0);
        EXPECT_EQ(r.PointScore[k], 10.0);
    }
    for (int m = 1; m <= MeridianCount; ++m) {
        EXPECT_EQ(r.MeridianClass[m], 0);
        EXPECT_EQ(r.SideClass[m], 0);
        EXPECT_EQ(r.CoupleClass[m], 0);
        EXPECT_EQ(r.CoupleDiffClass[m], 0);
    }
    for (int e = 1; e <= ElementCount; ++e)
        EXPECT_EQ(r.ElementClass[e], 0);
    EXPECT_EQ(r.EnergyClass + r.UpDownClass + r.LeftRightClass + r.YinYangClass + r.NervousClass, 0);
    EXPECT_EQ(r.UpAverage / r.DownAverage, 1.0);
    EXPECT_EQ(r.HighGroup / r.LowGroup, 1.0);
    // 44.96 years old: reference 53, d = -5.66 %, s = -1.70.
    EXPECT_NEAR(r.IntegratedIndex, 88.30, 0.005);
    EXPECT_EQ(r.MeridiansIndex, 10.0);
    EXPECT_EQ(r.EnergyStatement, QStringLiteral("Body energy and primordial Qi are normal."));
    EXPECT_EQ(r.NervousStatement, QStringLiteral("Autonomic nervous system is normal."));

    // Measured on his 45th birthday he is 45.03 by the day rule: reference 48.
    AnalysedMeasurement birthday = uniform(50);
    birthday.DateTime = day(2025, 6, 15);
    EXPECT_NEAR(Analyse(birthday, Unity).IntegratedIndex, 90.42, 0.005);
}

TEST(Analysis, ReferenceEnergyByAgeAndSex)
{
    struct Case {
        double age;
        bool male;
        double reference;
    };
    const Case cases[] = {{20, true, 75},    {20.01, true, 68}, {45, true, 53},  {45.03, true, 48},
                          {65, true, 36},    {65.5, true, 32},  {40, false, 54.52}, {90, false, 30.08}};
    for (const Case& c : cases)
        EXPECT_NEAR(ReferenceEnergy(c.age, c.male), c.reference, 1e-9) << c.age;
    EXPECT_EQ(AnalysisAge(day(2025, 1, 1), 0), 40.0) << "no birth date";
    EXPECT_EQ(AnalysisAge(day(2025, 1, 1), -3), 40.0);

    AnalysedMeasurement noBirth = uniform(58);
    noBirth.BirthDate = 0;
    EXPECT_NEAR(Analyse(noBirth, Unity).IntegratedIndex, 90.0, 1e-9) << "age 40, reference 58";
    noBirth.Male = false;
    EXPECT_NEAR(Analyse(noBirth, Unity).IntegratedIndex, 90 + (58 - 54.52) / 54.52 * 100 * 0.1, 1e-9);
}

TEST(Analysis, ClassScalesAndWhichSideIsInclusive)
{
    AnalysisResult limits;
    limits.UpperLimit1 = 11.5;
    limits.UpperLimit2 = 21;
    limits.LowerLimit1 = 10.5;
    limits.LowerLimit2 = 20;
    limits.DiffLimit1 = 22;
    limits.DiffLimit2 = 41;
    struct Case {
        double x;
        int four, three, difference;
    };
    const Case cases[] = {
        {0, 0, 0, 0},        {11.49, 0, 0, 0},    {11.5, 1, 1, 0},     {20.99, 1, 1, 0},   {21, 2, 2, 0},
        {22, 2, 2, 1},       {32.49, 2, 2, 1},    {32.5, 3, 2, 1},     {41, 3, 2, 2},      {-10.49, 0, 0, 0},
        {-10.5, -1, -1, 0},  {-20, -2, -2, 0},    {-22, -2, -2, -1},   {-30.5, -3, -2, -1}, {-41, -3, -2, -2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FourLevelClass(c.x, limits), c.four) << c.x;
        EXPECT_EQ(ThreeLevelClass(c.x, limits), c.three) << c.x;
        EXPECT_EQ(DifferenceClass(c.x, limits), c.difference) << c.x;
    }
}

TEST(Analysis, OverallLadders)
{
    EXPECT_EQ(EnergyClassOf(30.0, true), 0);
    EXPECT_EQ(EnergyClassOf(29.99, true), -1);
    EXPECT_EQ(EnergyClassOf(18.99, true), -3);
    EXPECT_EQ(EnergyClassOf(75, true), 3);
    EXPECT_EQ(EnergyClassOf(62.0, false), 1);
    EXPECT_EQ(EnergyClassOf(61.99, false), 0);
    EXPECT_EQ(EnergyClassOf(17.99, false), -3);

    EXPECT_EQ(UpDownClassOf(1.2, true), 1);
    EXPECT_EQ(UpDownClassOf(1.2, false), 2);
    EXPECT_EQ(UpDownClassOf(0.88, true), 0);
    EXPECT_EQ(UpDownClassOf(0.7799, false), -1);
    EXPECT_EQ(UpDownClassOf(1.4, true), 3);

    EXPECT_EQ(LeftRightClassOf(1.15), 1);
    EXPECT_EQ(LeftRightClassOf(1.1499), 0);
    EXPECT_EQ(LeftRightClassOf(0.6799), -3);
    EXPECT_EQ(YinYangClassOf(0.82), 0);
    EXPECT_EQ(YinYangClassOf(1.45), 3);
    EXPECT_EQ(YinYangClassOf(0.7199), -2);

    EXPECT_EQ(NervousClassOf(1.5), 0);
    EXPECT_EQ(NervousClassOf(1.5001), 1);
    EXPECT_EQ(NervousClassOf(1.8), 1);
    EXPECT_EQ(NervousClassOf(2.0), 2);
    EXPECT_EQ(NervousClassOf(2.0001), 3);
}

TEST(Analysis, BodyEnergyFromRawValuesClassesFromCompensated)
{
    AnalysedMeasurement m = uniform(50);
    const AnalysisResult r = Analyse(m, BuiltInCoefficients);
    EXPECT_EQ(r.BodyEnergy, 50);
    EXPECT_DOUBLE_EQ(r.Values[14], 50 * 1.2424) << "left LR";
    EXPECT_EQ(r.PointClass[14], 1) << "62.12 is 12.12 above the body energy";
    EXPECT_EQ(r.PointClass[13], 0) << "SP is not compensated";
    EXPECT_EQ(r.PointClass[5], 0) << "TE at 40.195 is 9.805 below, within the band";
}

TEST(Analysis, IntegratedIndexCaps)
{
    // All points equal: no class, so the index is 90 + s from the body energy.
    struct Case {
        double value;
        double index;
    };
    AnalysedMeasurement m = uniform(0);
    m.BirthDate = 0; // reference 58
    const Case cases[] = {{116, 100.0}, {120, 99.0}, {58, 90.0}};
    for (const Case& c : cases) {
        m.RawValues.fill(c.value);
        EXPECT_EQ(Analyse(m, Unity).IntegratedIndex, c.index) << c.value;
    }

    // The left side far above the right: every class against the index.
    AnalysedMeasurement extreme = uniform(0);
    for (int k = 1; k <= PointCount; ++k)
        extreme.RawValues[k] = SideOf(k) == Side::Left ? 60 : 0.5;
    const AnalysisResult r = Analyse(extreme, Unity);
    EXPECT_EQ(r.IntegratedIndex, 5.0);
    for (int k = 1; k <= PointCount; ++k)
        EXPECT_GE(r.PointScore[k], 1.0);
}

TEST(Analysis, GroupsAndTheirExtremes)
{
    AnalysedMeasurement m = uniform(250);
    AnalysisResult r = Analyse(m, Unity);
    EXPECT_EQ(r.LowGroup, 200) << "no group is below the starting 200";
    EXPECT_EQ(r.HighGroup, 250);

    m = uniform(40);
    for (int k : {1, 2, 3}) // left hand yin
        m.RawValues[k] = 80;
    for (int k : {22, 23, 24}) // right foot yang: BL, GB, ST
        m.RawValues[k] = 20;
    r = Analyse(m, Unity);
    EXPECT_EQ(r.GroupAverage[1], 80);
    EXPECT_EQ(r.GroupAverage[8], 20);
    EXPECT_EQ(r.HighGroup, 80);
    EXPECT_EQ(r.LowGroup, 20);
    EXPECT_EQ(r.NervousClass, 3) << "80 / 20 = 4";
    EXPECT_DOUBLE_EQ(r.YinAverage, (80 + 40 + 40 + 40) / 4.0);
    EXPECT_DOUBLE_EQ(r.RightAverage, (40 + 40 + 40 + 20) / 4.0);
}

// The stomach points take their own class in the 0.6 term of the
// cross-coupling, not the other side's.
TEST(Analysis, StomachPointsCrossCouplingUsesTheirOwnClass)
{
    AnalysedMeasurement m = uniform(50);
    m.RawValues[18] = 90; // left ST far above
    const AnalysisResult r = Analyse(m, Unity);
    ASSERT_GT(r.PointClass[18], 0);
    ASSERT_EQ(r.PointClass[24], 0);
    const auto scoreOf = [&](int k, int a, int c, int q, int b, int meridian) {
        double s = 100 - 40 * std::fabs((r.Values[k] - r.BodyEnergy) / r.BodyEnergy);
        s -= r.PointClass[k] >= 0 ? 1.5 * r.PointClass[k] : 2 * std::abs(r.PointClass[k]);
        s -= std::abs(r.MeridianClass[meridian]) + std::abs(r.SideClass[meridian]);
        if (r.MeridianClass[meridian] < 0)
            s -= 1;
        s -= 0.6 * std::abs(r.PointClass[a]) + std::abs(r.CoupleClass[c]) + std::abs(r.CoupleDiffClass[c]) +
             0.3 * std::abs(r.MeridianClass[q]) + 0.3 * std::abs(r.PointClass[b]);
        return std::max(1.0, std::nearbyint(s + 0.5) / 10);
    };
    EXPECT_EQ(r.PointScore[24], scoreOf(24, 24, 10, 7, 19, 12));
    EXPECT_EQ(r.PointScore[18], scoreOf(18, 18, 10, 7, 13, 12));
    EXPECT_LT(r.PointScore[18], r.PointScore[24]);
}

TEST(Analysis, HighPotentialChangesNothing)
{
    AnalysedMeasurement m = uniform(45);
    for (int k = 1; k <= PointCount; ++k)
        m.RawValues[k] = 30 + 2.5 * k;
    const AnalysisResult normal = Analyse(m, BuiltInCoefficients);
    m.HighPotential = true;
    const AnalysisResult high = Analyse(m, BuiltInCoefficients);
    EXPECT_EQ(normal.PointClass, high.PointClass);
    EXPECT_EQ(normal.PointScore, high.PointScore);
    EXPECT_EQ(normal.IntegratedIndex, high.IntegratedIndex);
    EXPECT_EQ(normal.UpperLimit2, high.UpperLimit2);
}

// Values of 0 only reach the analysis from incomplete or hand-made input; the
// analysis must still give finite, defined results.
TEST(Analysis, ZeroValuesDoNotBreakTheArithmetic)
{
    const AnalysisResult zero = Analyse(uniform(0), Unity);
    EXPECT_EQ(zero.BodyEnergy, 0);
    EXPECT_EQ(zero.UpDownClass, 0) << "0 / 0 reads as balanced";
    EXPECT_EQ(zero.NervousClass, 0);
    for (int k = 1; k <= PointCount; ++k)
        EXPECT_TRUE(std::isfinite(zero.PointScore[k]));
    EXPECT_TRUE(std::isfinite(zero.MeridiansIndex));
    EXPECT_EQ(zero.EnergyLow, true);

    AnalysedMeasurement feetDead = uniform(40);
    for (int k = 13; k <= PointCount; ++k)
        feetDead.RawValues[k] = 0;
    const AnalysisResult r = Analyse(feetDead, Unity);
    EXPECT_EQ(r.UpDownClass, 3) << "hands over nothing: the outermost class";
    EXPECT_EQ(r.NervousClass, 3);
    EXPECT_EQ(r.LowGroup, 0);
}

TEST(Analysis, AnalyseMeasurementStoresTheCompensatedValuesInHand)
{
    appState().MeridianCoefficients = BuiltInCoefficients;
    AnalysedMeasurement m = uniform(50);
    AnalysisResult r;
    AnalyseMeasurement(m, r);
    EXPECT_DOUBLE_EQ(appState().CurrentMeasurement.Compensated[17], 50 * 1.2424);
    EXPECT_DOUBLE_EQ(m.Values[2], 50 * 0.9318);
    EXPECT_EQ(r.Values, m.Values);
}

} // namespace
