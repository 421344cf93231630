#include "DiagramTestSupport.h"

#include "analysis/diagrams/Diagrams.h"
#include "shell/MeridianModel.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>

using namespace qern;
using namespace qern::diagram_test;

namespace {

const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);
const QColor Olive(128, 128, 0);
const QColor Orange(255, 128, 0);
const QColor Teal(0, 160, 160);
const QColor Magenta(255, 0, 255);

// The screen geometry: a 965 x 554 surface.
struct Screen {
    static constexpr double W = ScreenChartWidth;
    static constexpr double H = ScreenChartHeight;
    static constexpr double PW = W / 5 * 4;
    static constexpr double PH = H / 8 * 7;
    static constexpr double M = 30;
    static constexpr double IW = PW - 2 * M;
    static constexpr double IH = PH - 2 * M;
    static double X(double r) { return RoundEven(M + IW - IW * (r - 0.3) / 1.4); }
    static double Y(double r) { return RoundEven(M + IH - IH * (r - 0.3) / 1.4); }
    static double YE(double e) { return RoundEven(M + IH - IH * e / 140); }
    static double YN(double r) { return RoundEven(M + IH - IH * r / 5); }
};

// A drawn diagram and the picture files it missed.
struct Drawn : Surface {
    QStringList Missing;
};

// The diagram on a white surface, its frame at `origin`.
Drawn DrawScreen(const AnalysisResult& result, bool male = true, const QString& pictures = QString(),
                 QPoint origin = QPoint(0, 0))
{
    Drawn drawn{{DiagramStyle::Screen(), QRectF(origin, QSizeF(ScreenChartWidth, ScreenChartHeight)),
                 QImage(origin.x() + ScreenChartWidth + 20, origin.y() + ScreenChartHeight + 20,
                        QImage::Format_RGB32)},
                {}};
    drawn.Image.fill(Qt::white);
    DrawOn(drawn, DrawBodyEnergyBalance,
           DiagramInput{result, male, pictures, [&](const QString& file) { drawn.Missing.append(file); }});
    return drawn;
}

// The printed diagram at 600 dpi in its 150 x 90 mm frame 30 mm from the left.
Drawn DrawPaper(const AnalysisResult& result, bool monochrome, const QString& pictures = QString())
{
    Drawn paper{PaperSurface(monochrome, ReportLineHeight(), QRectF(30, 20, 150, 90), QSizeF(230, 135)), {}};
    DrawOn(paper, DrawBodyEnergyBalance,
           DiagramInput{result, true, pictures, [&](const QString& file) { paper.Missing.append(file); }});
    return paper;
}

QPointF Centre(const QRect& r) { return QPointF((r.left() + r.right()) / 2.0, (r.top() + r.bottom()) / 2.0); }

// Rows (or columns) of `area` on which a dotted line of `colour` runs.
QList<int> LinesOf(const QImage& image, const QRect& area, const QColor& colour, bool rows)
{
    QList<int> lines;
    const int from = rows ? area.top() : area.left();
    const int to = rows ? area.bottom() : area.right();
    for (int i = from; i <= to; ++i) {
        const QRect strip = rows ? QRect(area.left(), i, area.width(), 1) : QRect(i, area.top(), 1, area.height());
        if (Count(image, strip, colour) >= 15)
            lines.append(i);
    }
    return lines;
}

TEST(BalanceDiagram, BalancedMeasurementCentresEveryMarker)
{
    const Drawn drawn = DrawScreen(Uniform(50));
    using S = Screen;

    const auto plane = Extent(drawn.Image, QRect(0, 0, int(S::PW), int(S::PH)), Green);
    ASSERT_TRUE(plane);
    EXPECT_THAT(Centre(*plane).x(), Near(RoundEven(S::M + S::IW / 2))) << "on the vertical axis";
    EXPECT_THAT(Centre(*plane).y(), Near(RoundEven(S::M + S::IH / 2))) << "on the horizontal axis";
    EXPECT_THAT(plane->width(), Near(2 * 12 - 2)) << "radius 12 inside a pen 2 outline";

    struct Gauge {
        const char* Name;
        QRect Area;
        bool Horizontal;
        double Expected;
    };
    const Gauge gauges[] = {
        {"yin/yang, middle of its gauge", QRect(0, int(S::PH) + 5, int(S::PW), 32), true, S::PW / 2},
        {"body energy 50", QRect(int(S::PW) + 9, 0, 23, int(S::PH)), false, S::YE(50)},
        {"high/low 1.0, top of the grey strip", QRect(int(S::PW) + 109, 0, 23, int(S::PH)), false,
         RoundEven(S::M + S::IH - S::IH * 2 / 10)},
    };
    for (const Gauge& g : gauges) {
        const auto marker = Extent(drawn.Image, g.Area, Green);
        ASSERT_TRUE(marker) << g.Name;
        EXPECT_THAT(g.Horizontal ? Centre(*marker).x() : Centre(*marker).y(), Near(g.Expected)) << g.Name;
    }
}

