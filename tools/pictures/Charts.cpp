#include "Charts.h"

#include "Figure.h"
#include "Shapes.h"

#include "shell/MeridianModel.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace qern::pictures {

namespace {

using Polyline = QList<QPointF>;

// A meridian's course in figure units, for one side of the body: x is the
// distance from the midline, so the same course serves the patient's left
// and right side in either view.
struct Course {
    QList<Polyline> Front;
    QList<Polyline> Back;
    QPointF Point;
    bool PointOnBack;
};

// A point across the arm at height y (below the armpit): f = 0 on its inner
// edge (little finger side), 1 on its outer edge (thumb side).
QPointF Arm(double y, double f)
{
    static const QPainterPath outline = FigureOutline();
    QList<double> xs;
    for (const double x : Crossings(outline, y))
        if (x > 0)
            xs.append(x);
    const double outer = xs.last(), inner = xs[xs.size() - 2];
    return {inner + f * (outer - inner), y};
}

// A point across the leg at height y: f = 0 on its inner edge, 1 outside.
QPointF Leg(double y, double f)
{
    static const QPainterPath outline = FigureOutline();
    QList<double> xs;
    for (const double x : Crossings(outline, y))
        if (x > 0 && x < 110)
            xs.append(x);
    const double outer = xs.last(), inner = xs.first();
    return {inner + f * (outer - inner), y};
}

Polyline AlongArm(double f, double from = 290)
{
    Polyline line;
    for (const double y : {from, 340.0, 395.0, 470.0, 535.0})
        line.append(Arm(y, f));
    return line;
}

Polyline AlongLeg(std::initializer_list<std::pair<double, double>> stations)
{
    Polyline line;
    for (const auto& [y, f] : stations)
        line.append(Leg(y, f));
    return line;
}

Polyline Join(std::initializer_list<Polyline> parts)
{
    Polyline line;
    for (const Polyline& part : parts)
        line.append(part);
    return line;
}

Polyline Reversed(Polyline line)
{
    std::reverse(line.begin(), line.end());
    return line;
}

Course CourseOf(int meridian)
{
    switch (meridian) {
    case 1: // LU: chest, front of the arm on the thumb side, thumb
        return {{Join({{{66, 196}, {86, 206}, {102, 240}}, AlongArm(0.68), {{166, 566}, {177, 597}}})},
                {},
                Arm(537, 0.68),
                false};
    case 2: // PC: beside the nipple, middle of the arm's front, middle finger
        return {{Join({{{56, 236}, {76, 244}, {92, 262}}, AlongArm(0.5), {{145, 590}, {149, 658}}})},
                {},
                Arm(537, 0.5),
                false};
    case 3: // HT: armpit, inner edge of the arm's front, little finger
        return {{Join({{{84, 264}}, AlongArm(0.16), {{133, 600}, {134, 648}}})}, {}, Arm(537, 0.16), false};
    case 4: // SI: little finger, back of the arm, shoulder blade, neck, cheek, ear
        return {{{{32, 134}, {38, 110}, {31, 80}, {47, 70}}},
                {Join({{{134, 648}, {131, 600}}, Reversed(AlongArm(0.14, 280)),
                       {{88, 256}, {76, 228}, {60, 208}, {40, 186}, {28, 158}, {32, 130}, {44, 100}}})},
                {130, 562},
                true};
    case 5: // TE: ring finger, middle of the arm's back, shoulder, round the ear, eyebrow
        return {{{{44, 122}, {54, 94}, {60, 68}, {52, 50}, {33, 46}}},
                {Join({{{141, 656}, {142, 600}}, Reversed(AlongArm(0.5)),
                       {{104, 240}, {98, 194}, {64, 170}, {40, 148}, {50, 108}, {56, 80}}})},
                Arm(537, 0.5),
                true};
    case 6: // LI: index finger, thumb side of the arm's back, shoulder, neck, across the lip to the nose
        return {{{{46, 158}, {30, 136}, {22, 112}, {13, 98}, {0, 93}, {-8, 86}}},
                {Join({{{159, 652}, {163, 618}, {164, 590}}, Reversed(AlongArm(0.72)),
                       {{114, 240}, {108, 196}, {84, 170}, {50, 158}}})},
                Arm(537, 0.72),
                true};
    case 7: // SP: big toe, inner edge of the foot and leg, groin, belly, side of the chest
        return {{Join({{{16, 998}, {13, 983}, {17, 962}, {24, 934}},
                       AlongLeg({{880, 0.14}, {800, 0.14}, {745, 0.1}, {680, 0.2}, {620, 0.34}}),
                       {{54, 552}, {60, 500}, {62, 430}, {70, 360}, {76, 300}, {78, 250}, {72, 212}}})},
                {},
                {15, 976},
                false};
    case 8: // LR: big toe, top of the foot, inner leg and thigh, groin, ribs
        return {{Join({{{24, 1000}, {27, 982}, {29, 962}, {29, 938}},
                       AlongLeg({{880, 0.22}, {800, 0.2}, {745, 0.1}, {680, 0.12}, {620, 0.16}}),
                       {{24, 572}, {30, 548}, {40, 505}, {58, 442}, {66, 396}, {54, 296}}})},
                {},
                {29, 962},
                false};
    case 9: // KI: sole, behind the inner ankle, inner leg, belly and chest near the midline
        return {{Join({{{20, 976}, {19, 952}, {22, 934}},
                       AlongLeg({{880, 0.05}, {800, 0.05}, {745, 0.04}, {680, 0.05}, {620, 0.06}}),
                       {{7, 562}, {8, 520}, {8, 440}, {10, 380}, {22, 330}, {22, 250}, {20, 174}}})},
                {Join({{{32, 992}, {26, 960}, {24, 934}},
                       AlongLeg({{880, 0.08}, {800, 0.1}, {745, 0.12}, {680, 0.1}, {620, 0.08}}), {{6, 566}}})},
                {21, 942},
                false};
    case 10: // BL: inner eye, over the head, two lines down the back, back of the leg, little toe
        return {{{{7, 57}, {9, 34}, {12, 8}}},
                {{{12, 4}, {14, 40}, {16, 90}, {15, 130}, {17, 160}, {18, 300}, {18, 450}, {17, 520}, {30, 580},
                  Leg(650, 0.45), Leg(745, 0.5)},
                 {{17, 160}, {36, 182}, {38, 300}, {38, 450}, {44, 520}, {56, 580}, Leg(650, 0.62), Leg(745, 0.5)},
                 Join({AlongLeg({{745, 0.5}, {820, 0.5}, {880, 0.68}}), {{58, 930}, {68, 960}, {74, 986}}})},
                {72, 975},
                true};
    case 11: // GB: outer eye, side of the head, shoulder, flank, outside of the leg, fourth toe
        return {{{{26, 58}, {46, 70}, {42, 40}, {52, 44}, {55, 84}},
                 Join({{{40, 140}, {72, 166}, {80, 250}, {74, 300}, {66, 360}, {66, 410}, {78, 470}, {87, 535}},
                       AlongLeg({{600, 0.92}, {680, 0.9}, {745, 0.88}, {800, 0.84}, {860, 0.8}}),
                       {{55, 918}, {55, 936}, {61, 960}, {61, 997}}})},
                {Join({{{42, 40}, {36, 74}, {22, 112}, {40, 150}, {72, 168}, {80, 250}, {74, 300}, {66, 360},
                        {66, 410}, {78, 470}, {87, 535}},
                       AlongLeg({{600, 0.92}, {680, 0.9}, {745, 0.88}, {800, 0.84}, {860, 0.8}}), {{56, 916}}})},
                {55, 936},
                false};
    default: // ST: below the eye, jaw, temple; chest, belly, front of the thigh, shin, second toe
        return {{{{17, 68}, {18, 86}, {16, 98}, {30, 114}, {40, 100}, {42, 76}, {38, 30}},
                 Join({{{30, 114}, {22, 138}, {32, 158}, {50, 180}, {52, 236}, {50, 290}, {24, 336}, {20, 430},
                        {20, 520}, {34, 550}},
                       AlongLeg({{600, 0.55}, {680, 0.6}, {745, 0.62}, {820, 0.56}, {900, 0.5}}),
                       {{40, 930}, {40, 955}, {33, 1000}}})},
                {},
                {40, 953},
                false};
    }
}

QColor ElementColour(const QString& element)
{
    if (element == QLatin1String("Wood"))
        return {28, 140, 52};
    if (element.endsWith(QLatin1String("Fire")))
        return {214, 38, 38};
    if (element == QLatin1String("Earth"))
        return {200, 128, 0};
    if (element == QLatin1String("Metal"))
        return {120, 70, 180};
    return {28, 86, 204};
}

QFont ChartFont(int pixels, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// Figure units to pixels for a figure centred at x, its crown at top, drawn
// with the patient's left on the viewer's right (front) or left (back).
QTransform Place(double x, double top, double scale, bool mirrored)
{
    return QTransform(mirrored ? -scale : scale, 0, 0, scale, x, top);
}

void DrawCourse(QPainter& p, const QList<Polyline>& lines, double x, double top, double scale, const QColor& colour)
{
    for (const bool mirrored : {false, true}) {
        const QTransform t = Place(x, top, scale, mirrored);
        for (const Polyline& line : lines) {
            const QPainterPath path = t.map(SmoothCurve(line));
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QColor(255, 255, 255, 220), 4.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(path);
            p.setPen(QPen(colour, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(path);
        }
    }
}

void DrawSourceMark(QPainter& p, QPointF at, const QColor& colour)
{
    p.setPen(QPen(QColor(255, 255, 255), 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(at, 6.5, 6.5);
    p.setPen(QPen(QColor(30, 30, 30), 1.6));
    p.drawEllipse(at, 6.5, 6.5);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(colour.darker(130));
    p.drawEllipse(at, 3.6, 3.6);
}

} // namespace

QImage DrawBalanceBackground()
{
    QImage image(BackgroundSize, BackgroundSize, QImage::Format_RGB32);
    // White both shows as clear in the diagram and is the diagram's own ground.
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double scale = 0.355;
    const QTransform t = Place(BackgroundSize / 2.0, 8, scale, false);
    const FigureInk quiet{QColor(238, 242, 248), QColor(178, 190, 208), 1.4, QColor(206, 214, 226), 1.0};
    DrawFigure(p, t, FigureView::Front, quiet);
    return image;
}

QImage DrawMeridianChart(int meridian)
{
    const MeridianInfo& info = MeridianTable(meridian);
    const Course course = CourseOf(meridian);
    const QColor colour = ElementColour(info.Element);

    QImage image(ChartWidth, ChartHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    p.setFont(ChartFont(16, true));
    p.setPen(QColor(30, 30, 30));
    p.drawText(QRectF(0, 6, ChartWidth, 22), Qt::AlignCenter, info.Name + QStringLiteral(" (") + info.Code +
                                                                   QStringLiteral(")"));
    p.setFont(ChartFont(11, false));
    p.setPen(QColor(100, 100, 100));
    p.drawText(QRectF(0, 28, ChartWidth, 16), Qt::AlignCenter,
               info.Channel + QStringLiteral("  \u00b7  ") + info.Element + QStringLiteral("  \u00b7  ") + info.Hours);

    const double scale = 0.415;
    const double top = 56;
    const double frontX = 100, backX = 300;
    const FigureInk ink{QColor(250, 246, 240), QColor(120, 120, 132), 1.2, QColor(176, 176, 188), 0.8};
    DrawFigure(p, Place(frontX, top, scale, false), FigureView::Front, ink);
    DrawFigure(p, Place(backX, top, scale, true), FigureView::Back, ink);
    DrawCourse(p, course.Front, frontX, top, scale, colour);
    DrawCourse(p, course.Back, backX, top, scale, colour);

    // The source point on both sides; its label, on the patient's left, goes
    // into the gap between the two figures.
    const double x = course.PointOnBack ? backX : frontX;
    const QPointF left = Place(x, top, scale, course.PointOnBack).map(course.Point);
    const QPointF right = Place(x, top, scale, !course.PointOnBack).map(course.Point);
    DrawSourceMark(p, left, colour);
    DrawSourceMark(p, right, colour);

    const QString code = info.SourcePoint.simplified().section(QLatin1Char(' '), -1);
    const QString name = info.SourcePoint.simplified().section(QLatin1Char(' '), 0, 0);
    const QString label = code + QLatin1Char(' ') + name;
    const QFont font = ChartFont(12, true);
    p.setFont(font);
    const QFontMetricsF metrics(font);
    const QSizeF size(metrics.horizontalAdvance(label) + 10, metrics.height() + 4);
    const bool hand = meridian <= 6;
    const QPointF centre(ChartWidth / 2.0, hand ? left.y() + 64 : left.y() - 40);
    const QRectF box(centre - QPointF(size.width() / 2, size.height() / 2), size);
    const QPointF towards(course.PointOnBack ? box.right() : box.left(), box.center().y());
    const double length = std::hypot(towards.x() - left.x(), towards.y() - left.y());
    p.setPen(QPen(QColor(60, 60, 60), 1.1));
    p.drawLine(left + (towards - left) * (8.0 / length), towards);
    p.setBrush(QColor(255, 255, 255));
    p.setPen(QPen(colour, 1.4));
    p.drawRoundedRect(box, 4, 4);
    p.setPen(QColor(30, 30, 30));
    p.drawText(box, Qt::AlignCenter, label);

    p.setFont(ChartFont(11, false));
    p.setPen(QColor(110, 110, 110));
    p.drawText(QRectF(frontX - 60, ChartHeight - 18, 120, 16), Qt::AlignCenter, QStringLiteral("Front"));
    p.drawText(QRectF(backX - 60, ChartHeight - 18, 120, 16), Qt::AlignCenter, QStringLiteral("Back"));
    return image;
}

} // namespace qern::pictures
