#pragma once

// The elliptic pie shared by the autonomic nervous system diagram and the five
// elements diagram: both build the same box from the surface size.

#include "DiagramStyle.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cmath>

namespace qern::nervous_pie {

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

// W x H the surface; the 30-pixel margin of the screen is 6 mm on paper, as in
// the printed body energy balance diagram.
inline PieFrame PieFrameOf(double w, double h, const DiagramStyle& style)
{
    const double margin = style.Offset(30, 6);
    PieFrame f;
    f.L = RoundEven(w / 12 * 2.5) + margin;
    f.R = RoundEven(w / 12 * 9.5) - margin;
    f.T = margin;
    f.B = h - margin;
    f.Rx = (f.R - f.L) / 2;
    f.Ry = (f.B - f.T) / 2;
    f.Cx = RoundEven(f.L + f.Rx);
    f.Cy = RoundEven(f.T + f.Ry);
    return f;
}

// Text positions are the top-left corner of the text cell, so the baseline
// lies one ascent lower.
inline void TextAt(QPainter& painter, double x, double y, const QString& text)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.drawText(QPointF(x, y + metrics.ascent()), text);
}

// On paper the report font is large against the pie: a label that would cut
// the outer ellipse (with a `gap` for its pen) moves away from the centre
// until it clears it. Returns the label's top.
inline double ClearOfEllipse(const PieFrame& pie, const QRectF& label, double gap)
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

// A label placed at (x, top), nudged clear of the ellipse on paper.
inline void LabelAt(QPainter& painter, const PieFrame& pie, const DiagramStyle& style, double x, double top,
                    const QString& text)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    const QRectF box(x, top, metrics.horizontalAdvance(text), metrics.height());
    TextAt(painter, x, style.IsPaper() ? ClearOfEllipse(pie, box, style.Mm(0.5)) : top, text);
}

inline double TextWidth(const QPainter& painter, const QString& text)
{
    return QFontMetricsF(painter.font(), painter.device()).horizontalAdvance(text);
}

} // namespace qern::nervous_pie