TEST(BalanceDiagram, MarkersAreHeldInsideThePicture)
{
    using S = Screen;
    // Drawn away from the image's origin, so that a marker at the limit 5 is
    // seen whole and the frame's offset is honoured.
    const QPoint origin(20, 30);
    struct Case {
        const char* Name;
        double Left, Right, Up, Down;
        QPointF Expected;
    };
    const Case cases[] = {
        {"left/right 2.5", 125, 50, 50, 50, {5, RoundEven(S::M + S::IH / 2)}},
        {"left/right 0.1", 5, 50, 50, 50, {RoundEven(S::PW - 5), RoundEven(S::M + S::IH / 2)}},
        {"up/down 0.1", 50, 50, 5, 50, {RoundEven(S::M + S::IW / 2), RoundEven(S::PH - 5)}},
        {"up/down 2.5", 50, 50, 125, 50, {RoundEven(S::M + S::IW / 2), 5}},
        {"inside: left/right 1.15, up/down 0.87", 115, 100, 87, 100, {S::X(1.15), S::Y(0.87)}},
    };
    for (const Case& c : cases) {
        AnalysisResult r = Uniform(50);
        r.LeftAverage = c.Left;
        r.RightAverage = c.Right;
        r.UpAverage = c.Up;
        r.DownAverage = c.Down;
        // The gauges' markers yellow, so that green is the plane marker's
        // alone, and the yin/yang marker off the middle, where a plane marker
        // at the bottom limit reaches down to it.
        r.YinYangClass = r.EnergyClass = r.NervousClass = 1;
        r.YinAverage = 80;
        const Drawn drawn = DrawScreen(r, true, QString(), origin);
        const QRect area(origin - QPoint(20, 20), QSize(int(S::PW) + 40, int(S::PH) + 40));
        const auto marker = Extent(drawn.Image, area, Green);
        ASSERT_TRUE(marker) << c.Name;
        EXPECT_THAT(Centre(*marker).x() - origin.x(), Near(c.Expected.x())) << c.Name;
        EXPECT_THAT(Centre(*marker).y() - origin.y(), Near(c.Expected.y())) << c.Name;
    }

    // A body energy of 150 sits at the top limit, red for class 3.
    AnalysisResult r = Uniform(50);
    r.BodyEnergy = 150;
    r.EnergyClass = 3;
    const Drawn drawn = DrawScreen(r, true, QString(), origin);
    const QRect column(origin.x() + int(S::PW) + 9, 0, 23, drawn.Image.height());
    const auto marker = Extent(drawn.Image, column, Red);
    ASSERT_TRUE(marker);
    EXPECT_THAT(Centre(*marker).y() - origin.y(), Near(5));
    EXPECT_FALSE(Extent(drawn.Image, column, Green)) << "the marker takes the class's colour";
}

