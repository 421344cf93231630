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
        c.Image = QImage(int(Mm(200)), int(Mm(130)), QImage::Format_RGB32);
        c.Image.setDotsPerMeterX(int(std::round(600 / 0.0254)));
        c.Image.setDotsPerMeterY(int(std::round(600 / 0.0254)));
    }
    c.Image.fill(Qt::white);
    QPainter painter(&c.Image);
    DrawFiveElements(painter, c.Frame, DiagramInput{result, true, {}, {}}, c.Style);
    return c;
}

// The pie of a frame, computed from its size as the diagram's geometry says;
// centre and texts relative to the frame (rounding halves to even there), the
// probes on the image.
struct Pie {
    double Ox, Oy, Cx, Cy, Rx, Ry;

    static Pie Of(const Canvas& c)
    {
        const double w = c.Frame.width();
        const double h = c.Frame.height();
        const double margin = c.Style.IsPaper() ? Mm(6) : 30;
        const double l = RoundEven(w / 12 * 2.5) + margin;
        const double r = RoundEven(w / 12 * 9.5) - margin;
        const double rx = (r - l) / 2;
        const double ry = (h - 2 * margin) / 2;
        return {c.Frame.left(), c.Frame.top(), RoundEven(l + rx), RoundEven(margin + ry), rx, ry};
    }

    // Direction `degrees` (0 left, 90 top, clockwise) at radius factor k, in the frame.
    QPointF Point(double degrees, double k) const
    {
        const double a = degrees * Pi / 180;
        return {Cx - std::cos(a) * Rx * k, Cy - std::sin(a) * Ry * k};
    }
    QPoint At(double degrees, double k) const
    {
        const QPointF p = Point(degrees, k);
        return QPoint(int(std::lround(Ox + p.x())), int(std::lround(Oy + p.y())));
    }
    QPointF Text(double x, double y) const { return QPointF(Ox + RoundEven(x), Oy + RoundEven(y)); }
};

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

TEST(FiveElementsDiagram, AllPointsEqualEverySectorGreenAtTwoThirds)
{
    AnalysedMeasurement m;
    m.RawValues.fill(50);
    const AnalysisResult r = Analyse(m, Coefficients(1.0));
    const Canvas c = Draw(r, false);
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
    const Canvas c = Draw(r, false);
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
        const Canvas c = Draw(Elements(groups), false);
        const Pie pie = Pie::Of(c);
        EXPECT_EQ(c.Image.pixelColor(pie.At(70, 0.97)), ColorPoor);
        EXPECT_EQ(c.Image.pixelColor(pie.At(70, 1.08)), times > 2 ? ColorPoor : QColor(Qt::white));
    }
}

TEST(FiveElementsDiagram, PaperSectorsStayInsideTheFrame)
{
    auto groups = Mixed;
    groups[0] = {500, 2};
    const Canvas c = Draw(Elements(groups), true);
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
    const Canvas colour = Draw(r, true, false);
    const Canvas mono = Draw(r, true, true);
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
        EXPECT_EQ(Hatch(mono.Image, probe), k.hatch);
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
        const Canvas c = Draw(r, paper);
        const Pie pie = Pie::Of(c);
        const QFont font = c.Style.Font(8);
        const QFontMetricsF metrics(font, &c.Image);
        const double lift = paper ? Mm(1) : 5;
        // Mi.Fire (sectors 2, 3 and 6): at 1.1 of the radius; Metal (4 and 5): its width to the left.
        const Sector& fire = Sectors[5];
        const QPointF firePoint = pie.Point(fire.Label, 1.1);
        ExpectText(c, font, QColor(0, 0, 255), pie.Text(firePoint.x(), firePoint.y() - lift), fire.Text);
        const Sector& metal = Sectors[3];
        const double tw = metrics.horizontalAdvance(metal.Text);
        const double d = metal.Label * Pi / 180;
        const double metalX = RoundEven(pie.Cx - (tw + 1.1 * pie.Rx) * std::cos(d));
        const double metalY = pie.Cy - std::sin(d) * 1.1 * pie.Ry - lift;
        if (!paper) {
            ExpectText(c, font, QColor(0, 0, 255), pie.Text(metalX, metalY), metal.Text);
        } else {
            // On paper the larger text moves down until it clears the outer ellipse and its pen.
            const double u = (metalX + tw - pie.Cx) / pie.Rx;
            ExpectText(c, font, QColor(0, 0, 255),
                       pie.Text(metalX, pie.Cy + pie.Ry * std::sqrt(1 - u * u) + Mm(0.5)), metal.Text);
        }

        // The averages, bold on paper, centred at half the radius.
        QFont valueFont = font;
        valueFont.setBold(paper);
        const QString value = QStringLiteral("50.0");
        const QPointF valuePoint = pie.Point(Sectors[0].Label, 0.5);
        ExpectText(c, valueFont, Qt::black,
                   pie.Text(valuePoint.x() - QFontMetricsF(valueFont, &c.Image).horizontalAdvance(value) / 2,
                            valuePoint.y()),
                   value, ColorNormal);
    }
}

} // namespace
