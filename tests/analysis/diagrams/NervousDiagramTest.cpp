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

using namespace qern;

namespace {

constexpr double Pi = 3.14159265358979323846;

// The sectors' groups, clockwise from twelve o'clock, and their labels.
constexpr std::array<int, 8> SectorGroup{3, 4, 7, 8, 6, 5, 2, 1};
const QStringList SectorLabel{"Tri.Yin-RH", "Tri.Yang-RH", "Tri.Yin-RF", "Tri.Yang-RF",
                              "Tri.Yang-LF", "Tri.Yin-LF", "Tri.Yang-LH", "Tri.Yin-LH"};

struct Canvas {
    DiagramStyle Style;
    QRectF Frame;
    QImage Image;
};

double Mm(double mm) { return std::round(mm * 600 / 25.4); }

Canvas Draw(const AnalysisResult& result, bool paper, bool monochrome = false)
{
    Canvas c{DiagramStyle::Screen(), QRectF(0, 0, ScreenChartWidth, ScreenChartHeight),
             QImage(ScreenChartWidth, ScreenChartHeight, QImage::Format_RGB32)};
    if (paper) {
        QFont font(QStringLiteral("Tahoma"));
        font.setPointSizeF(10);
        c.Style = DiagramStyle::Paper(600, monochrome, Mm(4.4), font);
        // The printed frame: 10 mm from the left, 160 x 90 mm, with room around it.
        c.Frame = QRectF(Mm(10), Mm(25), Mm(160), Mm(90));
        c.Image = QImage(int(Mm(215)), int(Mm(130)), QImage::Format_RGB32);
        c.Image.setDotsPerMeterX(int(std::round(600 / 0.0254)));
        c.Image.setDotsPerMeterY(int(std::round(600 / 0.0254)));
    }
    c.Image.fill(Qt::white);
    QPainter painter(&c.Image);
    DrawNervousDiagram(painter, c.Frame, DiagramInput{result, true, {}, {}}, c.Style);
    return c;
}

// The pie of a frame, computed from its size as the diagram's geometry says.
struct Pie {
    double Cx, Cy, Rx, Ry;

    static Pie Of(const Canvas& c)
    {
        const double w = c.Frame.width();
        const double h = c.Frame.height();
        const double margin = c.Style.IsPaper() ? Mm(6) : 30;
        const double l = RoundEven(w / 12 * 2.5) + margin;
        const double r = RoundEven(w / 12 * 9.5) - margin;
        const double rx = (r - l) / 2;
        const double ry = (h - 2 * margin) / 2;
        return {c.Frame.left() + RoundEven(l + rx), c.Frame.top() + RoundEven(margin + ry), rx, ry};
    }