TEST(BalanceDiagram, PatientSexChangesOnlyTheVerticalExtentOfTheNormalZones)
{
    using S = Screen;
    const QRect plane(5, 5, int(S::PW) - 10, int(S::PH) - 10);
    const QRect energy(int(S::PW) + 15, int(S::M) - 5, 10, int(S::IH) + 10);
    struct Sex {
        bool Male;
        QList<double> OliveRows, RedRows, NormalBand, TolerableBand;
    };
    const Sex sexes[] = {
        {true, {S::Y(1.2), S::Y(0.87)}, {S::Y(1.4), S::Y(0.73)}, {S::YE(65), S::YE(30)}, {S::YE(75), S::YE(19)}},
        {false, {S::Y(1.1), S::Y(0.77)}, {S::Y(1.25), S::Y(0.64)}, {S::YE(62), S::YE(28)}, {S::YE(72), S::YE(18)}},
    };
    for (const Sex& sex : sexes) {
        const Drawn drawn = DrawScreen(Uniform(50), sex.Male);
        const char* name = sex.Male ? "man" : "woman";
        const QList<int> oliveRows = LinesOf(drawn.Image, plane, Olive, true);
        const QList<int> redRows = LinesOf(drawn.Image, plane, Red, true);
        ASSERT_EQ(oliveRows.size(), 2) << name;
        ASSERT_EQ(redRows.size(), 2) << name;
        for (int i = 0; i < 2; ++i) {
            EXPECT_THAT(oliveRows[i], Near(sex.OliveRows[i])) << name;
            EXPECT_THAT(redRows[i], Near(sex.RedRows[i])) << name;
        }
        // The horizontal extent is the same for both.
        EXPECT_THAT(LinesOf(drawn.Image, plane, Olive, false), testing::ElementsAre(Near(S::X(1.15)), Near(S::X(0.87))))
            << name;
        EXPECT_THAT(LinesOf(drawn.Image, plane, Red, false), testing::ElementsAre(Near(S::X(1.35)), Near(S::X(0.67))))
            << name;

        // The body energy gauge's bands follow the sex too (the green marker
        // at 50 splits the normal band, not its extent).
        const auto normal = Extent(drawn.Image, energy, ColorNormal);
        const auto tolerable = Extent(drawn.Image, energy, ColorTolerable);
        ASSERT_TRUE(normal && tolerable) << name;
        EXPECT_THAT(normal->top(), Near(sex.NormalBand[0])) << name;
        EXPECT_THAT(normal->bottom(), Near(sex.NormalBand[1])) << name;
        EXPECT_THAT(tolerable->top(), Near(sex.TolerableBand[0])) << name;
        EXPECT_THAT(tolerable->bottom(), Near(sex.TolerableBand[1])) << name;
    }
}

// A BMP picture with a teal block on a magenta background; the bottom-left
// pixel makes magenta the transparent colour.
void WritePicture(const QString& folder, const QSize& size, const QRect& block)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Magenta);
    QPainter(&picture).fillRect(block, Teal);
    ASSERT_TRUE(picture.save(folder + QStringLiteral("zebkmg.msi"), "BMP"));
}

TEST(BalanceDiagram, BackgroundPictureIsTransparentAndOnlyOnTheScreen)
{
    using S = Screen;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QStringLiteral("/");
    const QSize size(300, 260);
    // A block in the second quadrant, clear of the zones, axes and labels.
    const QRect block(20, 20, 30, 30);
    WritePicture(folder, size, block);

    const Drawn drawn = DrawScreen(Uniform(50), true, folder);
    EXPECT_TRUE(drawn.Missing.isEmpty());
    const QPoint topLeft(int(RoundEven(S::M + S::IW / 2 - size.width() / 2.0)),
                         int(RoundEven(S::M + S::IH / 2 - size.height() / 2.0 + 10)));
    const auto teal = Extent(drawn.Image, drawn.Image.rect(), Teal);
    ASSERT_TRUE(teal);
    EXPECT_EQ(*teal, block.translated(topLeft));
    EXPECT_EQ(Count(drawn.Image, drawn.Image.rect(), Magenta), 0) << "the background colour is transparent";

    const Drawn paper = DrawPaper(Uniform(50), false, folder);
    EXPECT_FALSE(Extent(paper.Image, paper.Image.rect(), Teal)) << "paper has no picture";
    EXPECT_TRUE(paper.Missing.isEmpty()) << "nor does it look for one";
}

TEST(BalanceDiagram, MissingPictureIsReportedAndTheRestDrawn)
{
    using S = Screen;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QStringLiteral("/");
    // A file that is not a bitmap counts as missing too.
    QFile broken(folder + QStringLiteral("zebkmg.msi"));
    struct Case {
        const char* Name;
        bool Broken;
    };
    for (const Case& c : {Case{"missing", false}, Case{"not a bitmap", true}}) {
        if (c.Broken) {
            ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
            broken.write("not a picture");
            broken.close();
        }
        const Drawn drawn = DrawScreen(Uniform(50), true, folder);
        EXPECT_EQ(drawn.Missing, QStringList{folder + QStringLiteral("zebkmg.msi")}) << c.Name;
        EXPECT_TRUE(Extent(drawn.Image, QRect(0, 0, int(S::PW), int(S::PH)), Green)) << c.Name << ": plane marker";
        EXPECT_TRUE(Extent(drawn.Image, QRect(0, 0, 4, int(S::PH)), Orange)) << c.Name << ": frame";
        EXPECT_TRUE(Extent(drawn.Image, QRect(int(S::PW) + 110, 0, 20, int(S::PH)), ColorPoor))
            << c.Name << ": nerve gauge";
    }
}

