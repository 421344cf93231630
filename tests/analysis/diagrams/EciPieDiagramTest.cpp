#include "DiagramTestSupport.h"

#include "analysis/diagrams/Diagrams.h"
#include "shell/MeridianModel.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

using namespace qern;
using namespace qern::diagram_test;

namespace {

const QColor White(255, 255, 255);
const QColor GreenText(53, 210, 45);
const QColor OliveText(128, 128, 0);
const QColor RedText(255, 0, 0);
const QColor PaperPoor(255, 111, 114);

// A drawing surface and the pie's geometry as the diagram defines it.
struct Canvas : Surface {
    double W() const { return Frame.width(); }
    double H() const { return Frame.height(); }
    double L() const { return RoundEven(W() / 14); }
    double R() const { return RoundEven(W() / 14 * 8.3); }
    double T() const { return Style.Offset(30, 6); }
    double Rx() const { return (R() - L()) / 2; }
    double Ry() const { return (H() - 2 * T()) / 2; }
    // Absolute image coordinates.
    QPointF Centre() const { return Frame.topLeft() + QPointF(RoundEven(L() + Rx()), RoundEven(T() + Ry())); }
    // The point at `fraction` of the full radius along the middle direction of
    // slot s, turned by `turn` degrees.
    QPointF Along(int s, double fraction, double turn = 0) const
    {
        return DirectionPoint(Centre(), Rx() * fraction, Ry() * fraction, 75 + 30 * s + turn);
    }
    QColor At(const QPointF& p) const { return Image.pixelColor(p.toPoint()); }
};

Canvas ScreenCanvas() { return Canvas{ScreenSurface()}; }

// The printed frame at x0 = 10 mm, 15 mm from the top, on a 600 dpi page.
Canvas PaperCanvas(bool monochrome)
{
    return Canvas{PaperSurface(monochrome, 100, QRectF(10, 15, 160, 90), QSizeF(200, 120))};
}

void Draw(Canvas& c, const AnalysisResult& r) { DrawOn(c, DrawEciPie, r); }

AnalysisResult Scores(double all)
{
    AnalysisResult r;
    r.IntegratedIndex = 88.3;
    r.PointScore.fill(all);
    return r;
}

void SetSlot(AnalysisResult& r, int slot, double left, double right)
{
    r.PointScore[SlotPoints(slot).Left] = left;
    r.PointScore[SlotPoints(slot).Right] = right;
}

// The screen table: column c centred at XI + TW / 7 * c, rows from YI.
constexpr double XI = 593; // round(965 - 965 / 3 - 50)
constexpr double YI = 369; // round(554 - 554 / 3)
constexpr double TW = 965 - XI - 80;
double Column(int c) { return RoundEven(XI + TW / 7 * c); }

// The score cell of slot s, side left or right.
QRect Cell(int s, bool left)
{
    const bool hand = s <= 6;
    const double x = Column(hand ? s + 1 : s - 5);
    const double top = YI + (hand ? 10 : 80) + (left ? 0 : 20);
    return QRect(int(x) - 19, int(top), 38, 15);
}

int CountNear(const QImage& image, const QRect& area, const QColor& colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            const int dr = p.red() - colour.red();
            const int dg = p.green() - colour.green();
            const int db = p.blue() - colour.blue();
            if (dr * dr + dg * dg + db * db < 45 * 45)
                ++count;
        }
    return count;
}

// The text in `area` is written in `colour` and in neither other band colour.
void ExpectTextColour(const QImage& image, const QRect& area, const QColor& colour)
{
    for (const QColor& band : {GreenText, OliveText, RedText}) {
        if (band == colour)
            EXPECT_GT(CountNear(image, area, band), 0) << band.name().toStdString();
        else
            EXPECT_EQ(CountNear(image, area, band), 0) << band.name().toStdString();
    }
}

