#include "analysis/Analysis.h"
#include "analysis/Findings.h"

#include <gtest/gtest.h>

using namespace qern;

namespace {

AnalysisResult withPointClasses(std::initializer_list<std::pair<int, int>> classes)
{
    AnalysisResult r;
    for (const auto& [point, cls] : classes)
        r.PointClass[point] = cls;
    return r;
}

TEST(Findings, StatementTextsKeepTheirWording)
{
    EXPECT_EQ(EnergyStatementOf(-3), QStringLiteral("Low body energy. Primordial Qi is deficient."));
    EXPECT_EQ(SkeletalStatementOf(1),
              QStringLiteral("There are slight imbalance and complications in the msculoskeletal system."));
    EXPECT_EQ(MetabolismStatementOf(2), QStringLiteral("Yin is greater than Yang and metabolic fuction decreases."));
    EXPECT_EQ(MentalStatementOf(-2),
              QStringLiteral("Qi-Blood is deficient in upper-jiao; There is a moderate tendency for psychasthenia."));
    EXPECT_EQ(NervousStatementOf(3), QStringLiteral("Autonomic nervous system is obviously imbalanced."));
    EXPECT_TRUE(NervousStatementOf(-1).isEmpty());
    EXPECT_TRUE(EnergyStatementOf(4).isEmpty());
}

TEST(Findings, AllNormalListsOnlyTheOverallFindings)
{
    const AnalysisResult r;
    const FindingLists lists = BuildFindingLists(r);
    EXPECT_EQ(lists.Analysis.Codes, QList<int>({13, 14, 15, 16, 17}));
    EXPECT_EQ(lists.Analysis.Texts,
              QStringList({"State of body energy", "State of mental stress", "Musculoskeletal system",
                           "Metabolism of the body", "Function of autonomic nerve"}));
    EXPECT_TRUE(lists.Dietary.Codes.isEmpty());
    EXPECT_TRUE(BuildProtocolTabList(r).Codes.isEmpty());
}

TEST(Findings, AtypicalMeridiansInMeridianOrder)
{
    // LR (14, 20) high on both sides, LU (1, 7) split 2 / -1, KI (15, 21) low
    // on both, HT (3, 9) off on one side only.
    const AnalysisResult r = withPointClasses({{14, 1}, {20, 2}, {1, 2}, {7, -1}, {15, -2}, {21, -1}, {3, 3}});
    const FindingLists lists = BuildFindingLists(r);
    EXPECT_EQ(lists.Analysis.Codes, QList<int>({13, 14, 15, 16, 17, 1, 8, 9}));
    EXPECT_EQ(lists.Dietary.Codes, QList<int>({1, 8, 9}));
    EXPECT_EQ(lists.Dietary.Texts,
              QStringList({"[Lung Meridian Atypical]", "[Liver Meridian Atypical]", "[Kidney Meridian Atypical]"}));
    const FindingList tab = BuildProtocolTabList(r);
    EXPECT_EQ(tab.Codes, QList<int>({8, 9})) << "LU deviates both ways";
    EXPECT_TRUE(BothHigh(r, 8));
    EXPECT_TRUE(BothLow(r, 9));
    EXPECT_FALSE(AtypicalOneWay(r, 1));
    EXPECT_FALSE(Atypical(r, 3));
}

TEST(Findings, KeepingTheListsInStepNeverReadsPastAList)
{
    using K = FindingListKind;
    struct Case {
        K touched;
        int position;
        std::optional<int> analysis, dietary, tab;
    };
    // Analysis 8 entries (3 meridians), dietary 3, protocol tab 2.
    const Case cases[] = {
        {K::Analysis, 0, {}, {}, {}},  {K::Analysis, 4, {}, {}, {}},   {K::Analysis, 5, {}, 0, 0},
        {K::Analysis, 7, {}, 2, {}},   {K::Dietary, 0, 5, {}, 0},      {K::Dietary, 2, 7, {}, {}},
        {K::ProtocolTab, 1, 6, 1, {}}, {K::ProtocolTab, 5, {}, {}, {}}, {K::Dietary, -1, {}, {}, {}},
    };
    for (const Case& c : cases) {
        const ListsInStep step = KeepListsInStep(c.touched, c.position, 8, 3, 2);
        EXPECT_EQ(step.Analysis, c.analysis) << int(c.touched) << " " << c.position;
        EXPECT_EQ(step.Dietary, c.dietary) << int(c.touched) << " " << c.position;
        EXPECT_EQ(step.ProtocolTab, c.tab) << int(c.touched) << " " << c.position;
    }
}

TEST(Findings, OverallCodesReadTheirClasses)
{
    AnalysisResult r;
    r.EnergyClass = -3;
    r.UpDownClass = 1;
    r.LeftRightClass = 2;
    r.YinYangClass = -1;
    r.NervousClass = 3;
    EXPECT_EQ(OverallClass(r, 13), -3);
    EXPECT_EQ(OverallClass(r, 14), 1);
    EXPECT_EQ(OverallClass(r, 15), 2);
    EXPECT_EQ(OverallClass(r, 16), -1);
    EXPECT_EQ(OverallClass(r, 17), 3);
}

} // namespace
