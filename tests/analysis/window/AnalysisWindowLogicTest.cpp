#include "AnalysisWindowFixture.h"

#include "analysis/window/AnalysisDisplay.h"
#include "analysis/window/AnalysisRecords.h"
#include "analysis/window/FindingTexts.h"
#include "analysis/window/PrintOptions.h"

using namespace qern;
using namespace qern::test;

namespace {

// ---------------------------------------------------------------------------
// Print options

TEST(PrintOptionsText, EachCharacterReadsItsOwnOption)
{
    const std::pair<int, bool PrintOptionSet::*> positions[] = {
        {1, &PrintOptionSet::DetailedFormat},    {2, &PrintOptionSet::MeridianData},
        {3, &PrintOptionSet::BarDiagram},        {4, &PrintOptionSet::BodyEnergyMental},
        {5, &PrintOptionSet::MeridianAnalysis},  {6, &PrintOptionSet::DietaryAdvice},
        {7, &PrintOptionSet::Applications},      {8, &PrintOptionSet::SlopeDiagram},
        {9, &PrintOptionSet::YinYangDiagram},    {10, &PrintOptionSet::QiBloodDiagram},
        {11, &PrintOptionSet::SymptomsNotes},    {14, &PrintOptionSet::ProtocolPoints},
        {15, &PrintOptionSet::RyodorakuAnalysis}, {16, &PrintOptionSet::ProtocolHerbs},
        {17, &PrintOptionSet::RyodorakuDiagram}, {18, &PrintOptionSet::NervousDiagram},
        {19, &PrintOptionSet::BalanceDiagram},   {26, &PrintOptionSet::EciDiagram},
        {28, &PrintOptionSet::ElementsDiagram},  {31, &PrintOptionSet::Colour},
        {32, &PrintOptionSet::SmallFont},        {33, &PrintOptionSet::FormFeed},
        {34, &PrintOptionSet::FirstPageOnly},    {39, &PrintOptionSet::ReportHeader},
        {40, &PrintOptionSet::PatientData},      {41, &PrintOptionSet::CompensatedValue},
        {42, &PrintOptionSet::DetailedPatient},
    };
    for (const auto& [position, member] : positions) {
        SCOPED_TRACE(position);
        QString text = QStringLiteral("000000000000000000000000000000000000200000");
        text[position - 1] = QLatin1Char('1');
        const PrintOptionSet options = ReadPrintOptions(text);
        EXPECT_TRUE(options.*member);
        PrintOptionSet only;
        only.*member = true;
        only.MarginMm = 20;
        EXPECT_EQ(options, only);
        EXPECT_EQ(BuildPrintOptions(options), QString(text).replace(35, 3, QStringLiteral(" 20")));
    }
}

TEST(PrintOptionsText, DefaultMarginUnitAndOddTexts)
{
    const PrintOptionSet defaults = ReadPrintOptions(DefaultPrintOptions);
    EXPECT_FALSE(defaults.DetailedFormat);
    EXPECT_TRUE(defaults.MeridianData && defaults.BarDiagram && defaults.BodyEnergyMental);
    EXPECT_TRUE(defaults.Colour);
    EXPECT_FALSE(defaults.SmallFont || defaults.FormFeed || defaults.FirstPageOnly);
    EXPECT_EQ(defaults.Unit, MarginUnit::Inch);
    EXPECT_EQ(defaults.MarginMm, 20);
    EXPECT_TRUE(defaults.ReportHeader && defaults.PatientData && defaults.CompensatedValue && defaults.DetailedPatient);

    struct Case {
        QString Text;
        MarginUnit Unit;
        double Margin;
    };
    const Case cases[] = {
        {QString(), MarginUnit::Cm, 20},                       // empty: all off, margin 20
        {QStringLiteral("1111"), MarginUnit::Cm, 20},          // short
        {QString(34, QLatin1Char('0')) + QStringLiteral("2x5 "), MarginUnit::Cm, 20}, // "2" is not "1"; "x5" no number
        {QString(34, QLatin1Char('0')) + QStringLiteral("1 5 "), MarginUnit::Inch, 5},
        {QString(34, QLatin1Char('0')) + QStringLiteral("0-10"), MarginUnit::Cm, 0},
        {QString(34, QLatin1Char('0')) + QStringLiteral("0999"), MarginUnit::Cm, 102},
        {QString(34, QLatin1Char('0')) + QStringLiteral("1999"), MarginUnit::Inch, 101.6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text.toStdString());
        const PrintOptionSet options = ReadPrintOptions(c.Text);
        EXPECT_EQ(options.Unit, c.Unit);
        EXPECT_DOUBLE_EQ(options.MarginMm, c.Margin);
        EXPECT_EQ(BuildPrintOptions(options).size(), PrintOptionsLength);
    }
    PrintOptionSet inch;
    inch.Unit = MarginUnit::Inch;
    inch.MarginMm = 101.6;
    EXPECT_EQ(BuildPrintOptions(inch).mid(34, 4), QStringLiteral("1102"));
}

TEST(PrintOptionsMargin, PositionsAndDisplayPerUnit)
{
    EXPECT_EQ(MarginMaximum(MarginUnit::Cm), 102);
    EXPECT_EQ(MarginMaximum(MarginUnit::Inch), 40);
    EXPECT_EQ(MarginPosition(35, MarginUnit::Cm), 35);
    EXPECT_EQ(MarginPosition(35, MarginUnit::Inch), 14);
    EXPECT_EQ(MarginPosition(20, MarginUnit::Inch), 8);
    EXPECT_EQ(MarginPosition(500, MarginUnit::Inch), 40);
    EXPECT_DOUBLE_EQ(MarginFromPosition(8, MarginUnit::Inch), 20.32);
    EXPECT_DOUBLE_EQ(MarginFromPosition(35, MarginUnit::Cm), 35);
    EXPECT_EQ(MarginDisplay(35, MarginUnit::Cm), QStringLiteral("3.5"));
    EXPECT_EQ(MarginDisplay(25.4, MarginUnit::Inch), QStringLiteral("1.0"));
    EXPECT_EQ(MarginDisplay(20, MarginUnit::Inch), QStringLiteral("0.8"));
}

// ---------------------------------------------------------------------------
// The value display

TEST(AnalysisDisplay, CellColoursFollowClassesAndScores)
{
    const QColor green(53, 210, 45), olive(128, 128, 0), red(255, 0, 0), blue(0, 0, 255);
    EXPECT_EQ(ValueCell(50, 0), (CellView{QStringLiteral("50.0"), green}));
    EXPECT_EQ(ValueCell(60, 1), (CellView{QStringLiteral("60.0"), olive}));
    EXPECT_EQ(ValueCell(30, -1).Colour, olive);
    EXPECT_EQ(ValueCell(90, 3).Colour, red);
    EXPECT_EQ(ValueCell(0, 0).Text, QString());
    EXPECT_EQ(QualityCell(59.9).Colour, red);
    EXPECT_EQ(QualityCell(60).Colour, olive);
    EXPECT_EQ(QualityCell(80).Colour, green);
    EXPECT_EQ(QualityCell(-4).Text, QStringLiteral("0.0"));
    EXPECT_EQ(IndexCell(10.0), (CellView{QStringLiteral("[10.0]"), blue}));
    EXPECT_EQ(IndexCell(9.96), (CellView{QStringLiteral("[10.0]"), blue}));
    EXPECT_EQ(IndexCell(8.0), (CellView{QStringLiteral("8.0"), green}));
    EXPECT_EQ(IndexCell(7.96).Colour, green); // shown as "8.0"
    EXPECT_EQ(IndexCell(7.0).Colour, olive);
    EXPECT_EQ(IndexCell(6.9).Colour, red);
}

TEST(AnalysisDisplay, GaugeRowsAndTheirColours)
{
    EXPECT_EQ(GaugeColour(0), QColor(0, 128, 0));
    for (int c : {1, -1, 2, -2})
        EXPECT_EQ(GaugeColour(c), QColor(251, 214, 4)) << c;
    EXPECT_EQ(GaugeColour(3), QColor(255, 0, 0));
    EXPECT_EQ(GaugeColour(-3), QColor(255, 0, 0));

    AnalysedMeasurement m;
    m.RawValues.fill(50);
    for (int k = 1; k <= 6; ++k)
        m.RawValues[k] = 80; // the left hand high
    const AnalysisResult r = Analyse(m, Coefficients(1.0));
    const QList<GaugeRowView> rows = GaugeRows(r, false);
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0].Parts, int(std::nearbyint(r.BodyEnergy)));
    EXPECT_EQ(rows[0].Range, QStringLiteral("(28 - 61)"));
    EXPECT_EQ(rows[1].RatioText, QString::asprintf("Up%6.1f / Down%6.1f =", r.UpAverage, r.DownAverage));
    EXPECT_EQ(rows[1].Parts, int(std::nearbyint(r.UpAverage / r.DownAverage * 10)));
    EXPECT_EQ(rows[2].Ratio, QString::asprintf("%5.2f", r.LeftAverage / r.RightAverage));
    EXPECT_EQ(rows[4].Maximum, 40);
    EXPECT_EQ(rows[4].RatioText, QString::asprintf("Hi%6.1f / Low%6.1f =", r.HighGroup, r.LowGroup));
    EXPECT_EQ(rows[4].Colour, GaugeColour(r.NervousClass));
    EXPECT_EQ(rows[4].Statement, r.NervousStatement);
    // A gauge never runs past its end.
    AnalysisResult huge = r;
    huge.BodyEnergy = 400;
    huge.LowGroup = 0;
    EXPECT_EQ(GaugeRows(huge, true)[0].Parts, 150);
    EXPECT_EQ(GaugeRows(huge, true)[4].Parts, 40);
}

