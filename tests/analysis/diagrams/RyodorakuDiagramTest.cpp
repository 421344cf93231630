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

namespace {

const QColor Yellow(255, 238, 0);
const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Olive(128, 128, 0);
const QColor Navy(0, 0, 128);

double Mm(double mm) { return std::round(mm * 600 / 25.4); }

struct Canvas {
    DiagramStyle Style;
    QRectF Frame;
    QImage Image;
    // The plot as the diagram's geometry defines it, relative to the frame.
    double X0, P, Q;

    double Column(int s) const { return RoundEven(P / 12 * (s - 1) + P / 24 + X0); }
    double Y(double v) const { return RoundEven(Q - Q / 150 * v); }
};

Canvas Draw(const AnalysisResult& result, bool paper, bool monochrome = false)
{
    Canvas c{DiagramStyle::Screen(), QRectF(0, 0, ScreenChartWidth, ScreenChartHeight),
             QImage(ScreenChartWidth, ScreenChartHeight, QImage::Format_RGB32), 50, ScreenChartWidth - 50,
             ScreenChartHeight - 50};
    if (paper) {
        QFont font(QStringLiteral("Tahoma"));
        font.setPointSizeF(10);
        c.Style = DiagramStyle::Paper(600, monochrome, Mm(4.4), font);
        // The printed frame: 30 mm from the left, 150 x 90 mm; the scale lies left of it.
        c.Frame = QRectF(Mm(30), Mm(25), Mm(150), Mm(90));
        c.Image = QImage(int(Mm(200)), int(Mm(130)), QImage::Format_RGB32);
        c.Image.setDotsPerMeterX(int(std::round(600 / 0.0254)));
        c.Image.setDotsPerMeterY(int(std::round(600 / 0.0254)));
        c.X0 = 0;
        c.P = c.Frame.width();
        c.Q = c.Frame.height() - Mm(7);
    }
    c.Image.fill(Qt::white);
    QPainter painter(&c.Image);
    DrawRyodoraku(painter, c.Frame, DiagramInput{result, true, {}, {}}, c.Style);
    return c;
}

// Body energy 50 and the limits of f = 1, every point at `value`, class 0.
AnalysisResult Flat(double value)
{
    AnalysisResult r;
    r.BodyEnergy = 50;
    r.UpperLimit1 = 11.5;
    r.UpperLimit2 = 21;
    r.LowerLimit1 = 10.5;
    r.LowerLimit2 = 20;
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

int CountColour(const QImage& image, const QRect& area, const QColor& colour)
{
    int n = 0;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

// The direction of a hatch around `centre`: "cross", "\\", "/" or "none".
std::string Hatch(const QImage& image, QPoint centre)
{
    int ink = 0;
    int down = 0;
    int up = 0;
    const auto inked = [&](int x, int y) { return image.pixel(x, y) != qRgb(255, 255, 255); };
    for (int y = centre.y() - 10; y < centre.y() + 10; ++y)
        for (int x = centre.x() - 12; x < centre.x() + 12; ++x) {
            if (!inked(x, y))
                continue;
            ++ink;
            down += inked(x + 1, y + 1);
            up += inked(x - 1, y + 1);
        }
    if (ink == 0 || ink > 20 * 24 * 3 / 4)
        return "none";
    if (down > ink / 3 && up > ink / 3)
        return "cross";
    if (down > ink / 2 && up < ink / 5)
        return "\\";
    if (up > ink / 2 && down < ink / 5)
        return "/";
    return "mixed";
}

TEST(RyodorakuDiagram, AllPointsEqualGreenMarkersAndNoArrows)
{
    AnalysedMeasurement m;
    m.RawValues.fill(50);
    const AnalysisResult r = Analyse(m, Coefficients(1.0));
    const Canvas c = Draw(r, false);
    for (int b = 1; b <= PointCount; ++b)
        EXPECT_EQ(c.Image.pixelColor(int(MarkerCentre(c, b)), int(c.Y(50))), ColorNormal) << "position " << b;
    const QRect arrows(int(c.X0) + 2, 22, int(c.P) - 2, 19);
    EXPECT_EQ(CountColour(c.Image, arrows, Yellow), 0);
    EXPECT_EQ(CountColour(c.Image, arrows, Red), 0);
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
    AnalysedMeasurement m;
    m.RawValues.fill(80);
    AnalysisResult analysed = Analyse(m, Coefficients(1.0));
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
            EXPECT_GT(CountColour(c.Image, QRect(x0, y - 1, width, 3), line.colour), 200) << line.value;
            // Beside the line only the crossing grid lines (blue) may share its colour.
            EXPECT_LT(CountColour(c.Image, QRect(x0, y - 5, width, 2), line.colour), 30) << line.value;
            EXPECT_LT(CountColour(c.Image, QRect(x0, y + 4, width, 2), line.colour), 30) << line.value;
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
        ExpectText(c, font, Red, QPointF(centred(1, sides), sidesY), sides);
        ExpectText(c, font, Red, QPointF(centred(7, sides), sidesY), sides);
        ExpectText(c, font, Red, QPointF(centred(10, QStringLiteral("Foot")), sidesY), QStringLiteral("Foot"));
        const double codeY = top + (paper ? h - Mm(7) : c.Q + 4);
        ExpectText(c, font, QColor(0, 128, 0), QPointF(centred(1, QStringLiteral("LU")), codeY),
                   QStringLiteral("LU"));

        // Scale labels "%3d" left of the axis; the body energy label hides the 50 it covers.
        const auto scaleLabel = [&](int value) {
            const double y = c.Y(value);
            return QPointF(left + (paper ? -Mm(10) : 12), top + (paper ? y - Mm(2) : y - 6));
        };
        ExpectText(c, font, Navy, scaleLabel(100), QStringLiteral("100"));
        ExpectText(c, font, Navy, scaleLabel(40), QStringLiteral(" 40"));
        const QSizeF fifty(metrics.horizontalAdvance(QStringLiteral(" 50")), metrics.height());
        EXPECT_EQ(CountColour(c.Image, QRectF(scaleLabel(50), fifty).toAlignedRect(), Navy), 0);
        QFont bold = font;
        bold.setBold(true);
        const double energyY = c.Y(47.6);
        ExpectText(c, bold, Red,
                   QPointF(left + (paper ? -Mm(13) : 8), top + (paper ? energyY - Mm(2) : energyY - 6)),
                   QStringLiteral("47.6"));
    }
}

TEST(RyodorakuDiagram, TopScaleLabelStaysOnTheScreen)
{
    const Canvas c = Draw(Flat(100), false);
    ExpectText(c, c.Style.Font(8), Navy, QPointF(12, 0), QStringLiteral("150"));
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
        EXPECT_EQ(Hatch(mono.Image, middle), k.hatch);
        ExpectText(colour, colour.Style.Font(8), Qt::black, QPointF(mark + Mm(5), line - Mm(1)), k.label);
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