    // The pixel at direction `degrees` (0 left, 90 top, clockwise) and radius factor k.
    QPoint At(double degrees, double k) const
    {
        const double a = degrees * Pi / 180;
        return QPoint(int(std::lround(Cx - std::cos(a) * Rx * k)), int(std::lround(Cy - std::sin(a) * Ry * k)));
    }
};

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

// The text as the diagram places it (top-left of the text cell at `topLeft`),
// drawn alone on `background`. Glyph edges may be rasterised a little
// differently from call to call, so the comparison asks for ink in the text
// colour where the glyphs are solid and the same extent of ink (within a pixel).
void ExpectText(const Canvas& c, const QFont& font, const QColor& colour, QPointF topLeft, const QString& text,
                const QColor& background = Qt::white)
{
    const QFontMetricsF metrics(font, &c.Image);
    const QRect box = QRectF(topLeft, QSizeF(metrics.horizontalAdvance(text), metrics.height()))
                          .toAlignedRect()
                          .adjusted(-2, -2, 2, 2);
    QImage alone(box.size(), QImage::Format_RGB32);
    alone.setDotsPerMeterX(c.Image.dotsPerMeterX());
    alone.setDotsPerMeterY(c.Image.dotsPerMeterY());
    alone.fill(background);
    QPainter painter(&alone);
    painter.translate(-box.topLeft());
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QPointF(topLeft.x(), topLeft.y() + QFontMetricsF(font, &alone).ascent()), text);
    painter.end();
    // How far a pixel lies from the background towards the text colour, and
    // whether it lies on the way between them at all.
    const int channel[3] = {colour.red() - background.red(), colour.green() - background.green(),
                            colour.blue() - background.blue()};
    const int widest = std::abs(channel[0]) >= std::abs(channel[1]) && std::abs(channel[0]) >= std::abs(channel[2]) ? 0
                       : std::abs(channel[1]) >= std::abs(channel[2])                                              ? 1
                                                                                                                   : 2;
    const auto parts = [](QRgb p) { return std::array<int, 3>{qRed(p), qGreen(p), qBlue(p)}; };
    const auto coverage = [&](QRgb p) {
        return double(parts(p)[widest] - parts(background.rgb())[widest]) / channel[widest];
    };
    const auto onTheWay = [&](QRgb p) {
        const double t = coverage(p);
        for (int i = 0; i < 3; ++i)
            if (std::abs(parts(p)[i] - (parts(background.rgb())[i] + t * channel[i])) > 48)
                return false;
        return true;
    };
    int solid = 0;
    int missing = 0;
    QRect expectedInk;
    QRect ink;
    for (int y = 0; y < box.height(); ++y)
        for (int x = 0; x < box.width(); ++x) {
            if (!c.Image.rect().contains(box.x() + x, box.y() + y))
                continue;
            const QRgb expected = alone.pixel(x, y);
            const QRgb drawn = c.Image.pixel(box.x() + x, box.y() + y);
            if (expected != background.rgb())
                expectedInk |= QRect(x, y, 1, 1);
            if (drawn != background.rgb())
                ink |= QRect(x, y, 1, 1);
            if (coverage(expected) >= 0.6) {
                ++solid;
                missing += coverage(drawn) < 0.3 || !onTheWay(drawn);
            }
        }
    const std::string what = "\"" + text.toStdString() + "\" at " + std::to_string(topLeft.x()) + ", " +
                             std::to_string(topLeft.y());
    ASSERT_GT(solid, 0) << what;
    EXPECT_LE(missing, solid / 50) << what;
    EXPECT_LE(std::abs(ink.left() - expectedInk.left()), 1) << what;
    EXPECT_LE(std::abs(ink.right() - expectedInk.right()), 1) << what;
    EXPECT_LE(std::abs(ink.top() - expectedInk.top()), 1) << what;
    EXPECT_LE(std::abs(ink.bottom() - expectedInk.bottom()), 1) << what;
}

// The direction of a hatch around `centre`: "cross", "\\" or "/".
std::string Hatch(const QImage& image, QPoint centre)
{
    int ink = 0;
    int down = 0;
    int up = 0;
    const auto inked = [&](int x, int y) { return image.pixel(x, y) != qRgb(255, 255, 255); };
    for (int y = centre.y() - 12; y < centre.y() + 12; ++y)
        for (int x = centre.x() - 12; x < centre.x() + 12; ++x) {
            if (!inked(x, y))
                continue;
            ++ink;
            down += inked(x + 1, y + 1);
            up += inked(x - 1, y + 1);
        }
    if (ink == 0 || ink > 24 * 24 * 3 / 4)
        return "none";
    if (down > ink / 3 && up > ink / 3)
        return "cross";
    if (down > ink / 2 && up < ink / 5)
        return "\\";
    if (up > ink / 2 && down < ink / 5)
        return "/";
    return "mixed";
}

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
        const Canvas c = Draw(r, false);
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
        const Canvas c = Draw(r, false);
        const Pie pie = Pie::Of(c);
        const double k = RadiusFactor(energy, r.HighGroup);
        int onRing = 0;
        int elsewhere = 0;
        for (int y = 0; y < c.Image.height(); ++y)
            for (int x = 0; x < c.Image.width(); ++x) {
                if (c.Image.pixelColor(x, y) != QColor(Qt::red))
                    continue;
                const double u = (x - pie.Cx) / pie.Rx;
                const double v = (y - pie.Cy) / pie.Ry;
                (std::abs(std::sqrt(u * u + v * v) - k) < 0.01 ? onRing : elsewhere)++;
            }
        EXPECT_GT(onRing, 200) << "a dotted ring";
        EXPECT_EQ(elsewhere, 0);
    }
}

