#include "DiagramTestSupport.h"

#include "analysis/diagrams/Diagrams.h"
#include "shell/MeridianModel.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

using namespace qern;
using namespace qern::diagram_test;

namespace {

const QColor Yellow(255, 238, 0);
const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Olive(128, 128, 0);
const QColor Navy(0, 0, 128);

struct Canvas : Surface {
    // The plot as the diagram's geometry defines it, relative to the frame.
    double X0, P, Q;

    double Column(int s) const { return RoundEven(P / 12 * (s - 1) + P / 24 + X0); }
    double Y(double v) const { return RoundEven(Q - Q / 150 * v); }
};

Canvas Draw(const AnalysisResult& result, bool paper, bool monochrome = false)
{
    // The printed frame: 30 mm from the left, 150 x 90 mm; the scale lies left of it.
    Canvas c{paper ? PaperSurface(monochrome, Mm(4.4), QRectF(30, 25, 150, 90), QSizeF(200, 130)) : ScreenSurface(),
             50, ScreenChartWidth - 50, ScreenChartHeight - 50};
    if (paper) {
        c.X0 = 0;
        c.P = c.Frame.width();
        c.Q = c.Frame.height() - Mm(7);
    }
    DrawOn(c, DrawRyodoraku, result);
    return c;
}

// Body energy 50 and the limits of f = 1, every point at `value`, class 0.
AnalysisResult Flat(double value)
{
    AnalysisResult r = BodyEnergy50();
    r.Values.fill(value);
    r.PointClass.fill(0);
    r.SideClass.fill(0);
    return r;
}

// The point shown at bar position b (left and right point of each slot).
int PointAt(int b) { return b % 2 == 1 ? SlotPoints((b + 1) / 2).Left : SlotPoints((b + 1) / 2).Right; }

double MarkerCentre(const Canvas& c, int b)
{
    const double left = RoundEven(c.P / 24 * (b - 1) + 2 + c.X0);
    const double right = RoundEven(c.P / 24 * (b - 1) + c.P / 24 - 1 + c.X0);
    return c.Frame.left() + std::floor((left + right) / 2);
}

TEST(RyodorakuDiagram, AllPointsEqualGreenMarkersAndNoArrows)
{
    const AnalysisResult r = Uniform(50);
    const Canvas c = Draw(r, false);
    for (int b = 1; b <= PointCount; ++b)
        EXPECT_EQ(c.Image.pixelColor(int(MarkerCentre(c, b)), int(c.Y(50))), ColorNormal) << "position " << b;
    const QRect arrows(int(c.X0) + 2, 22, int(c.P) - 2, 19);
    EXPECT_EQ(Count(c.Image, arrows, Yellow), 0);
    EXPECT_EQ(Count(c.Image, arrows, Red), 0);
}

TEST(RyodorakuDiagram, MarkersSitAtTheirValuesAndTheTopClampsAt5)
{
    struct Case {
        int position;
        double value;
        int pointClass;
        int y;
        QColor colour;
    };
    // Q = 504: y = 504 - round(3.36 v), raised to 5.
    const Case cases[] = {
        {1, 50, 0, 336, ColorNormal},   {2, 150, 3, 5, ColorPoor},      {3, 180, 3, 5, ColorPoor},
        {4, 148, 3, 7, ColorPoor},      {5, 62, 1, 296, ColorTolerable}, {6, 38, -1, 376, ColorTolerable},
        {7, 75, 2, 252, ColorPoor},     {8, 20, -2, 437, ColorPoor},    {9, 0, -3, 504, ColorPoor},
    };
    AnalysisResult r = Flat(100);
    for (const Case& k : cases) {
        r.Values[PointAt(k.position)] = k.value;
        r.PointClass[PointAt(k.position)] = k.pointClass;
    }
    const Canvas c = Draw(r, false);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.position);
        const int x = int(MarkerCentre(c, k.position));
        // The marker spans y - 5 .. y + 5 with a black outline.
        for (const int dy : {-4, 0, 4})
            EXPECT_EQ(c.Image.pixelColor(x, k.y + dy), k.colour) << "row " << k.y + dy;
        EXPECT_EQ(c.Image.pixelColor(x, k.y - 5), QColor(Qt::black));
        EXPECT_EQ(c.Image.pixelColor(x, k.y + 5), QColor(Qt::black));
        EXPECT_NE(c.Image.pixelColor(x, k.y + 6), k.colour);
    }
}

