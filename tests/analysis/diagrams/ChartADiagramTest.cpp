#include "DiagramTestSupport.h"

#include "analysis/diagrams/Diagrams.h"
#include "shell/MeridianModel.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

using namespace qern;
using namespace qern::diagram_test;

namespace {

const QColor White(255, 255, 255);
const QColor Yellow(255, 255, 0);
const QColor PaperYellow(255, 238, 0);
const QColor Red(255, 0, 0);

enum class Chart { YinYang, QiBlood };

DrawFunction DrawOf(Chart chart)
{
    return chart == Chart::YinYang ? DrawFunction(DrawYinYangChart) : DrawFunction(DrawQiBloodChart);
}

const char* NameOf(Chart chart) { return chart == Chart::YinYang ? "yin-yang" : "qi-blood"; }

// Body energy 50 (band factor 1: limits 11.5/21, 10.5/20, differences 22/41),
// every deviation 0.
AnalysisResult Flat()
{
    AnalysisResult r = BodyEnergy50();
    r.BandFactor = 1;
    r.DiffLimit1 = 22;
    r.DiffLimit2 = 41;
    r.Deviation.fill(0);
    return r;
}

// Column i's first value (yin, or left couple) `first`, its second `second`.
void SetColumn(AnalysisResult& r, Chart chart, int column, double first, double second)
{
    const int yin[] = {8, 3, 2, 7, 1, 9};
    const int yang[] = {11, 4, 5, 12, 6, 10};
    if (chart == Chart::YinYang) {
        for (Side side : {Side::Left, Side::Right}) {
            r.Deviation[PointOf(yin[column - 1], side)] = first;
            r.Deviation[PointOf(yang[column - 1], side)] = second;
        }
        return;
    }
    r.Deviation[CoupleTable[column].Yin] = r.Deviation[CoupleTable[column].Yang] = first;
    r.Deviation[CoupleTable[column + 6].Yin] = r.Deviation[CoupleTable[column + 6].Yang] = second;
}

// A drawing surface and the chart geometry as the charts define it.
struct Canvas : Surface {
    int W() const { return int(Frame.width()); }
    int H() const { return int(Frame.height()); }
    bool Paper() const { return Style.IsPaper(); }
    int X0() const { return Paper() ? 0 : 50; }
    int P() const { return W() - X0(); }
    // Absolute image coordinates.
    double Left() const { return Frame.left(); }
    double Top() const { return Frame.top(); }
    double Y(double v) const { return Top() + H() / 2 - RoundEven(H() / 100.0 * v); }
    double Xc(int i) const { return Left() + X0() + RoundEven(P() / 6.0 * i) - RoundEven(P() / 12.0); }
    double Xm(int i) const { return Left() + X0() + RoundEven(P() / 6.0) * i - RoundEven(P() / 12.0); }
    double Mm(double mm) const { return Style.Mm(mm); }
    // Screen pixels on the screen, millimetres on paper.
    double Offset(double px, double mm) const { return Style.Offset(px, mm); }
    QColor At(double x, double y) const { return Image.pixelColor(int(std::lround(x)), int(std::lround(y))); }
};

Canvas ScreenCanvas() { return Canvas{ScreenSurface()}; }

// The printed frame at x0 = 30 mm, 15 mm from the top, on a 600 dpi page.
Canvas PaperCanvas(bool monochrome)
{
    return Canvas{PaperSurface(monochrome, 100, QRectF(30, 15, 150, 90), QSizeF(200, 120))};
}

void Draw(Canvas& c, Chart chart, const AnalysisResult& r) { DrawOn(c, DrawOf(chart), r); }

// Inside the warning rectangle and the triangle above it.
std::pair<QColor, QColor> Flag(const Canvas& c, int column)
{
    const double x = c.Xm(column);
    return {c.At(x, c.Top() + c.Offset(21, 3.75)), c.At(x, c.Top() + c.Offset(12, 2))};
}

TEST(ChartADiagram, AllPointsEqualLieOnTheMiddleLineWithoutFlags)
{
    for (Chart chart : {Chart::YinYang, Chart::QiBlood}) {
        for (bool paper : {false, true}) {
            SCOPED_TRACE(testing::Message() << NameOf(chart) << (paper ? " paper" : " screen"));
            Canvas c = paper ? PaperCanvas(false) : ScreenCanvas();
            Draw(c, chart, Flat());
            const double d = c.Offset(4, 0.6); // inside the marker, off the lines through its centre
            for (int i = 1; i <= 6; ++i) {
                // The second curve's squares are drawn over the first's.
                EXPECT_EQ(c.At(c.Xc(i) + d, c.Y(0) - d), ColorNormal) << i;
                EXPECT_EQ(c.At(c.Xc(i) - d, c.Y(0) + d), ColorNormal) << i;
                const auto [box, triangle] = Flag(c, i);
                EXPECT_EQ(box, White) << i;
                EXPECT_EQ(triangle, White) << i;
            }
        }
    }
}

TEST(ChartADiagram, DifferenceFlagsAtTheLimits)
{
    struct Case {
        Chart chart;
        int column;
        double difference;
        QColor flag; // white: none
    };
    const Case cases[] = {
        {Chart::YinYang, 1, 21.9, White}, {Chart::YinYang, 1, 22, Yellow}, {Chart::YinYang, 4, 40.9, Yellow},
        {Chart::YinYang, 4, 41, Red},     {Chart::QiBlood, 2, 21.9, White}, {Chart::QiBlood, 2, 22, Yellow},
        {Chart::QiBlood, 6, 40.9, Yellow}, {Chart::QiBlood, 6, 41, Red},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << NameOf(k.chart) << " column " << k.column << " difference "
                                        << k.difference);
        AnalysisResult r = Flat();
        SetColumn(r, k.chart, k.column, k.difference / 2, -k.difference / 2);
        Canvas c = ScreenCanvas();
        Draw(c, k.chart, r);
        for (int i = 1; i <= 6; ++i) {
            const auto [box, triangle] = Flag(c, i);
            EXPECT_EQ(box, i == k.column ? k.flag : White) << i;
            EXPECT_EQ(triangle, i == k.column ? k.flag : White) << i;
        }
        // The column's two markers sit at their values: the first above the
        // middle line, the second below.
        EXPECT_EQ(c.At(c.Xc(k.column) + 4, c.Y(k.difference / 2) - 4), ColorPoor);
        EXPECT_EQ(c.At(c.Xc(k.column) + 4, c.Y(-k.difference / 2) + 4), ColorNormal);
    }
}