TEST(NervousDiagram, AllGroupsZeroStillDrawsThePie)
{
    // HighGroup 0 would divide by zero; the window shows it as 1.0.
    const Canvas c = Draw(Groups({0, 0, 0, 0, 0, 0, 0, 0}, 0), false);
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
        const Canvas c = Draw(Groups(k.groups, 47.6), k.paper);
        const double w = c.Frame.width();
        const double h = c.Frame.height();
        const double x = c.Frame.left() + RoundEven(k.paper ? w - w / 12 : w - w / 8);
        const double y = c.Frame.top() + RoundEven(h - h / 5);
        const double step = k.paper ? Mm(5) : 20;
        for (int n = 0; n < 4; ++n)
            ExpectText(c, c.Style.Font(8), QColor(0, 0, 255), QPointF(x, y + step * n), k.side[n]);

        if (k.paper)
            continue; // the paper text is wider than the disc, on two backgrounds
        const Pie pie = Pie::Of(c);
        const QFont font = c.Style.Font(8);
        const QString average = QStringLiteral("Avg: 47.6");
        ExpectText(c, font, Qt::black,
                   QPointF(RoundEven(pie.Cx - QFontMetricsF(font, &c.Image).horizontalAdvance(average) / 2),
                           pie.Cy + 25),
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
        const Canvas c = Draw(r, false);
        const Pie pie = Pie::Of(c);
        QFont font = c.Style.Font(23, true);
        font.setFamily(QStringLiteral("Times New Roman"));
        const QString ratio = QString::asprintf("%1.2f", 60 / k.low);
        ExpectText(c, font, k.colour,
                   QPointF(RoundEven(pie.Cx - QFontMetricsF(font, &c.Image).horizontalAdvance(ratio) / 2),
                           pie.Cy - 20),
                   ratio, QColor(221, 222, 255));
    }
}

TEST(NervousDiagram, PaperFillsSolidInColourHatchedInMonochrome)
{
    // Sector 2 holds group 4 (the highest), sector 6 group 5 (the lowest).
    const AnalysisResult r = Groups({50, 52, 54, 60, 48, 56, 55, 53}, 30);
    const Canvas colour = Draw(r, true, false);
    const Canvas mono = Draw(r, true, true);
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
        EXPECT_EQ(Hatch(mono.Image, probe), k.hatch);
    }
    // The grey disc would hide the ratio in monochrome; it stays white there.
    EXPECT_EQ(colour.Image.pixelColor(pie.At(90, 0.19)), QColor(221, 222, 255));
    EXPECT_EQ(mono.Image.pixelColor(pie.At(90, 0.19)), QColor(Qt::white));
}

TEST(NervousDiagram, PaperLabelsClearTheOuterEllipse)
{
    const Canvas c = Draw(Groups({50, 60, 45, 48, 40, 52, 47, 55}, 47.6), true);
    const Pie pie = Pie::Of(c);
    const QFont font = c.Style.Font(8);
    const QFontMetricsF metrics(font, &c.Image);
    for (int i = 1; i <= 8; ++i) {
        SCOPED_TRACE(i);
        const double d = (67 + 45 * i) * Pi / 180;
        const double tw = metrics.horizontalAdvance(SectorLabel[i - 1]);
        const double x =
            RoundEven(i <= 4 ? pie.Cx - std::cos(d) * 1.1 * pie.Rx : pie.Cx - (tw + 1.1 * pie.Rx) * std::cos(d));
        const double y = RoundEven(pie.Cy - std::sin(d) * 1.1 * pie.Ry - Mm(1));
        // The label keeps its x; its text box lies wholly outside the outer ellipse.
        int navy = 0;
        for (int yy = int(y) - int(Mm(4)); yy < int(y + metrics.height() + Mm(4)); ++yy)
            for (int xx = int(x); xx < int(x + tw); ++xx) {
                if (c.Image.pixelColor(xx, yy) != QColor(0, 0, 128))
                    continue;
                ++navy;
                const double u = (xx - pie.Cx) / pie.Rx;
                const double v = (yy - pie.Cy) / pie.Ry;
                // Beyond the outer ellipse and its 0.4 mm pen.
                ASSERT_GT(u * u + v * v, 1.01) << "label ink on the ellipse at " << xx << ", " << yy;
            }
        EXPECT_GT(navy, 0);
    }
}

} // namespace