TEST(AnalysisDisplay, IndexTableFollowsTheDisplaySlots)
{
    AnalysisResult r;
    for (int k = 1; k <= PointCount; ++k)
        r.PointScore[k] = k / 10.0;
    r.MeridiansIndex = MeridiansIndexOf(r);
    const QList<IndexRow> rows = IndexTableRows(r);
    ASSERT_EQ(rows.size(), 13);
    EXPECT_EQ(rows[1].Label, QStringLiteral("LI")); // slot 2: points 6 and 12
    EXPECT_DOUBLE_EQ(rows[1].Scores[0], 0.6);
    EXPECT_DOUBLE_EQ(rows[1].Scores[1], 1.2);
    EXPECT_DOUBLE_EQ(rows[1].Scores[2], 0.9);
    EXPECT_DOUBLE_EQ(rows[12].Scores[2], 1.25);
    EXPECT_EQ(rows[12].Label, QStringLiteral("Average"));
}

TEST(AnalysisDisplay, ChartDispatch)
{
    struct Case {
        int Group;
        int View;
        DiagramKind Kind;
    };
    const Case cases[] = {
        {1, 1, DiagramKind::Balance},  {1, 2, DiagramKind::Eci},      {1, 3, DiagramKind::Nervous},
        {2, 1, DiagramKind::Bars},     {2, 2, DiagramKind::Slopes},   {2, 3, DiagramKind::Ryodoraku},
        {3, 2, DiagramKind::YinYang},  {4, 1, DiagramKind::QiBlood},  {5, 3, DiagramKind::Elements},
        {0, 2, DiagramKind::Eci},      {1, 9, DiagramKind::Balance},  {7, 1, DiagramKind::Balance},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChartDiagram(c.Group, c.View), c.Kind) << c.Group << "/" << c.View;
    EXPECT_EQ(ChartStatusText(1, 2), QStringLiteral("E.C.I. Pie Diagram"));
    EXPECT_EQ(ChartStatusText(1, 3), QStringLiteral("Autonomic Nervous System Analysis"));
    EXPECT_EQ(ChartViewHints(2)[0], QStringLiteral("Meridian Excess-Deficiency Analysis \u2013 Bar Diagram"));
    EXPECT_TRUE(ChartViewCaptions(3).isEmpty());
}

