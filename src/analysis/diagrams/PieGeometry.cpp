#include "PieGeometry.h"

#include "DiagramText.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace qern::pie_geometry {

namespace {

constexpr double Pi = 3.14159265358979323846;

// The top of `label` moved clear of the outer ellipse and a `gap` for its pen.
double ClearOfEllipse(const PieFrame& pie, const QRectF& label, double gap)
{
    const double nearestX = std::clamp(pie.Cx, label.left(), label.right());
    const double u = (nearestX - pie.Cx) / pie.Rx;
    if (u * u >= 1)
        return label.top();
    const double reach = pie.Ry * std::sqrt(1 - u * u) + gap;
    if (label.center().y() < pie.Cy)
        return label.bottom() > pie.Cy - reach ? RoundEven(pie.Cy - reach - label.height()) : label.top();
    return label.top() < pie.Cy + reach ? RoundEven(pie.Cy + reach) : label.top();
}

} // namespace

PieFrame PieFrameIn(double l, double t, double r, double b)
{
    PieFrame f;
    f.L = l;
    f.R = r;
    f.T = t;
    f.B = b;
    f.Rx = (f.R - f.L) / 2;
    f.Ry = (f.B - f.T) / 2;
    f.Cx = RoundEven(f.L + f.Rx);
    f.Cy = RoundEven(f.T + f.Ry);
    return f;
}

PieFrame PieFrameOf(double w, double h, const DiagramStyle& style)
{
    const double margin = style.Offset(30, 6);
    return PieFrameIn(RoundEven(w / 12 * 2.5) + margin, margin, RoundEven(w / 12 * 9.5) - margin, h - margin);
}

QBrush DiscBrush(const DiagramStyle& style)
{
    return style.Monochrome() ? QBrush(Qt::white) : style.Fill(DiscFill);
}

double Cos(double degrees) { return std::cos(degrees * Pi / 180); }
double Sin(double degrees) { return std::sin(degrees * Pi / 180); }

void DrawSector(QPainter& painter, const PieFrame& pie, const DiagramStyle& style, double k, double from, double to,
                const QPen& pen, const QBrush& brush, const QPen& outline, const std::optional<QRectF>& clip)
{
    painter.save();
    if (clip)
        painter.setClipRect(*clip, Qt::IntersectClip);
    style.PrepareFill(painter);
    painter.setPen(pen);
    painter.setBrush(brush);
    DrawDirectionPie(painter, pie.Box(k), from, to);
    painter.restore();

    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    DrawDirectionPie(painter, pie.Full(), from, to);
}

void SectorLabel(QPainter& painter, const PieFrame& pie, const DiagramStyle& style, double direction, double x,
                 const QString& text)
{
    const double left = RoundEven(x);
    const double top = RoundEven(pie.Cy - Sin(direction) * 1.1 * pie.Ry - style.Offset(5, 1));
    const QRectF box = diagram_text::TextBox(painter, left, top, text);
    diagram_text::TextAt(painter, left, style.IsPaper() ? ClearOfEllipse(pie, box, style.Mm(0.5)) : top, text);
}

double LabelFrom(const PieFrame& pie, double direction) { return pie.Cx - Cos(direction) * 1.1 * pie.Rx; }

double LabelTowards(const PieFrame& pie, double direction, double width)
{
    return pie.Cx - (width + 1.1 * pie.Rx) * Cos(direction);
}

void SectorValue(QPainter& painter, const PieFrame& pie, double direction, const QString& value)
{
    diagram_text::TextAt(
        painter, RoundEven(pie.Cx - Cos(direction) * pie.Rx / 2 - diagram_text::TextWidth(painter, value) / 2),
        RoundEven(pie.Cy - Sin(direction) * pie.Ry / 2), value);
}

} // namespace qern::pie_geometry
