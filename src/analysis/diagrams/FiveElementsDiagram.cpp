#include "ClassColour.h"
#include "Diagrams.h"
#include "DiagramText.h"
#include "PieGeometry.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <array>

namespace qern {

namespace {

using namespace diagram_text;
using namespace pie_geometry;

// The sectors follow the generating cycle clockwise from Wood at the top.
struct Sector {
    int Group;
    const char* Label;
    double From;
    double To;
    double LabelDirection;
};

constexpr std::array<Sector, 6> Sectors{{{Wood, "Wood - LR/GB", 54, 126, 90},
                                         {HeartFire, "Mo.Fire - HT/SI", 126, 162, 144},
                                         {Earth, "Earth - SP/ST", 198, 270, 234},
                                         {Metal, "Metal - LU/LI", 270, 342, 306},
                                         {Water, "Water - KI/BL", 342, 414, 378},
                                         {PericardiumFire, "Mi.Fire - PC/TE", 162, 198, 180}}};

const QColor Blue(0, 0, 255);
const QColor Silver(192, 192, 192);
const QColor AlmostBlack(16, 16, 16);
const QColor InnerArrowFill(255, 232, 232);

} // namespace

// Only the integrated view exists, so every view draws it.
void DrawFiveElements(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style,
                      int /*view*/)
{
    const AnalysisResult& r = input.Result;
    const double w = frame.width();
    const double h = frame.height();
    const bool paper = style.IsPaper();

    painter.save();
    painter.translate(frame.topLeft());
    const QFont font = style.Font(8);
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(font);

    const PieFrame pie = PieFrameOf(w, h, style);
    const double energy = r.BodyEnergy;
    const auto radius = [&](double v) { return energy > 0 ? std::max(0.0, (energy + v) / (3 * energy)) : 1.0 / 3; };
    // On paper the outer arrows keep their proportion to the pie, the inner ones
    // to the centre texts they surround (the report font is larger against the pie).
    const double pieScale = pie.Rx / PieFrameOf(ScreenChartWidth, ScreenChartHeight, DiagramStyle::Screen()).Rx;
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / style.Dpi();
    const double textScale = paper ? points * style.Dpi() / 72 / (8.0 * 96 / 72) : 1;
    const QPen figureOutline = paper ? style.Pen(style.Monochrome() ? AlmostBlack : Silver, style.Mm(0.2))
                                     : style.Pen(OutlineGrey, 2);

    for (const Sector& sector : Sectors) {
        const double v = r.ElementAverage[sector.Group];
        const QColor colour = ClassColour(r.ElementClass[sector.Group]);

        // An average far above the body energy passes the outer ellipse; it stays in the frame.
        DrawSector(painter, pie, style, radius(v), sector.From, sector.To, style.Pen(colour, style.Offset(2, 0.2)),
                   style.StateBrush(colour), figureOutline, QRectF(0, 0, w, h));

        const QString label = QString::fromLatin1(sector.Label);
        const double d = sector.LabelDirection;
        const double tw = TextWidth(painter, label);
        double x = LabelFrom(pie, d);
        if (sector.Group == Wood)
            x = pie.Cx - tw / 2;
        else if (sector.Group == Metal || sector.Group == Water)
            x = LabelTowards(pie, d, tw);
        painter.setPen(style.Pen(Blue));
        SectorLabel(painter, pie, style, d, x, label);

        painter.setFont(paper ? bold : font);
        painter.setPen(style.Pen(Qt::black));
        SectorValue(painter, pie, d, QString::asprintf("%3.1f", v));
        painter.setFont(font);
    }

    painter.setBrush(Qt::NoBrush);
    painter.setPen(style.Pen(Qt::red, style.Offset(1, 0.2), Qt::DotLine));
    painter.drawEllipse(pie.Box(2.0 / 3));
    painter.setPen(style.Pen(EllipseGrey, style.Offset(3, 0.4)));
    painter.drawEllipse(pie.Full());

    // In monochrome the disc's grey would swallow the red centre texts, so it stays white.
    painter.setPen(style.Pen(OutlineGrey, style.Offset(1, 0.2)));
    painter.setBrush(DiscBrush(style));
    painter.drawEllipse(pie.Box(1.0 / 3));

    // Seven points in a local frame, turned by r degrees about the centre.
    const auto drawArrow = [&](const std::array<QPointF, 7>& local, double r) {
        QPolygonF polygon;
        for (const QPointF& point : local)
            polygon << QPointF(pie.Cx + RoundEven(Cos(r) * point.x() - Sin(r) * point.y()),
                               pie.Cy + RoundEven(Sin(r) * point.x() + Cos(r) * point.y()));
        painter.drawPolygon(polygon);
    };
    painter.setPen(paper ? figureOutline : style.Pen(Silver));
    painter.setBrush(style.Fill(InnerArrowFill));
    double unit = textScale;
    const auto px = [&](double screenPixels) { return screenPixels * unit; };
    for (int j = 1; j <= 5; ++j) {
        const double a = pie.Rx / 3;
        drawArrow({QPointF(a - px(20), -px(25)), QPointF(a - px(34), -px(35)), QPointF(a - px(34), -px(29)),
                   QPointF(px(22) - a, -px(29)), QPointF(px(22) - a, -px(21)), QPointF(a - px(34), -px(21)),
                   QPointF(a - px(34), -px(15))},
                  72.0 * (j - 1));
    }
    painter.setBrush(style.Fill(Blue));
    unit = pieScale;
    for (int j = 1; j <= 5; ++j) {
        const double a = pie.Rx / 4 * 3;
        drawArrow({QPointF(-a, -px(20)), QPointF(px(15) - a, 0), QPointF(px(8) - a, 0), QPointF(px(8) - a, px(10)),
                   QPointF(-px(8) - a, px(10)), QPointF(-px(8) - a, 0), QPointF(-px(15) - a, 0)},
                  72.0 * (j - 1) + 54);
    }

    painter.setFont(bold);
    painter.setPen(style.Pen(Qt::red));
    const QString avg = QStringLiteral("Avg");
    const QString value = QString::asprintf("%3.1f", energy);
    TextAt(painter, RoundEven(pie.Cx - TextWidth(painter, avg) / 2), pie.Cy - style.Offset(15, 4), avg);
    TextAt(painter, RoundEven(pie.Cx - TextWidth(painter, value) / 2), pie.Cy, value);

    painter.restore();
}

} // namespace qern