TEST(ChartADiagram, TheOtherChartsDataShowsNoDifference)
{
    // Yin and yang apart on both sides leaves the left and right couples
    // equal, and the other way round.
    for (Chart chart : {Chart::YinYang, Chart::QiBlood}) {
        SCOPED_TRACE(NameOf(chart));
        AnalysisResult r = Flat();
        SetColumn(r, chart, 3, 25, -25);
        Canvas c = ScreenCanvas();
        Draw(c, chart == Chart::YinYang ? Chart::QiBlood : Chart::YinYang, r);
        EXPECT_EQ(Flag(c, 3).first, White);
        EXPECT_EQ(c.At(c.Xc(3) + 4, c.Y(0) - 4), ColorNormal);
    }
}

TEST(ChartADiagram, PaperFlagsAndMonochromeMarkers)
{
    AnalysisResult r = Flat();
    SetColumn(r, Chart::QiBlood, 2, 11, -11);   // 22: first limit
    SetColumn(r, Chart::QiBlood, 5, 15, -26);     // 41: second limit

    Canvas colour = PaperCanvas(false);
    Draw(colour, Chart::QiBlood, r);
    EXPECT_EQ(Flag(colour, 2).first, PaperYellow);
    EXPECT_EQ(Flag(colour, 2).second, PaperYellow);
    EXPECT_EQ(Flag(colour, 5).first, Red);
    EXPECT_EQ(Flag(colour, 1).first, White);

    Canvas mono = PaperCanvas(true);
    Draw(mono, Chart::QiBlood, r);
    const QColor grey(112, 112, 112);
    EXPECT_EQ(Flag(mono, 5).first, QColor(85, 85, 85)) << "red through the colour rule";
    EXPECT_EQ(Flag(mono, 2).first, grey) << "yellow through the colour rule";

    // 2 mm markers: the corner of the first curve's marker is filled in
    // colour but lies outside the circle used in monochrome; the second
    // curve keeps its squares.
    const double corner = colour.Mm(0.85);
    const double near = colour.Mm(0.4);
    const double x = colour.Xc(5);
    const double first = colour.Y(15);
    const double second = colour.Y(-26);
    EXPECT_EQ(colour.At(x + corner, first - corner), ColorPoor);
    EXPECT_EQ(mono.At(x + corner, first - corner), White);
    EXPECT_EQ(mono.At(x + near, first - near), grey);
    EXPECT_EQ(colour.At(x + corner, second + corner), ColorNormal);
    EXPECT_EQ(mono.At(x + corner, second + corner), grey);
    // Nothing of a marker beyond 1 mm from its point.
    EXPECT_EQ(colour.At(x + colour.Mm(1.4), first - colour.Mm(1.4)), White);
}