TEST(RyodorakuDiagram, ArrowsYellowAndRedPointTowardsTheHigherSide)
{
    struct Case {
        int column;
        int sideClass;
        QColor colour;
    };
    // Negative: the right point is higher, the arrow points left.
    const Case cases[] = {{1, -2, Red}, {2, 1, Yellow}, {7, -1, Yellow}, {12, 2, Red}, {5, 0, Qt::white}};
    AnalysisResult r = Flat(100);
    for (const Case& k : cases)
        r.SideClass[DisplayOrder[k.column]] = k.sideClass;
    const Canvas c = Draw(r, false);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.column);
        const int xc = int(c.Column(k.column));
        const int dir = k.sideClass < 0 ? -1 : 1;
        EXPECT_EQ(c.Image.pixelColor(xc + dir * 5, 30), k.colour) << "head";
        EXPECT_EQ(c.Image.pixelColor(xc - dir * 3, 35), k.colour) << "shaft";
        EXPECT_EQ(c.Image.pixelColor(xc + dir * 5, 39), QColor(Qt::white)) << "below the head";
        EXPECT_EQ(c.Image.pixelColor(xc - dir * 9, 30), QColor(Qt::white)) << "nothing behind the shaft";
    }
}

TEST(RyodorakuDiagram, BodyEnergyAndLimitLinesMoveWithTheBodyEnergy)
{
    AnalysisResult analysed = Uniform(80);
    analysed.Values.fill(140); // markers out of the way

    struct Line {
        double value;
        QColor colour;
    };
    struct Case {
        const char* name;
        AnalysisResult result;
        std::vector<Line> lines;
    };
    const double e = analysed.BodyEnergy;
    const Case cases[] = {
        {"body energy 50, f = 1", Flat(140), {{71.0, Red}, {61.5, Olive}, {50.0, Blue}, {39.5, Olive}, {30.0, Red}}},
        {"body energy 80",
         analysed,
         {{e + analysed.UpperLimit2, Red},
          {e + analysed.UpperLimit1, Olive},
          {e, Blue},
          {e - analysed.LowerLimit1, Olive},
          {e - analysed.LowerLimit2, Red}}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const Canvas c = Draw(k.result, false);
        for (const Line& line : k.lines) {
            const int y = int(c.Y(line.value));
            const int x0 = int(c.X0) + 1;
            const int width = int(c.P) - 2;
            EXPECT_GT(Count(c.Image, QRect(x0, y - 1, width, 3), line.colour), 200) << line.value;
            // Beside the line only the crossing grid lines (blue) may share its colour.
            EXPECT_LT(Count(c.Image, QRect(x0, y - 5, width, 2), line.colour), 30) << line.value;
            EXPECT_LT(Count(c.Image, QRect(x0, y + 4, width, 2), line.colour), 30) << line.value;
        }
    }
}

TEST(RyodorakuDiagram, LabelsOnScreenAndPaper)
{
    for (const bool paper : {false, true}) {
        SCOPED_TRACE(paper ? "paper" : "screen");
        AnalysisResult r = Flat(140);
        r.BodyEnergy = 47.6;
        const Canvas c = Draw(r, paper);
        const QFont font = c.Style.Font(8);
        const QFontMetricsF metrics(font, &c.Image);
        const double left = c.Frame.left();
        const double top = c.Frame.top();
        const double h = c.Frame.height();
        const auto centred = [&](int s, const QString& text) {
            return left + c.Column(s) - int(metrics.horizontalAdvance(text)) / 2;
        };

        const QString sides = paper ? QStringLiteral("L   R") : QStringLiteral("L    R");
        const double sidesY = top + (paper ? h + Mm(2) : c.Q + 35);
        ExpectText(c.Image, font, Red, QPointF(centred(1, sides), sidesY), sides);
        ExpectText(c.Image, font, Red, QPointF(centred(7, sides), sidesY), sides);
        ExpectText(c.Image, font, Red, QPointF(centred(10, QStringLiteral("Foot")), sidesY), QStringLiteral("Foot"));
        const double codeY = top + (paper ? h - Mm(7) : c.Q + 4);
        ExpectText(c.Image, font, QColor(0, 128, 0), QPointF(centred(1, QStringLiteral("LU")), codeY),
                   QStringLiteral("LU"));

        // Scale labels "%3d" left of the axis; the body energy label hides the 50 it covers.
        const auto scaleLabel = [&](int value) {
            const double y = c.Y(value);
            return QPointF(left + (paper ? -Mm(10) : 12), top + (paper ? y - Mm(2) : y - 6));
        };
        ExpectText(c.Image, font, Navy, scaleLabel(100), QStringLiteral("100"));
        ExpectText(c.Image, font, Navy, scaleLabel(40), QStringLiteral(" 40"));
        const QSizeF fifty(metrics.horizontalAdvance(QStringLiteral(" 50")), metrics.height());
        EXPECT_EQ(Count(c.Image, QRectF(scaleLabel(50), fifty).toAlignedRect(), Navy), 0);
        QFont bold = font;
        bold.setBold(true);
        const double energyY = c.Y(47.6);
        ExpectText(c.Image, bold, Red,
                   QPointF(left + (paper ? -Mm(13) : 8), top + (paper ? energyY - Mm(2) : energyY - 6)),
                   QStringLiteral("47.6"));
    }
}

TEST(RyodorakuDiagram, TopScaleLabelStaysOnTheScreen)
{
    const Canvas c = Draw(Flat(100), false);
    ExpectText(c.Image, c.Style.Font(8), Navy, QPointF(12, 0), QStringLiteral("150"));
}

TEST(RyodorakuDiagram, PaperLegendAboveTheFrameHatchedInMonochrome)
{
    const Canvas colour = Draw(Flat(100), true, false);
    const Canvas mono = Draw(Flat(100), true, true);
    const double w = colour.Frame.width();
    const double line = colour.Frame.top() - colour.Style.LineHeight();
    struct Case {
        int mark; // in 24ths of the width
        QColor colour;
        QString label;
        std::string hatch;
    };
    const Case cases[] = {{14, ColorNormal, QStringLiteral("Normal"), "cross"},
                          {18, ColorTolerable, QStringLiteral("Tolerable"), "/"},
                          {22, ColorPoor, QStringLiteral("Poor"), "\\"}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.label.toStdString());
        const double mark = colour.Frame.left() + RoundEven(w / 24 * k.mark);
        // The box: 6 mm wide centred on the mark, 0.5 to 2 mm below the line above the frame.
        const QPoint middle(int(mark), int(line + Mm(1.25)));
        EXPECT_EQ(colour.Image.pixelColor(middle), k.colour);
        EXPECT_EQ(colour.Image.pixelColor(int(mark - Mm(2.7)), middle.y()), k.colour);
        EXPECT_NE(colour.Image.pixelColor(int(mark - Mm(3.3)), middle.y()), k.colour);
        EXPECT_EQ(HatchAround(mono.Image, middle, 10), k.hatch);
        ExpectText(colour.Image, colour.Style.Font(8), Qt::black, QPointF(mark + Mm(5), line - Mm(1)), k.label);
    }
}

TEST(RyodorakuDiagram, PaperMarkersClampBelowTheFrameTop)
{
    AnalysisResult r = Flat(100);
    r.Values[PointAt(3)] = 150;
    r.PointClass[PointAt(3)] = 3;
    const Canvas c = Draw(r, true);
    const int x = int(MarkerCentre(c, 3));
    const double top = c.Frame.top();
    // 0.6 mm above and below the level, the level raised to 0.6 mm below the frame top.
    EXPECT_EQ(c.Image.pixelColor(x, int(top + Mm(0.6))), ColorPoor);
    EXPECT_EQ(c.Image.pixelColor(x, int(top - Mm(0.3))), QColor(Qt::white)) << "nothing above the frame";
    EXPECT_EQ(c.Image.pixelColor(int(MarkerCentre(c, 4)), int(top + c.Y(100))), ColorNormal);
}

} // namespace
