#include "Diagrams.h"
#include "DiagramText.h"
#include "PieGeometry.h"

#include <QPainter>

#include <algorithm>
#include <array>

namespace qern {

namespace {

using namespace diagram_text;
using namespace pie_geometry;

struct Sector {
    int Group;
    const char* Label;
};

constexpr std::array<Sector, 8> Sectors{{{3, "Tri.Yin-RH"},
                                         {4, "Tri.Yang-RH"},
                                         {7, "Tri.Yin-RF"},
                                         {8, "Tri.Yang-RF"},
                                         {6, "Tri.Yang-LF"},
                                         {5, "Tri.Yin-LF"},
                                         {2, "Tri.Yang-LH"},
                                         {1, "Tri.Yin-LH"}}};

const QColor Navy(0, 0, 128);
const QColor Blue(0, 0, 255);
const QColor Silver(192, 192, 192);

QColor RatioColour(int nervousClass)
{
    if (nervousClass == 0)
        return QColor(0, 128, 0);
    if (nervousClass == 1 || nervousClass == 2)
        return QColor(251, 214, 4);
    return QColor(255, 0, 0);
}

// Monochrome paper keeps the three kinds of group apart by hatching.
QBrush GroupBrush(const DiagramStyle& style, const QColor& colour)
{
    if (!style.Monochrome())
        return style.Fill(colour);
    const Qt::BrushStyle hatch = colour == ColorHighest  ? Qt::DiagCrossPattern
                                 : colour == ColorLowest ? Qt::BDiagPattern
                                                         : Qt::FDiagPattern;
    return QBrush(style.Colour(colour), hatch);
}

} // namespace

void DrawNervousDiagram(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style)
{
    const AnalysisResult& r = input.Result;
    const double w = frame.width();
    const double h = frame.height();
    const bool paper = style.IsPaper();

    painter.save();
    painter.translate(frame.topLeft());
    painter.setFont(style.Font(8));

    const PieFrame pie = pie_geometry::PieFrameOf(w, h, style);
    // The window shows a HighGroup of 0 as 1.0; the radius needs a divisor.
    const double high = r.HighGroup == 0 ? 1.0 : r.HighGroup;
    const auto radius = [&](double v) { return std::max(0.0, (v + 3 * high / 14) / (high + 3 * high / 14)); };

    QString highLabel;
    QString lowLabel;
    for (int i = 1; i <= 8; ++i) {
        const Sector& sector = Sectors[static_cast<std::size_t>(i - 1)];
        const QString label = QString::fromLatin1(sector.Label);
        const double v = r.GroupAverage[sector.Group];
        QColor colour = ColorNormal;
        if (v == r.HighGroup) {
            colour = ColorHighest;
            highLabel = label;
        } else if (v == r.LowGroup) {
            colour = ColorLowest;
            lowLabel = label;
        }
        const double from = 45 + 45 * i;
        const double to = 90 + 45 * i;

        DrawSector(painter, pie, style, radius(v), from, to, style.Pen(colour, style.Offset(1, 0.1)),
                   GroupBrush(style, colour), style.Pen(OutlineGrey, style.Offset(2, 0.2)));

        const double d = 67 + 45 * i;
        painter.setPen(style.Pen(Navy));
        SectorLabel(painter, pie, style, d,
                    i <= 4 ? LabelFrom(pie, d) : LabelTowards(pie, d, TextWidth(painter, label)), label);

        painter.setPen(style.Pen(Qt::black));
        SectorValue(painter, pie, d, QString::asprintf("%3.1f", v));
    }

    painter.setBrush(Qt::NoBrush);
    painter.save();
    // The body energy (of the raw values) may exceed every group: the ring stays in the frame.
    painter.setClipRect(QRectF(0, 0, w, h), Qt::IntersectClip);
    painter.setPen(style.Pen(Qt::red, style.Offset(1, 0.2), Qt::DotLine));
    painter.drawEllipse(pie.Box(radius(r.BodyEnergy)));
    painter.restore();
    painter.setPen(style.Pen(EllipseGrey, style.Offset(3, 0.4)));
    painter.drawEllipse(pie.Full());

    // In monochrome the disc would print in the same grey as an amber ratio, so it stays white.
    painter.setPen(paper ? style.Pen(Silver, style.Mm(0.2)) : style.Pen(OutlineGrey));
    painter.setBrush(DiscBrush(style));
    painter.drawEllipse(pie.Box(3.0 / 14));

    const QString ratio =
        r.LowGroup != 0 ? QString::asprintf("%1.2f", high / r.LowGroup) : QStringLiteral("-");
    // The paper pie is small against the report font: half the size keeps the ratio inside the disc.
    QFont ratioFont = style.Font(paper ? 11.5 : 23, true);
    ratioFont.setFamily(QStringLiteral("Times New Roman"));
    painter.setFont(ratioFont);
    painter.setPen(style.Pen(RatioColour(r.NervousClass)));
    TextAt(painter, RoundEven(pie.Cx - TextWidth(painter, ratio) / 2), pie.Cy - style.Offset(20, 4), ratio);

    painter.setFont(style.Font(8));
    painter.setPen(style.Pen(Qt::black));
    const QString average = QStringLiteral("Avg: ") + QString::asprintf("%3.1f", r.BodyEnergy);
    TextAt(painter, RoundEven(pie.Cx - TextWidth(painter, average) / 2), pie.Cy + style.Offset(25, 2), average);

    const double sideX = RoundEven(paper ? w - w / 12 : w - w / 8);
    const double sideY = RoundEven(h - h / 5);
    const double step = style.Offset(20, 5);
    const QStringList side = {
        QStringLiteral("Average: ") + QString::asprintf("%3.1f", r.BodyEnergy),
        (paper ? QStringLiteral("Max: ") : QStringLiteral("Hi: ")) + highLabel + QLatin1Char(' ') +
            QString::asprintf("%3.1f", r.HighGroup),
        (paper ? QStringLiteral("Min: ") : QStringLiteral("Low: ")) + lowLabel + QLatin1Char(' ') +
            QString::asprintf("%3.1f", r.LowGroup),
        QStringLiteral("Value: ") + ratio + (paper ? QStringLiteral(" (1~1.5)") : QStringLiteral("  (1~1.5)")),
    };
    painter.setPen(style.Pen(Blue));
    for (qsizetype n = 0; n < side.size(); ++n)
        TextAt(painter, sideX, sideY + step * double(n), side[n]);

    painter.restore();
}

} // namespace qern