TEST(ChartADiagram, PaperLegendIsPlacedFromThePrintableLeftEdge)
{
    Canvas c = PaperCanvas(false);
    Draw(c, Chart::YinYang, Flat());
    // Markers centred between W - 6 mm and W + 2 mm, 7 and 14 mm below the top.
    const double x = c.W() - c.Mm(2) + c.Mm(0.5);
    EXPECT_EQ(c.At(x, c.Top() + c.Mm(7) - c.Mm(0.5)), ColorPoor);
    EXPECT_EQ(c.At(x, c.Top() + c.Mm(14) - c.Mm(0.5)), ColorNormal);
    EXPECT_EQ(c.At(c.Left() + c.W() - c.Mm(2), c.Top() + c.Mm(7) - c.Mm(0.5)), White)
        << "not measured from the frame";
}

TEST(ChartADiagram, ColumnCaptionsOnScreenAndPaper)
{
    struct Case {
        Chart chart;
        bool paper;
        QString first;
        QString second;
    };
    const Case table[] = {
        {Chart::YinYang, false, "LR-(LR)", "GB-(LR)"},
        {Chart::YinYang, true, "LR-(LR)", "GB-(LR)"},
        {Chart::QiBlood, false, "LR+GB-L", "LR+GB-R"},
        {Chart::QiBlood, true, "LR+GB-(L)", "LR+GB-(R)"},
    };
    const QColor green(0, 128, 0);
    for (const Case& k : table) {
        SCOPED_TRACE(testing::Message() << NameOf(k.chart) << (k.paper ? " paper" : " screen"));
        Canvas c = k.paper ? PaperCanvas(false) : ScreenCanvas();
        Draw(c, k.chart, Flat());
        // What the caption must look like: the text centred on column 1 at
        // its row, its top-left corner as given.
        Canvas expected = k.paper ? PaperCanvas(false) : ScreenCanvas();
        {
            QPainter p(&expected.Image);
            p.setFont(c.Style.Font(8));
            const auto caption = [&](const QColor& colour, double fromBottom, const QString& text) {
                p.setPen(colour);
                const int width = p.fontMetrics().horizontalAdvance(text);
                p.drawText(QPointF(c.Xc(1) - width / 2, c.Top() + c.H() - fromBottom + p.fontMetrics().ascent()),
                           text);
            };
            caption(Red, c.Offset(46, 10), k.first);
            caption(green, c.Offset(30, 6), k.second);
        }
        const int half = int(c.P() / 12.0);
        const double rows = c.Top() + c.H() - c.Offset(50, 11);
        const QRect column(int(c.Xc(1)) - half, int(rows), 2 * half, int(c.Top() + c.H() - rows));
        for (const QColor& ink : {Red, green})
            ExpectInkAsInReference(c.Image, expected.Image, column, ink);
    }
}

TEST(ChartADiagram, PaperScaleLabelsEndLeftOfTheFrame)
{
    Canvas c = PaperCanvas(false);
    Draw(c, Chart::YinYang, Flat());
    // "+  40" right-aligned to end 3 mm left of x0, above its tick.
    const double tick = c.Top() + RoundEven(c.H() / 10.0);
    const int beforeAxis = int(c.Left() - c.Mm(1));
    const QRect area(0, int(tick - c.Mm(6)), beforeAxis, int(c.Mm(6)));
    const QRect ink = InkBox(c.Image, area, QColor(0, 0, 0));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LE(ink.right(), c.Left() - c.Mm(3));
    EXPECT_GE(ink.right(), c.Left() - c.Mm(3.6));
    EXPECT_LT(ink.bottom(), tick + c.Mm(1.5));
    // The body energy, in red, beside the middle line.
    const QRect energy = InkBox(c.Image, QRect(0, int(c.Y(0) - c.Mm(6)), beforeAxis, int(c.Mm(6))), Red);
    ASSERT_FALSE(energy.isEmpty());
    EXPECT_LE(energy.right(), c.Left() - c.Mm(3));
    EXPECT_GE(energy.right(), c.Left() - c.Mm(3.6));
}

} // namespace