TEST(BalanceDiagram, PaperUsesMillimetresAndHatchesInMonochrome)
{
    const Drawn colour = DrawPaper(Uniform(50), false);
    const DiagramStyle& st = colour.Style;
    const double W = colour.Frame.width();
    const double H = colour.Frame.height();
    const double PW = W / 5 * 4;
    const double PH = H / 8 * 7;
    const double M = st.Mm(6);
    const QPoint origin = colour.Frame.topLeft().toPoint();

    const auto plane = Extent(colour.Image, QRect(origin, QSize(int(PW), int(PH))), Green);
    ASSERT_TRUE(plane);
    EXPECT_NEAR(Centre(*plane).x() - origin.x(), RoundEven(PW / 2), 1);
    EXPECT_NEAR(Centre(*plane).y() - origin.y(), RoundEven(M + (PH - 2 * M) / 2), 1);
    EXPECT_NEAR(plane->width(), 2 * st.Mm(2), st.Mm(0.2) + 2) << "radius 2 mm";
    // The body energy gauge lies from 3 mm to 7 mm right of the plane.
    const auto gauge = Extent(colour.Image, QRect(origin.x() + int(PW), origin.y(), int(st.Mm(8)), int(PH)),
                              ColorPoor);
    ASSERT_TRUE(gauge);
    EXPECT_NEAR(gauge->left() - origin.x(), PW + st.Mm(3), st.Mm(0.3));
    EXPECT_NEAR(gauge->right() - origin.x(), PW + st.Mm(7), st.Mm(0.3));
    // The figures read differently on paper.
    const QFont font = st.Font(8);
    const QPointF figures = colour.Frame.topLeft() + QPointF(RoundEven(PW + st.Mm(5)), RoundEven(PH + st.Mm(12.1)));
    EXPECT_TRUE(TextAt(colour.Image, figures, QStringLiteral("Yi/Ya: 1.00"), QColor(0, 0, 128), font));
    const Drawn screen = DrawScreen(Uniform(50));
    EXPECT_TRUE(TextAt(screen.Image, QPointF(RoundEven(Screen::PW + 20), RoundEven(Screen::PH + 49)),
                       QStringLiteral("Yin/Yang : 1.00"), QColor(0, 0, 128), DiagramStyle::Screen().Font(8)));

    // In monochrome the three state bands of the gauge differ by hatch, drawn
    // in the grey of the colour rule on white. The samples lie at the same
    // device offsets modulo the hatch cell, so equal hatches would compare equal.
    const Drawn mono = DrawPaper(Uniform(50), true);
    const int x = (origin.x() + int(PW + st.Mm(4))) / 8 * 8;
    const auto yOf = [&](double energy) { return (origin.y() + int(M + (PH - 2 * M) * (1 - energy / 140))) / 8 * 8; };
    const int rows[] = {yOf(120), yOf(70), yOf(40)}; // poor, tolerable, normal
    QList<QImage> samples;
    for (int y : rows) {
        const QImage sample = mono.Image.copy(x, y, 16, 16);
        EXPECT_GT(Count(sample, sample.rect(), Qt::white), 0);
        EXPECT_GT(Count(sample, sample.rect(), QColor(112, 112, 112)), 0);
        samples.append(sample);
    }
    EXPECT_NE(samples[0], samples[1]);
    EXPECT_NE(samples[1], samples[2]);
    EXPECT_NE(samples[0], samples[2]);
    // The markers too: green and red would print as the same grey.
    const QPoint centre = origin + QPoint(int(RoundEven(PW / 2)), int(RoundEven(M + (PH - 2 * M) / 2)));
    const QImage marker = mono.Image.copy(QRect(centre + QPoint(10, 10), QSize(16, 16)));
    EXPECT_GT(Count(marker, marker.rect(), Qt::white), 0);
    EXPECT_GT(Count(marker, marker.rect(), QColor(112, 112, 112)), 0);
}

} // namespace