TEST(AnalysisDisplay, NotesGoToTheShownMeasurement)
{
    EXPECT_EQ(NotesTargetsOf(0, 0), (NotesTargets{true, 0}));
    EXPECT_EQ(NotesTargetsOf(0, 7), (NotesTargets{true, 0}));
    EXPECT_EQ(NotesTargetsOf(7, 7), (NotesTargets{true, 7}));
    EXPECT_EQ(NotesTargetsOf(5, 7), (NotesTargets{false, 5}));
    EXPECT_EQ(NotesTargetsOf(5, 0), (NotesTargets{false, 5}));
}

TEST(AnalysisDisplay, AgesNeedABirthDate)
{
    EXPECT_EQ(AgeText(40000 + 365 * 30.5, 40000), QStringLiteral("30.5"));
    EXPECT_EQ(AgeText(45000, 0), QString());
    EXPECT_EQ(AgeText(45000, 4000), QString());
    const AnalysisResult r;
    EXPECT_FALSE(IntegratedFigure(0, r).Visible);
    EXPECT_EQ(IntegratedFigure(1, r).Caption, QStringLiteral("Integrated Index"));
    EXPECT_EQ(IntegratedFigure(2, r).Caption, QStringLiteral("Meridians Index"));
}

// ---------------------------------------------------------------------------
// The reference texts of a finding

