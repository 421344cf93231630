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
#include <numbers>
#include <string>

using namespace qern;
using namespace qern::diagram_test;

namespace {

constexpr double Pi = std::numbers::pi;

// The sectors in drawing order: group, directions covered, label direction,
// and a direction for probing the fill away from the texts.
struct Sector {
    int Group;
    double From, To, Label, Probe;
    const char* Text;
};
constexpr std::array<Sector, 6> Sectors{{{Wood, 54, 126, 90, 74, "Wood - LR/GB"},
                                         {HeartFire, 126, 162, 144, 144, "Mo.Fire - HT/SI"},
                                         {Earth, 198, 270, 234, 218, "Earth - SP/ST"},
                                         {Metal, 270, 342, 306, 290, "Metal - LU/LI"},
                                         {Water, 342, 414, 378, 362, "Water - KI/BL"},
                                         {PericardiumFire, 162, 198, 180, 180, "Mi.Fire - PC/TE"}}};

Surface Draw(const AnalysisResult& result, bool paper, bool monochrome = false)
{
    // The printed frame: 10 mm from the left, 160 x 90 mm, with room around it.
    Surface c = paper ? PaperSurface(monochrome, Mm(4.4), QRectF(10, 25, 160, 90), QSizeF(200, 130))
                      : ScreenSurface();
    DrawOn(
        c,
        [](QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style) {
            DrawFiveElements(painter, frame, input, style);
        },
        result);
    return c;
}

double RadiusFactor(double v, double energy) { return (energy + v) / (3 * energy); }

// Body energy 50; each group's average and class as given.
AnalysisResult Elements(const std::array<std::pair<double, int>, 6>& groups)
{
    AnalysisResult r;
    r.BodyEnergy = 50;
    for (int e = 1; e <= 6; ++e) {
        r.ElementAverage[e] = groups[static_cast<std::size_t>(e - 1)].first;
        r.ElementClass[e] = groups[static_cast<std::size_t>(e - 1)].second;
    }
    return r;
}

// Wood normal, Mo.Fire poor, Mi.Fire tolerable, Earth tolerable, Metal poor, Water poor.
const std::array<std::pair<double, int>, 6> Mixed{{{50, 0}, {80, 2}, {40, -1}, {65, 1}, {38, -2}, {100, 2}}};

QColor StateColour(int elementClass)
{
    return elementClass == 0 ? ColorNormal : std::abs(elementClass) == 1 ? ColorTolerable : ColorPoor;
}

TEST(FiveElementsDiagram, AllPointsEqualEverySectorGreenAtTwoThirds)
{
    const AnalysisResult r = Uniform(50);
    const Surface c = Draw(r, false);
    const Pie pie = Pie::Of(c);
    for (const Sector& s : Sectors) {
        SCOPED_TRACE(s.Text);
        EXPECT_EQ(c.Image.pixelColor(pie.At(s.Probe, 2.0 / 3 - 0.04)), ColorNormal);
        EXPECT_EQ(c.Image.pixelColor(pie.At(s.Probe, 2.0 / 3 + 0.04)), QColor(Qt::white));
    }
}

TEST(FiveElementsDiagram, EachGroupItsOwnRadiusAndClassColourFireSplit)
{
    const AnalysisResult r = Elements(Mixed);
    const Surface c = Draw(r, false);
    const Pie pie = Pie::Of(c);
    for (const Sector& s : Sectors) {
        SCOPED_TRACE(s.Text);
        const double k = RadiusFactor(r.ElementAverage[s.Group], r.BodyEnergy);
        EXPECT_EQ(c.Image.pixelColor(pie.At(s.Probe, k - 0.04)), StateColour(r.ElementClass[s.Group]));
        if (k < 0.95) {
            EXPECT_EQ(c.Image.pixelColor(pie.At(s.Probe, k + 0.04)), QColor(Qt::white));
        }
    }
    // The two fire sectors are 36 degrees each, side by side right of Wood.
    EXPECT_EQ(c.Image.pixelColor(pie.At(130, 0.7)), ColorPoor);
    EXPECT_EQ(c.Image.pixelColor(pie.At(158, 0.5)), ColorPoor);
    EXPECT_EQ(c.Image.pixelColor(pie.At(166, 0.5)), ColorTolerable);
    EXPECT_EQ(c.Image.pixelColor(pie.At(194, 0.5)), ColorTolerable);
}

TEST(FiveElementsDiagram, TwiceTheBodyEnergyReachesTheOuterEllipseAndMorePassesIt)
{
    for (const double times : {2.0, 3.0}) {
        SCOPED_TRACE(times);
        auto groups = Mixed;
        groups[0] = {50 * times, 2};
        const Surface c = Draw(Elements(groups), false);
        const Pie pie = Pie::Of(c);
        EXPECT_EQ(c.Image.pixelColor(pie.At(70, 0.97)), ColorPoor);
        EXPECT_EQ(c.Image.pixelColor(pie.At(70, 1.08)), times > 2 ? ColorPoor : QColor(Qt::white));
    }
}

TEST(FiveElementsDiagram, PaperSectorsStayInsideTheFrame)
{
    auto groups = Mixed;
    groups[0] = {500, 2};
    const Surface c = Draw(Elements(groups), true);
    const QRect frame = c.Frame.toAlignedRect();
    int outside = 0;
    for (int y = 0; y < c.Image.height(); ++y)
        for (int x = 0; x < c.Image.width(); ++x)
            outside += !frame.contains(x, y) && c.Image.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_EQ(outside, 0);
    const Pie pie = Pie::Of(c);
    EXPECT_EQ(c.Image.pixelColor(pie.At(70, 1.1)), ColorPoor) << "past the outer ellipse";
}

TEST(FiveElementsDiagram, PaperFillsSolidInColourHatchedInMonochromeOutlinesDarkened)
{
    const AnalysisResult r = Elements(Mixed);
    const Surface colour = Draw(r, true, false);
    const Surface mono = Draw(r, true, true);
    const Pie pie = Pie::Of(colour);
    struct Case {
        std::size_t sector;
        std::string hatch;
    };
    const Case cases[] = {{0, "cross"}, {2, "/"}, {4, "\\"}};
    for (const Case& k : cases) {
        const Sector& s = Sectors[k.sector];
        SCOPED_TRACE(s.Text);
        const QPoint probe = pie.At(s.Probe, RadiusFactor(r.ElementAverage[s.Group], r.BodyEnergy) - 0.05);
        EXPECT_EQ(colour.Image.pixelColor(probe), StateColour(r.ElementClass[s.Group]));
        EXPECT_EQ(HatchAround(mono.Image, probe), k.hatch);
    }
    // The outline of the element figures between Wood and Mo.Fire, beyond both sectors.
    EXPECT_EQ(colour.Image.pixelColor(pie.At(126, 0.92)), QColor(192, 192, 192));
    EXPECT_EQ(mono.Image.pixelColor(pie.At(126, 0.92)), QColor(16, 16, 16));
}

TEST(FiveElementsDiagram, LabelsAndAverages)
{
    const AnalysisResult r = Elements(Mixed);
    for (const bool paper : {false, true}) {
        SCOPED_TRACE(paper ? "paper" : "screen");
        const Surface c = Draw(r, paper);
        const Pie pie = Pie::Of(c);
        const QFont font = c.Style.Font(8);
        const QFontMetricsF metrics(font, &c.Image);
        const double lift = paper ? Mm(1) : 5;
        // Mi.Fire (sectors 2, 3 and 6): at 1.1 of the radius; Metal (4 and 5): its width to the left.
        const Sector& fire = Sectors[5];
        const QPointF firePoint = pie.Point(fire.Label, 1.1);
        ExpectText(c.Image, font, QColor(0, 0, 255), pie.Text(firePoint.x(), firePoint.y() - lift), fire.Text);
        const Sector& metal = Sectors[3];
        const double tw = metrics.horizontalAdvance(metal.Text);
        const double d = metal.Label * Pi / 180;
        const double metalX = RoundEven(pie.Cx - (tw + 1.1 * pie.Rx) * std::cos(d));
        const double metalY = pie.Cy - std::sin(d) * 1.1 * pie.Ry - lift;
        if (!paper) {
            ExpectText(c.Image, font, QColor(0, 0, 255), pie.Text(metalX, metalY), metal.Text);
        } else {
            // On paper the larger text moves down until it clears the outer ellipse and its pen.
            const double u = (metalX + tw - pie.Cx) / pie.Rx;
            ExpectText(c.Image, font, QColor(0, 0, 255),
                       pie.Text(metalX, pie.Cy + pie.Ry * std::sqrt(1 - u * u) + Mm(0.5)), metal.Text);
        }

        // The averages, bold on paper, centred at half the radius.
        QFont valueFont = font;
        valueFont.setBold(paper);
        const QString value = QStringLiteral("50.0");
        const QPointF valuePoint = pie.Point(Sectors[0].Label, 0.5);
        ExpectText(c.Image, valueFont, Qt::black,
                   pie.Text(valuePoint.x() - QFontMetricsF(valueFont, &c.Image).horizontalAdvance(value) / 2,
                            valuePoint.y()),
                   value, ColorNormal);
    }
}

} // namespace