TEST(EciPieDiagram, AllScoresTenFillEveryFullSector)
{
    AnalysedMeasurement m;
    m.RawValues.fill(50);
    m.DateTime = 45000;
    const AnalysisResult r = Analyse(m, Coefficients(1.0));
    ASSERT_EQ(r.PointScore[1], 10.0);

    Canvas screen = ScreenCanvas();
    Draw(screen, r);
    Canvas paper = PaperCanvas(false);
    Draw(paper, r);
    for (int s = 1; s <= 12; ++s) {
        EXPECT_EQ(screen.At(screen.Along(s, 0.95)), ColorNormal) << s;
        EXPECT_EQ(screen.At(screen.Along(s, 0.3)), ColorNormal) << s;
        EXPECT_EQ(paper.At(paper.Along(s, 0.95)), ColorNormal) << s;
        ExpectTextColour(screen.Image, Cell(s, true), GreenText);
        ExpectTextColour(screen.Image, Cell(s, false), GreenText);
    }
    // The averages: left, right and all 24 (14 points).
    ExpectTextColour(screen.Image, QRect(int(Column(4)) - 19, int(YI + 160), 38, 15), GreenText);
    ExpectTextColour(screen.Image, QRect(int(Column(5)) - 19, int(YI + 160), 38, 15), GreenText);
    ExpectTextColour(screen.Image, QRect(int(Column(7)) - 30, int(YI + 160), 60, 22), GreenText);
}

TEST(EciPieDiagram, SlotScoreOneGivesFiveFourteenthsOfTheRadius)
{
    for (int s : {1, 4, 7, 12}) {
        SCOPED_TRACE(s);
        AnalysisResult r = Scores(10);
        SetSlot(r, s, 1.0, 1.0);
        Canvas c = ScreenCanvas();
        Draw(c, r);
        const double k = (1.0 + 4) / 14;
        const double step = 4 / c.Ry(); // four pixels
        EXPECT_EQ(c.At(c.Along(s, k - step)), ColorPoor);
        EXPECT_EQ(c.At(c.Along(s, k + step)), White);
        // Just outside the centre disc (3/14).
        EXPECT_EQ(c.At(c.Along(s, 3.0 / 14 + 2 * step)), ColorPoor);
        // The neighbours keep their full sectors.
        EXPECT_EQ(c.At(c.Along(s % 12 + 1, k + step)), ColorNormal);
    }

    AnalysisResult r = Scores(10);
    SetSlot(r, 3, 1.0, 1.0);
    Canvas paper = PaperCanvas(false);
    Draw(paper, r);
    const double step = paper.Style.Mm(0.3) / paper.Ry();
    EXPECT_EQ(paper.At(paper.Along(3, 5.0 / 14 - step)), PaperPoor) << "the paper's poor fill";
    EXPECT_EQ(paper.At(paper.Along(3, 5.0 / 14 + step)), White);
}

TEST(EciPieDiagram, ScoreBandsOfSectorsAndTexts)
{
    struct Case {
        int slot;
        double left;
        double right;
        QColor fill;      // of the slot score (left + right) / 2
        QColor leftText;  // of the left score
        QColor rightText; // of the right score
    };
    const Case cases[] = {
        {2, 8.0, 8.0, ColorNormal, GreenText, GreenText},
        {2, 7.9, 8.0, ColorTolerable, OliveText, GreenText}, // 7.95
        {9, 7.0, 7.0, ColorTolerable, OliveText, OliveText},
        {9, 6.9, 7.0, ColorPoor, RedText, OliveText}, // 6.95
        {5, 7.0, 9.0, ColorNormal, OliveText, GreenText}, // 8.0
        {11, 6.0, 8.0, ColorTolerable, RedText, GreenText}, // 7.0
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "slot " << k.slot << " scores " << k.left << " " << k.right);
        AnalysisResult r = Scores(10);
        SetSlot(r, k.slot, k.left, k.right);
        Canvas c = ScreenCanvas();
        Draw(c, r);
        EXPECT_EQ(c.At(c.Along(k.slot, 0.3)), k.fill);
        ExpectTextColour(c.Image, Cell(k.slot, true), k.leftText);
        ExpectTextColour(c.Image, Cell(k.slot, false), k.rightText);
    }
}

TEST(EciPieDiagram, MeansShownAsEightAreGood)
{
    // Six hand scores 7.9 and six foot scores 8.1 per side add up to a mean
    // a hair below 8 in binary arithmetic; it reads "8.0" and is good.
    AnalysisResult r = Scores(10);
    for (int s = 1; s <= 12; ++s)
        SetSlot(r, s, s <= 6 ? 7.9 : 8.1, s <= 6 ? 7.9 : 8.1);
    Canvas c = ScreenCanvas();
    Draw(c, r);
    ExpectTextColour(c.Image, QRect(int(Column(4)) - 19, int(YI + 160), 38, 15), GreenText);
    ExpectTextColour(c.Image, QRect(int(Column(5)) - 19, int(YI + 160), 38, 15), GreenText);
    ExpectTextColour(c.Image, QRect(int(Column(7)) - 30, int(YI + 160), 60, 22), GreenText);
    ExpectTextColour(c.Image, Cell(1, true), OliveText);
}