class FindingDetailTest : public testing::Test {
protected:
    static ReferenceTexts Texts(int code)
    {
        ReferenceTexts t;
        for (int i = 1; i <= 3; ++i)
            t.MA[i] = QStringLiteral("MA%1-%2").arg(i).arg(code);
        for (int i = 1; i <= 5; ++i) {
            t.MH[i] = QStringLiteral("MH%1-%2").arg(i).arg(code);
            t.ML[i] = QStringLiteral("ML%1-%2").arg(i).arg(code);
        }
        return t;
    }
    static AnalysisResult WithPoints(int left, int right)
    {
        AnalysisResult r;
        r.PointClass[1] = left; // Lung: points 1 and 7
        r.PointClass[7] = right;
        return r;
    }
};

TEST_F(FindingDetailTest, OverallFindingsByClass)
{
    AnalysisResult r;
    const auto primary = [&](int code) {
        return ComposeFinding(FindingListKind::Analysis, code, r, Texts(code)).Primary;
    };
    r.EnergyClass = 0;
    EXPECT_EQ(primary(13), QStringList({"MA1-13", "", "MA2-13"}));
    r.EnergyClass = -2;
    EXPECT_EQ(primary(13), QStringList({"MA1-13", "", "ML1-13"}));
    r.EnergyClass = -3;
    EXPECT_EQ(primary(13), QStringList({"MA1-13", "", "ML1-13", "", LowEnergyWarning}));
    r.UpDownClass = -3; // the warning belongs to body energy only
    EXPECT_EQ(primary(14), QStringList({"MA1-14", "", "ML1-14"}));
    r.NervousClass = 2;
    EXPECT_EQ(primary(17), QStringList({"MA1-17", "", "MH1-17"}));
    EXPECT_TRUE(ComposeFinding(FindingListKind::Analysis, 17, r, Texts(17)).Secondary.isEmpty());
}

TEST_F(FindingDetailTest, MeridianEntriesInEachList)
{
    const QString lung = QStringLiteral("[Lung Meridian Atypical]");
    const QStringList head{lung, "", "MA2-1", "", "MA1-1", ""};
    struct Case {
        int Left;
        int Right;
        QStringList Analysis;
        QStringList Ryodoraku;
        QStringList Dietary;
        QStringList ProtocolTab;
    };
    const Case cases[] = {
        {2, 1, head + QStringList{"MH1-1"}, {"MH5-1"}, {"MA3-1", "", "MH4-1"}, {"MH3-1", "", "MH2-1"}},
        {-1, -3, head + QStringList{"ML1-1"}, {"ML5-1"}, {"MA3-1", "", "ML4-1"}, {"ML3-1", "", "ML2-1"}},
        {2, -1, head, {}, {"MA3-1", ""}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Left * 10 + c.Right);
        const AnalysisResult r = WithPoints(c.Left, c.Right);
        const FindingDetail analysis = ComposeFinding(FindingListKind::Analysis, 1, r, Texts(1));
        EXPECT_EQ(analysis.Primary, c.Analysis);
        EXPECT_EQ(analysis.Secondary, c.Ryodoraku);
        EXPECT_EQ(ComposeFinding(FindingListKind::Dietary, 1, r, Texts(1)).Primary, c.Dietary);
        EXPECT_EQ(ComposeFinding(FindingListKind::ProtocolTab, 1, r, Texts(1)).Primary, c.ProtocolTab);
    }
    const FindingDetail missing = ComposeFinding(FindingListKind::Dietary, 1, WithPoints(2, 2), std::nullopt);
    EXPECT_EQ(missing.Primary, QStringList{NoReferenceText});
}

// ---------------------------------------------------------------------------
// Records the window reads

class AnalysisRecordsTest : public AnalysisWindowTest {};

