#include "DiagramTestSupport.h"

#include "analysis/diagrams/Diagrams.h"
#include "shell/MeridianModel.h"

#include <QImage>
#include <QPainter>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

using namespace qern;
using namespace qern::diagram_test;

namespace {

const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Olive(128, 128, 0);
const QColor Navy(0, 0, 128);
const QColor DarkGreen(0, 128, 0);
const QColor Yellow(255, 238, 0);

struct Diagram {
    const char* Name;
    DrawFunction Draw;
};
const Diagram Bars{"bars", DrawExcessDeficiencyBars};
const Diagram Slopes{"slopes", DrawExcessDeficiencySlopes};

// The screen geometry: a 965 x 554 surface.
struct Screen {
    static constexpr double W = ScreenChartWidth;
    static constexpr double H = ScreenChartHeight;
    static constexpr double X0 = 50;
    static constexpr double P = W - 50;
    static constexpr double Y0 = ScreenChartHeight / 2;
    static double Centre(int slot) { return RoundEven(P / 12 * (slot - 1) + P / 24 + X0); }
    // The middle of bar position b, clear of the column lines.
    static int BarMiddle(int b) { return int(P / 24 * (b - 0.5) + X0); }
    static double Level(double deviation, double bodyEnergy)
    {
        return RoundEven(Y0 - Y0 * deviation / bodyEnergy);
    }
};

QImage DrawScreen(const Diagram& diagram, const AnalysisResult& result)
{
    Surface screen = ScreenSurface();
    DrawOn(screen, diagram.Draw, result);
    return screen.Image;
}

struct Paper : Surface {
    double Mm(double v) const { return Style.Mm(v); }
};

// The printed diagram at 600 dpi in its 150 x 90 mm frame, 30 mm from the
// left and 20 mm from the top, with room for the labels around it.
Paper DrawPaper(const Diagram& diagram, const AnalysisResult& result, bool monochrome)
{
    Paper paper{PaperSurface(monochrome, ReportLineHeight(), QRectF(30, 20, 150, 90), QSizeF(200, 125))};
    DrawOn(paper, diagram.Draw, result);
    return paper;
}

TEST(ExcessDeficiencyDiagram, AllPointsAtTheBodyEnergyDrawFlatMarksAndNoArrows)
{
    using S = Screen;
    const AnalysisResult balanced = Uniform(50);
    // Arrows lie between y = 22 and 40, under the legend.
    const QRect arrowBand(0, 21, ScreenChartWidth, 21);

    const QImage bars = DrawScreen(Bars, balanced);
    for (int b = 1; b <= PointCount; ++b) {
        const QRect around(S::BarMiddle(b) - 5, int(S::Y0) - 8, 10, 16);
        EXPECT_EQ(Count(bars, around, ColorNormal), 0) << "bar " << b << " has no height";
    }
    EXPECT_EQ(Count(bars, arrowBand, ColorTolerable) + Count(bars, arrowBand, ColorPoor), 0);

    const QImage slopes = DrawScreen(Slopes, balanced);
    EXPECT_EQ(Count(slopes, arrowBand, ColorTolerable) + Count(slopes, arrowBand, ColorPoor), 0);
    int redOnTheMiddleLine = 0;
    for (int s = 1; s <= MeridianCount; ++s) {
        for (int b : {2 * s - 1, 2 * s}) {
            // Below the legend, whose "Normal" swatch shares a column.
            const auto marker = Extent(slopes, QRect(S::BarMiddle(b) - 5, 41, 10, 400), ColorNormal);
            ASSERT_TRUE(marker) << "position " << b;
            EXPECT_THAT((marker->top() + marker->bottom()) / 2.0, Near(S::Y0)) << "position " << b;
        }
        // Between the slot's two markers the line shows on the middle line.
        const QRect gap(int(S::Centre(s)) - 2, int(S::Y0) - 6, 5, 12);
        EXPECT_EQ(Count(slopes, gap, Blue), 0) << "slot " << s;
        redOnTheMiddleLine += Count(slopes, QRect(gap.left(), int(S::Y0) - 1, gap.width(), 2), Red);
    }
    EXPECT_GT(redOnTheMiddleLine, 0) << "equal values give red lines";
}

TEST(ExcessDeficiencyDiagram, MarksFollowTheDeviationWithinTheFrame)
{
    using S = Screen;
    struct Case {
        const char* Name;
        int Point, Position, Class;
        double Deviation, Level;
        QColor Colour;
    };
    // Body energy 50: y0 stands for 50 uA, the top edge for 100.
    const Case cases[] = {
        {"LU left, three times the body energy", 1, 1, 3, 100, 5, ColorPoor},
        {"LU right, twice the body energy", 7, 2, 3, 50, 5, ColorPoor},
        {"LI right, +15", 12, 4, 1, 15, S::Level(15, 50), ColorTolerable},
        {"HT left, -10", 3, 9, 0, -10, S::Level(-10, 50), ColorNormal},
        {"SP left, 0 uA", 13, 13, -3, -50, 2 * S::Y0, ColorPoor},
        {"SP right, below the frame", 19, 14, -3, -60, S::H - 5, ColorPoor},
    };
    AnalysisResult r = Uniform(50);
    for (const Case& c : cases) {
        r.Deviation[c.Point] = c.Deviation;
        r.PointClass[c.Point] = c.Class;
    }
    const QImage bars = DrawScreen(Bars, r);
    const QImage slopes = DrawScreen(Slopes, r);
    for (const Case& c : cases) {
        const QRect column(S::BarMiddle(c.Position) - 3, 0, 6, ScreenChartHeight);
        const auto bar = Extent(bars, column, c.Colour);
        ASSERT_TRUE(bar) << c.Name;
        // Inside a pen-1 outline from y0 to the level.
        const double far = c.Deviation > 0 ? bar->top() - 1 : bar->bottom() + 1;
        const double near = c.Deviation > 0 ? bar->bottom() + 1 : bar->top() - 1;
        EXPECT_THAT(far, Near(c.Level)) << c.Name;
        EXPECT_THAT(near, Near(S::Y0)) << c.Name;

        // A marker reaches 5 above and below its level, inside a pen-1
        // outline; the one at the bottom edge is cut by the surface.
        const auto marker = Extent(slopes, column, c.Colour);
        ASSERT_TRUE(marker) << c.Name;
        EXPECT_THAT(marker->top() + 4, Near(c.Level)) << c.Name;
    }

    // The slope line is blue where the right point is higher, red otherwise:
    // probed around the middle between the two positions of a slot.
    struct Slope {
        int Slot;
        double LeftLevel, RightLevel;
        QColor Colour, Other;
    };
    const Slope lines[] = {
        {2, S::Y0, S::Level(15, 50), Blue, Red}, // LI: right +15 over left 0
        {5, S::Level(-10, 50), S::Y0, Blue, Red}, // HT: right 0 over left -10
        {7, 2 * S::Y0, S::H - 5, Red, Blue},      // SP: right -60 under left -50
    };
    for (const Slope& l : lines) {
        const QRect middle(int(S::Centre(l.Slot)) - 6, int((l.LeftLevel + l.RightLevel) / 2) - 6, 12, 12);
        EXPECT_GT(Count(slopes, middle, l.Colour), 0) << "slot " << l.Slot;
        EXPECT_EQ(Count(slopes, middle, l.Other), 0) << "slot " << l.Slot;
    }
}

TEST(ExcessDeficiencyDiagram, SideClassDrawsAnArrowOverItsColumn)
{
    using S = Screen;
    struct Case {
        const char* Name;
        int Meridian, SideClass, Slot;
        QColor Colour;
    };
    const Case cases[] = {
        {"LU -2: right point higher", 1, -2, 1, ColorPoor},
        {"LI +1: left point higher", 6, 1, 2, ColorTolerable},
        {"BL -1", 10, -1, 12, ColorTolerable},
        {"SP +2", 7, 2, 7, ColorPoor},
    };
    for (const Diagram& diagram : {Bars, Slopes}) {
        for (const Case& c : cases) {
            AnalysisResult r = Uniform(50);
            r.SideClass[c.Meridian] = c.SideClass;
            const QImage image = DrawScreen(diagram, r);
            const int xc = int(S::Centre(c.Slot));
            const int ahead = c.SideClass < 0 ? -1 : 1;
            const std::string name = std::string(diagram.Name) + ", " + c.Name;
            const auto arrow = Extent(image, QRect(0, 21, ScreenChartWidth, 21), c.Colour);
            ASSERT_TRUE(arrow) << name;
            // Tip 13 beyond the centre at y 30, the shaft 5 behind it, from y 22 to 40.
            EXPECT_NEAR(ahead < 0 ? arrow->left() : arrow->right(), xc + ahead * 13, 2) << name;
            EXPECT_THAT(ahead < 0 ? arrow->right() : arrow->left(), Near(xc - ahead * 5)) << name;
            EXPECT_THAT(arrow->top(), Near(22)) << name;
            EXPECT_THAT(arrow->bottom(), Near(39)) << name;
            EXPECT_EQ(image.pixelColor(xc + ahead * 8, 30), c.Colour) << name;
            EXPECT_EQ(image.pixelColor(xc - ahead * 8, 30), QColor(Qt::white)) << name;
        }
    }
}

TEST(ExcessDeficiencyDiagram, LabelsShowAbsoluteLimitsAndTheMeridians)
{
    using S = Screen;
    const AnalysisResult r = Uniform(50); // f = 1
    const QFont font = DiagramStyle::Screen().Font(8);
    const auto limit = [](double deviation) { return S::Level(deviation, 50) - 8; };
    QImage probe(1, 1, QImage::Format_RGB32);
    QPainter measuring(&probe);
    measuring.setFont(font);
    const auto centred = [&](int slot, const QString& text) {
        return S::Centre(slot) - measuring.fontMetrics().horizontalAdvance(text) / 2;
    };
    struct Label {
        QString Text;
        QPointF At;
        QColor Colour;
    };
    const Label labels[] = {
        {QStringLiteral(" 71.0"), {10, limit(21)}, Red},
        {QStringLiteral(" 61.5"), {10, limit(11.5)}, Olive},
        {QStringLiteral(" 50.0"), {10, S::Y0 - 8}, Navy},
        {QStringLiteral(" 39.5"), {10, limit(-10.5)}, Olive},
        {QStringLiteral(" 30.0"), {10, limit(-20)}, Red},
        {QStringLiteral("LU"), {centred(1, "LU"), S::H - 46}, DarkGreen},
        {QStringLiteral("Metal"), {centred(1, "Metal"), S::H - 30}, Blue},
        {QStringLiteral("ST"), {centred(8, "ST"), S::H - 46}, DarkGreen},
        {QStringLiteral("Mi.Fire"), {centred(3, "Mi.Fire"), S::H - 30}, Blue},
        {QStringLiteral("L    R"), {centred(7, "L    R"), S::H - 15}, Red},
        {QStringLiteral("Hand"), {centred(4, "Hand"), S::H - 15}, Red},
        {QStringLiteral("Foot"), {centred(10, "Foot"), S::H - 15}, Red},
    };
    measuring.end();
    for (const Diagram& diagram : {Bars, Slopes}) {
        const QImage image = DrawScreen(diagram, r);
        for (const Label& l : labels)
            EXPECT_TRUE(TextAt(image, l.At, l.Text, l.Colour, font)) << diagram.Name;
    }
}

TEST(ExcessDeficiencyDiagram, PaperLabelsLieLeftOfTheFrameAndOnlyForLinesInside)
{
    // Body energy 10: f = 0.6625, the outer limits fall outside the frame.
    const AnalysisResult r = Uniform(10);
    for (const Diagram& diagram : {Bars, Slopes}) {
        const Paper paper = DrawPaper(diagram, r, false);
        const QRect frame = paper.Frame.toRect();
        const double H = frame.height();
        const double y0 = std::floor(H / 2);
        QImage probe(1, 1, QImage::Format_RGB32);
        probe.setDotsPerMeterX(paper.Image.dotsPerMeterX());
        probe.setDotsPerMeterY(paper.Image.dotsPerMeterY());
        QPainter measuring(&probe);
        measuring.setFont(paper.Style.Font(8));
        const auto rightAligned = [&](double lineY, const QString& text) {
            return QPointF(frame.left() - paper.Mm(3) - measuring.fontMetrics().horizontalAdvance(text),
                           frame.top() + lineY - paper.Mm(2));
        };
        const QFont font = paper.Style.Font(8);
        const double upper = RoundEven(y0 - y0 * r.UpperLimit1 / 10);
        const double lower = RoundEven(y0 + y0 * r.LowerLimit1 / 10);
        const QString upperText = QString::asprintf("%5.1f", 10 + r.UpperLimit1);
        const QString lowerText = QString::asprintf("%5.1f", 10 - r.LowerLimit1);
        const QString energyText = QStringLiteral(" 10.0");
        EXPECT_TRUE(TextAt(paper.Image, rightAligned(upper, upperText), upperText, Olive, font)) << diagram.Name;
        EXPECT_TRUE(TextAt(paper.Image, rightAligned(lower, lowerText), lowerText, Olive, font)) << diagram.Name;
        EXPECT_TRUE(TextAt(paper.Image, rightAligned(y0, energyText), energyText, Navy, font)) << diagram.Name;
        measuring.end();
        // No outer lines (they would run above and below the frame) and no
        // red labels left of it; the red below the frame is "L   R", "Hand", "Foot".
        EXPECT_EQ(Count(paper.Image, QRect(0, 0, paper.Image.width(), frame.top()), Red), 0) << diagram.Name;
        EXPECT_EQ(Count(paper.Image, QRect(0, frame.bottom() + int(paper.Mm(8)), paper.Image.width(), frame.height()),
                        Red),
                  0)
            << diagram.Name;
        EXPECT_EQ(Count(paper.Image, QRect(0, 0, frame.left(), paper.Image.height()), Red), 0) << diagram.Name;
        EXPECT_GT(Count(paper.Image, QRect(frame.left(), frame.top() + int(upper) - 2, frame.width(), 5), Olive), 0)
            << diagram.Name;
    }
}

TEST(ExcessDeficiencyDiagram, PaperArrowsAndLegendAboveTheFrame)
{
    AnalysisResult r = Uniform(50);
    r.SideClass[1] = -2;
    r.SideClass[6] = 1;
    struct Case {
        Diagram Drawing;
        QColor Poor, Tolerable;
        double BoxWidth, BoxHeight;
    };
    // The printed bar diagram fills its arrows yellow and red.
    const Case cases[] = {{Bars, Red, Yellow, 5, 4}, {Slopes, ColorPoor, ColorTolerable, 3, 3}};
    for (const Case& c : cases) {
        const Paper paper = DrawPaper(c.Drawing, r, false);
        const QRect frame = paper.Frame.toRect();
        const double W = frame.width();
        const auto column = [&](int slot) { return frame.left() + int(RoundEven(W / 12 * (slot - 1) + W / 24)); };
        const int tipY = frame.top() + int(paper.Mm(2.5));
        // LU: pointing left, 2.5 mm beyond the centre; LI: pointing right.
        EXPECT_EQ(paper.Image.pixelColor(column(1) - int(paper.Mm(2)), tipY), c.Poor) << c.Drawing.Name;
        EXPECT_EQ(paper.Image.pixelColor(column(1) + int(paper.Mm(2)), tipY), QColor(Qt::white)) << c.Drawing.Name;
        EXPECT_EQ(paper.Image.pixelColor(column(2) + int(paper.Mm(2)), tipY), c.Tolerable) << c.Drawing.Name;
        EXPECT_EQ(paper.Image.pixelColor(column(2) + int(paper.Mm(2.7)), tipY), QColor(Qt::white)) << c.Drawing.Name;

        // Legend boxes at 14, 18 and 22 24ths of the width, one line above the frame.
        const QColor states[] = {ColorNormal, ColorTolerable, ColorPoor};
        for (int i = 0; i < 3; ++i) {
            const QRect area(frame.left() + int(W * (14 + 4 * i) / 24) - 20, 0, int(paper.Mm(6)) + 40,
                             frame.top());
            const auto box = Extent(paper.Image, area, states[i]);
            ASSERT_TRUE(box) << c.Drawing.Name << " " << i;
            EXPECT_NEAR(box->left(), frame.left() + RoundEven(W * (14 + 4 * i) / 24), paper.Mm(0.3));
            EXPECT_NEAR(box->width(), paper.Mm(c.BoxWidth), paper.Mm(0.3)) << c.Drawing.Name;
            EXPECT_NEAR(box->height(), paper.Mm(c.BoxHeight), paper.Mm(0.3)) << c.Drawing.Name;
            EXPECT_NEAR(box->top(), frame.top() - paper.Style.LineHeight(), paper.Mm(0.3)) << c.Drawing.Name;
        }
    }
}

TEST(ExcessDeficiencyDiagram, MonochromeLegendsDifferByHatching)
{
    for (const Diagram& diagram : {Bars, Slopes}) {
        const Paper paper = DrawPaper(diagram, Uniform(50), true);
        const QRect frame = paper.Frame.toRect();
        // Samples inside each box, at the same device offsets modulo the
        // hatch cell, so that equal hatches would compare equal.
        const int y = int(frame.top() - paper.Style.LineHeight() + paper.Mm(1)) / 8 * 8;
        QList<QImage> samples;
        for (int i = 0; i < 3; ++i) {
            const int x = int(frame.left() + frame.width() * (14 + 4 * i) / 24.0 + paper.Mm(0.7)) / 8 * 8 + 8;
            const QImage sample = paper.Image.copy(x, y, 16, 16);
            EXPECT_GT(Count(sample, sample.rect(), Qt::white), 0) << diagram.Name << " " << i;
            EXPECT_GT(Count(sample, sample.rect(), QColor(112, 112, 112)), 0) << diagram.Name << " " << i;
            samples.append(sample);
        }
        EXPECT_NE(samples[0], samples[1]) << diagram.Name;
        EXPECT_NE(samples[1], samples[2]) << diagram.Name;
        EXPECT_NE(samples[0], samples[2]) << diagram.Name;
    }
}

} // namespace
