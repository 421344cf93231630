#include "DiagramTestSupport.h"

#include "analysis/diagrams/Diagrams.h"
#include "shell/MeridianModel.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

using namespace qern;
using namespace qern::diagram_test;

namespace {

constexpr double Pi = std::numbers::pi;

// The sectors' groups, clockwise from twelve o'clock, and their labels.
constexpr std::array<int, 8> SectorGroup{3, 4, 7, 8, 6, 5, 2, 1};
const QStringList SectorLabel{"Tri.Yin-RH", "Tri.Yang-RH", "Tri.Yin-RF", "Tri.Yang-RF",
                              "Tri.Yang-LF", "Tri.Yin-LF", "Tri.Yang-LH", "Tri.Yin-LH"};

Surface Draw(const AnalysisResult& result, bool paper, bool monochrome = false)
{
    // The printed frame: 10 mm from the left, 160 x 90 mm, with room around it.
    Surface c = paper ? PaperSurface(monochrome, Mm(4.4), QRectF(10, 25, 160, 90), QSizeF(215, 130))
                      : ScreenSurface();
    DrawOn(c, DrawNervousDiagram, result);
    return c;
}

// A result with the given group averages, as the analysis fills the fields the
// diagram reads.
AnalysisResult Groups(const std::array<double, 8>& averages, double bodyEnergy)
{
    AnalysisResult r;
    r.HighGroup = 0;
    r.LowGroup = 200;
    for (int g = 1; g <= GroupCount; ++g) {
        r.GroupAverage[g] = averages[static_cast<std::size_t>(g - 1)];
        r.HighGroup = std::max(r.HighGroup, r.GroupAverage[g]);
        r.LowGroup = std::min(r.LowGroup, r.GroupAverage[g]);
    }
    r.BodyEnergy = bodyEnergy;
    r.NervousClass = NervousClassOf(r.HighGroup / r.LowGroup);
    return r;
}

double RadiusFactor(double v, double high) { return (v + 3 * high / 14) / (high + 3 * high / 14); }

TEST(NervousDiagram, HighestAndLowestGroupsAreMarkedTiesIncluded)
{
    struct Case {
        const char* name;
        std::array<double, 8> groups; // groups 1..8
    };
    const Case cases[] = {
        {"one highest, one lowest", {50, 60, 45, 48, 40, 52, 47, 55}},
        {"two groups share the highest", {60, 50, 45, 60, 40, 52, 47, 55}},
        {"two groups share the lowest", {50, 60, 40, 48, 40, 52, 47, 55}},
        {"all equal: every group is the highest", {50, 50, 50, 50, 50, 50, 50, 50}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        // A body energy below every group: its ring lies inside every sector.
        const AnalysisResult r = Groups(k.groups, 30);
        const Surface c = Draw(r, false);
        const Pie pie = Pie::Of(c);
        for (int i = 1; i <= 8; ++i) {
            const double v = r.GroupAverage[SectorGroup[static_cast<std::size_t>(i - 1)]];
            const QColor expected = v == r.HighGroup ? ColorHighest : v == r.LowGroup ? ColorLowest : ColorNormal;
            const double k = RadiusFactor(v, r.HighGroup);
            const double middle = 67.5 + 45 * i;
            EXPECT_EQ(c.Image.pixelColor(pie.At(middle, k - 0.04)), expected) << "sector " << i;
            if (k < 0.95) {
                EXPECT_EQ(c.Image.pixelColor(pie.At(middle, k + 0.04)), QColor(Qt::white))
                    << "sector " << i << " ends at its radius";
            }
        }
    }
}

TEST(NervousDiagram, BodyEnergyRingAtItsRadiusFactor)
{
    for (const double energy : {30.0, 52.0}) {
        SCOPED_TRACE(energy);
        const AnalysisResult r = Groups({50, 60, 45, 48, 40, 52, 47, 55}, energy);
        const Surface c = Draw(r, false);
        const Pie pie = Pie::Of(c);
        const double k = RadiusFactor(energy, r.HighGroup);
        int onRing = 0;
        int elsewhere = 0;
        for (int y = 0; y < c.Image.height(); ++y)
            for (int x = 0; x < c.Image.width(); ++x) {
                if (c.Image.pixelColor(x, y) != QColor(Qt::red))
                    continue;
                const double u = (x - pie.ImageCx()) / pie.Rx;
                const double v = (y - pie.ImageCy()) / pie.Ry;
                (std::abs(std::sqrt(u * u + v * v) - k) < 0.01 ? onRing : elsewhere)++;
            }
        EXPECT_GT(onRing, 200) << "a dotted ring";
        EXPECT_EQ(elsewhere, 0);
    }
}

TEST(NervousDiagram, AllGroupsZeroStillDrawsThePie)
{
    // HighGroup 0 would divide by zero; the window shows it as 1.0.
    const Surface c = Draw(Groups({0, 0, 0, 0, 0, 0, 0, 0}, 0), false);
    const Pie pie = Pie::Of(c);
    EXPECT_EQ(c.Image.pixelColor(pie.At(0, 1)), QColor(128, 128, 128)) << "the outer ellipse";
    EXPECT_EQ(c.Image.pixelColor(pie.At(100, 0.4)), QColor(Qt::white)) << "no sector beyond 3/17";
}

TEST(NervousDiagram, SideAndCentreTextsOnScreenAndPaper)
{
    struct Case {
        const char* name;
        std::array<double, 8> groups;
        bool paper;
        QStringList side;
    };
    const Case cases[] = {
        {"screen",
         {50, 60, 45, 48, 40, 52, 47, 55},
         false,
         {"Average: 47.6", "Hi: Tri.Yang-LH 60.0", "Low: Tri.Yin-LF 40.0", "Value: 1.50  (1~1.5)"}},
        {"screen, all equal: no low label",
         {50, 50, 50, 50, 50, 50, 50, 50},
         false,
         {"Average: 47.6", "Hi: Tri.Yin-LH 50.0", "Low:  50.0", "Value: 1.00  (1~1.5)"}},
        {"paper",
         {50, 60, 45, 48, 40, 52, 47, 55},
         true,
         {"Average: 47.6", "Max: Tri.Yang-LH 60.0", "Min: Tri.Yin-LF 40.0", "Value: 1.50 (1~1.5)"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const Surface c = Draw(Groups(k.groups, 47.6), k.paper);
        const double w = c.Frame.width();
        const double h = c.Frame.height();
        const double x = c.Frame.left() + RoundEven(k.paper ? w - w / 12 : w - w / 8);
        const double y = c.Frame.top() + RoundEven(h - h / 5);
        const double step = k.paper ? Mm(5) : 20;
        for (int n = 0; n < 4; ++n)
            ExpectText(c.Image, c.Style.Font(8), QColor(0, 0, 255), QPointF(x, y + step * n), k.side[n]);

        if (k.paper)
            continue; // the paper text is wider than the disc, on two backgrounds
        const Pie pie = Pie::Of(c);
        const QFont font = c.Style.Font(8);
        const QString average = QStringLiteral("Avg: 47.6");
        ExpectText(c.Image, font, Qt::black,
                   pie.Text(pie.Cx - QFontMetricsF(font, &c.Image).horizontalAdvance(average) / 2, pie.Cy + 25),
                   average, QColor(221, 222, 255));
    }
}

TEST(NervousDiagram, RatioColouredByNervousClass)
{
    struct Case {
        double low;
        QColor colour;
    };
    // High 60: ratios 1.50, 1.71, 2.00, 2.40.
    const Case cases[] = {{40, QColor(0, 128, 0)}, {35, QColor(251, 214, 4)}, {30, QColor(251, 214, 4)},
                          {25, QColor(255, 0, 0)}};
    for (const Case& k : cases) {
        const AnalysisResult r = Groups({50, 60, 45, 48, k.low, 52, 47, 55}, 47.6);
        const Surface c = Draw(r, false);
        const Pie pie = Pie::Of(c);
        QFont font = c.Style.Font(23, true);
        font.setFamily(QStringLiteral("Times New Roman"));
        const QString ratio = QString::asprintf("%1.2f", 60 / k.low);
        ExpectText(c.Image, font, k.colour,
                   pie.Text(pie.Cx - QFontMetricsF(font, &c.Image).horizontalAdvance(ratio) / 2, pie.Cy - 20),
                   ratio, QColor(221, 222, 255));
    }
}

TEST(NervousDiagram, PaperFillsSolidInColourHatchedInMonochrome)
{
    // Sector 2 holds group 4 (the highest), sector 6 group 5 (the lowest).
    const AnalysisResult r = Groups({50, 52, 54, 60, 48, 56, 55, 53}, 30);
    const Surface colour = Draw(r, true, false);
    const Surface mono = Draw(r, true, true);
    const Pie pie = Pie::Of(colour);
    struct Case {
        int sector;
        QColor colour;
        std::string hatch;
    };
    const Case cases[] = {{2, ColorHighest, "cross"}, {6, ColorLowest, "/"}, {1, ColorNormal, "\\"}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.sector);
        const double v = r.GroupAverage[SectorGroup[static_cast<std::size_t>(k.sector - 1)]];
        const QPoint probe = pie.At(67.5 + 45 * k.sector, RadiusFactor(v, r.HighGroup) - 0.1);
        EXPECT_EQ(colour.Image.pixelColor(probe), k.colour);
        EXPECT_EQ(HatchAround(mono.Image, probe), k.hatch);
    }
    // The grey disc would hide the ratio in monochrome; it stays white there.
    EXPECT_EQ(colour.Image.pixelColor(pie.At(90, 0.19)), QColor(221, 222, 255));
    EXPECT_EQ(mono.Image.pixelColor(pie.At(90, 0.19)), QColor(Qt::white));
}

TEST(NervousDiagram, PaperLabelsClearTheOuterEllipse)
{
    const Surface c = Draw(Groups({50, 60, 45, 48, 40, 52, 47, 55}, 47.6), true);
    const Pie pie = Pie::Of(c);
    const QFont font = c.Style.Font(8);
    const QFontMetricsF metrics(font, &c.Image);
    for (int i = 1; i <= 8; ++i) {
        SCOPED_TRACE(i);
        const double d = (67 + 45 * i) * Pi / 180;
        const double tw = metrics.horizontalAdvance(SectorLabel[i - 1]);
        const QPointF label =
            pie.Text(i <= 4 ? pie.Cx - std::cos(d) * 1.1 * pie.Rx : pie.Cx - (tw + 1.1 * pie.Rx) * std::cos(d),
                     pie.Cy - std::sin(d) * 1.1 * pie.Ry - Mm(1));
        const double x = label.x();
        const double y = label.y();
        // The label keeps its x; its text box lies wholly outside the outer ellipse.
        int navy = 0;
        for (int yy = int(y) - int(Mm(4)); yy < int(y + metrics.height() + Mm(4)); ++yy)
            for (int xx = int(x); xx < int(x + tw); ++xx) {
                if (c.Image.pixelColor(xx, yy) != QColor(0, 0, 128))
                    continue;
                ++navy;
                const double u = (xx - pie.ImageCx()) / pie.Rx;
                const double v = (yy - pie.ImageCy()) / pie.Ry;
                // Beyond the outer ellipse and its 0.4 mm pen.
                ASSERT_GT(u * u + v * v, 1.01) << "label ink on the ellipse at " << xx << ", " << yy;
            }
        EXPECT_GT(navy, 0);
    }
}

} // namespace