enum class Hatch { None, Solid, Forward, Backward, Cross };

// Classifies the fill around `p`: the hatch lines are one-pixel diagonals
// repeating every 8 pixels; "/" keeps x + y, "\" keeps x - y.
Hatch HatchAt(const QImage& image, const QPointF& p)
{
    std::array<int, 8> sums{};
    std::array<int, 8> differences{};
    int ink = 0;
    int total = 0;
    const QPoint c = p.toPoint();
    for (int y = c.y() - 16; y < c.y() + 16; ++y)
        for (int x = c.x() - 16; x < c.x() + 16; ++x) {
            ++total;
            if (image.pixelColor(x, y) == White)
                continue;
            ++ink;
            ++sums[static_cast<std::size_t>((x + y) % 8)];
            ++differences[static_cast<std::size_t>(((x - y) % 8 + 8) % 8)];
        }
    if (ink == 0)
        return Hatch::None;
    if (ink == total)
        return Hatch::Solid;
    const double sumShare = double(*std::max_element(sums.begin(), sums.end())) / ink;
    const double differenceShare = double(*std::max_element(differences.begin(), differences.end())) / ink;
    if (sumShare > 0.9 && differenceShare < 0.5)
        return Hatch::Backward;
    if (differenceShare > 0.9 && sumShare < 0.5)
        return Hatch::Forward;
    if (sumShare > 0.35 && differenceShare > 0.35)
        return Hatch::Cross;
    return Hatch::None;
}

QColor InkAround(const QImage& image, const QPointF& p)
{
    const QPoint c = p.toPoint();
    for (int dx = 0; dx < 8; ++dx)
        if (image.pixelColor(c + QPoint(dx, 0)) != White)
            return image.pixelColor(c + QPoint(dx, 0));
    return White;
}

TEST(EciPieDiagram, MonochromeSectorsAreToldApartByTheirHatching)
{
    AnalysisResult r = Scores(10);
    SetSlot(r, 2, 7.5, 7.5);
    SetSlot(r, 3, 5.0, 5.0);
    SetSlot(r, 8, 7.0, 7.0);
    SetSlot(r, 11, 2.0, 2.0);
    struct Case {
        int slot;
        Hatch hatch;
        QColor colour; // in colour mode
    };
    const Case cases[] = {{1, Hatch::Cross, ColorNormal},
                          {2, Hatch::Backward, ColorTolerable},
                          {3, Hatch::Forward, PaperPoor},
                          {8, Hatch::Backward, ColorTolerable},
                          {11, Hatch::Forward, PaperPoor}};
    Canvas mono = PaperCanvas(true);
    Draw(mono, r);
    Canvas colour = PaperCanvas(false);
    Draw(colour, r);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.slot);
        // Beside the middle direction, clear of the score in the sector.
        const QPointF p = mono.Along(k.slot, 0.32, 8);
        EXPECT_EQ(HatchAt(mono.Image, p), k.hatch);
        EXPECT_EQ(HatchAt(colour.Image, p), Hatch::Solid);
        EXPECT_EQ(colour.At(p), k.colour);
        // The hatch lines print in the grey of the colour rule.
        EXPECT_EQ(InkAround(mono.Image, p), QColor(112, 112, 112));
    }
}

TEST(EciPieDiagram, CentreCaptionOnScreenAndPaper)
{
    for (bool paper : {false, true}) {
        SCOPED_TRACE(paper ? "paper" : "screen");
        const QString caption = paper ? QStringLiteral("Int.Index") : QStringLiteral("Integrated Index");
        Canvas c = paper ? PaperCanvas(false) : ScreenCanvas();
        Draw(c, Scores(10));
        Canvas expected = paper ? PaperCanvas(false) : ScreenCanvas();
        const double top = c.Centre().y() - c.Style.Offset(20, 5);
        {
            QPainter p(&expected.Image);
            p.setFont(c.Style.Font(10));
            p.setPen(Qt::black);
            const int width = p.fontMetrics().horizontalAdvance(caption);
            p.drawText(QPointF(c.Centre().x() - width / 2.0, top + p.fontMetrics().ascent()), caption);
        }
        const double half = c.Rx() * 0.35;
        const QRect area(int(c.Centre().x() - half), int(top - c.Style.Offset(3, 0.5)), int(2 * half),
                         int(c.Centre().y() - top));
        ExpectInkAsInReference(c.Image, expected.Image, area, Qt::black);
    }
}

} // namespace
