#pragma once

// The elliptic pie of the autonomic nervous system, five elements and E.C.I.
// diagrams: its box, centre and radii and the boxes of radius factors; and
// what the first two draw alike on it: sectors with their outlines, labels
// outside the ellipse and values at half the radius.

#include "DiagramStyle.h"

#include <QBrush>
#include <QColor>
#include <QPen>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;

namespace qern::pie_geometry {

// The pie's colours: the outer ellipse, the light outlines of the sectors and
// of the centre disc, and the disc's fill.
inline const QColor EllipseGrey(128, 128, 128);
inline const QColor OutlineGrey(238, 238, 238);
inline const QColor DiscFill(221, 222, 255);

// The centre disc's fill. In monochrome the pale fill would print in the
// grey of the texts on the disc and swallow them, so there it stays white.
QBrush DiscBrush(const DiagramStyle& style);

struct PieFrame {
    double L, T, R, B; // the full box
    double Rx, Ry;
    double Cx, Cy;

    // The box of a radius factor k around the centre, edges rounded.
    QRectF Box(double k) const
    {
        return QRectF(QPointF(RoundEven(Cx - Rx * k), RoundEven(Cy - Ry * k)),
                      QPointF(RoundEven(Cx + Rx * k), RoundEven(Cy + Ry * k)));
    }
    QRectF Full() const { return QRectF(QPointF(L, T), QPointF(R, B)); }
};

// The pie filling the box from (l, t) to (r, b), its centre rounded.
PieFrame PieFrameIn(double l, double t, double r, double b);

// The pie of the nervous and five elements diagrams on a w x h surface; the
// 30-pixel margin of the screen is 6 mm on paper, as in the printed body
// energy balance diagram.
PieFrame PieFrameOf(double w, double h, const DiagramStyle& style);

// The cosine and sine of an angle in degrees.
double Cos(double degrees);
double Sin(double degrees);

// The sector of radius factor k over the directions from `from` to `to`,
// filled with `brush` inside `pen` (hatches print on white) and kept inside
// `clip` where given; then the sector of the full pie outlined with `outline`.
void DrawSector(QPainter& painter, const PieFrame& pie, const DiagramStyle& style, double k, double from, double to,
                const QPen& pen, const QBrush& brush, const QPen& outline,
                const std::optional<QRectF>& clip = std::nullopt);

// A sector's label at 1.1 of the radius in `direction`, lifted by 5 pixels
// (1 mm on paper), its left edge at `x` (both rounded). On paper the report
// font is large against the pie: a label that would cut the outer ellipse
// moves away from the centre until it clears the ellipse and its pen.
void SectorLabel(QPainter& painter, const PieFrame& pie, const DiagramStyle& style, double direction, double x,
                 const QString& text);
// The left edge of a label that starts at 1.1 of the radius in `direction`.
double LabelFrom(const PieFrame& pie, double direction);
// The left edge of a label `width` wide on the left of the pie: 1.1 of the
// radius in `direction`, moved left by the width times the direction's cosine
// (a label near the horizontal ends there).
double LabelTowards(const PieFrame& pie, double direction, double width);

// A value centred at half the radius in `direction`, its top there.
void SectorValue(QPainter& painter, const PieFrame& pie, double direction, const QString& value);

} // namespace qern::pie_geometry