TEST_F(AnalysisRecordsTest, ReferenceTextsAreDecipheredAndAMissingRowIsNoError)
{
    ASSERT_TRUE(OpenDatabase(DbRole::Reference, folder_.File(QStringLiteral("qernE.mdb")), Layout::Reference).Ok);
    const ReferenceLookup found = ReadReferenceTexts(Database(DbRole::Reference), 5);
    ASSERT_TRUE(found.Texts.has_value());
    EXPECT_EQ(found.Texts->MA[3], QStringLiteral("DtMA3-5"));
    EXPECT_EQ(found.Texts->ML[5], QStringLiteral("DtML5-5"));
    const ReferenceLookup missing = ReadReferenceTexts(Database(DbRole::Reference), 99);
    EXPECT_FALSE(missing.Texts.has_value());
    EXPECT_TRUE(missing.Error.isEmpty());
    CloseDatabase(DbRole::Reference);
    EXPECT_FALSE(ReadReferenceTexts(Database(DbRole::Reference), 5).Error.isEmpty());
}

TEST_F(AnalysisRecordsTest, ProtocolSetsComeInIndexOrderWithTheirRecords)
{
    const auto protocol = [](const char* no, const char* name, const QStringList& conditions) {
        SeedProtocol p;
        p.No = QLatin1String(no);
        p.Name = QLatin1String(name);
        p.Conditions = conditions;
        return p;
    };
    const SeedProtocol b = protocol("B7", "second", {Condition(1, 1), Condition(2, 2)});
    const SeedProtocol a = protocol("a1", "first", {Condition(3, 1)});
    const SeedProtocol empty = protocol("C", "no records", {});
    const qint64 bKey = SeedUserProtocol(b);
    const qint64 aKey = SeedUserProtocol(a);
    SeedUserProtocol(empty);
    // Another protocol's records share no number.
    Insert(Database(DbRole::Main), QStringLiteral("ZePrDt"), {QStringLiteral("ProNo"), QStringLiteral("ProCond")},
           {QStringLiteral("ZZ"), Condition(4, 1)});
    const ProtocolSet set = LoadProtocolSet(Database(DbRole::Main));
    ASSERT_TRUE(set.Error.isEmpty());
    ASSERT_EQ(set.Protocols.size(), 3);
    EXPECT_EQ(set.Protocols[0].Name, QStringLiteral("first"));
    EXPECT_EQ(set.Protocols[0].Key, aKey);
    EXPECT_EQ(set.Protocols[1].Key, bKey);
    ASSERT_EQ(set.Protocols[1].Records.size(), 2);
    EXPECT_EQ(set.Protocols[1].Records[1].ProCond, Condition(2, 2));
    EXPECT_TRUE(set.Protocols[2].Records.isEmpty());
}

TEST_F(AnalysisRecordsTest, HistoryRowsAndTheirMemo)
{
    Measurement incomplete = Uniform(50, Day(2024, 2, 1));
    incomplete.Raw[12] = -1;
    const qint64 first = Store(Uniform(50, Day(2024, 1, 1)));
    Store(incomplete);
    Store(Uniform(50, Day(2024, 3, 1)), QStringLiteral("p-1 ")); // the same patient, as typed
    const HistoryRows rows = LoadHistoryRows(Database(DbRole::Main), QStringLiteral(" P-1"));
    ASSERT_EQ(rows.Rows.size(), 3);
    EXPECT_EQ(rows.Rows[0].Date, Day(2024, 3, 1));
    EXPECT_FALSE(rows.Rows[1].Complete);
    EXPECT_TRUE(rows.Rows[2].Complete);
    EXPECT_EQ(HistoryNumber(2, false), QStringLiteral("*2"));
    EXPECT_EQ(HistoryNumber(10, true), QStringLiteral("10"));

    ASSERT_TRUE(WriteHistoryMemo(Database(DbRole::Main), first, QStringLiteral("a\r\nb")).Ok);
    const StoredMeasurement read = ReadHistoryMeasurement(Database(DbRole::Main), first);
    ASSERT_TRUE(read.Found.has_value());
    EXPECT_EQ(read.Found->Memo, QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_FALSE(WriteHistoryMemo(Database(DbRole::Main), 9999, QStringLiteral("x")).Ok);
    EXPECT_FALSE(ReadHistoryMeasurement(Database(DbRole::Main), 9999).Found.has_value());
}

} // namespace
