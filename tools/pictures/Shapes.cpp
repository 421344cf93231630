#include "Shapes.h"

#include <QLineF>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <limits>

namespace qern::pictures {

namespace {

QPointF Unit(QPointF v)
{
    const double length = std::hypot(v.x(), v.y());
    return length > 0 ? v / length : QPointF(0, -1);
}

// The left-hand normal of a direction, in screen coordinates.
QPointF Normal(QPointF d) { return {-d.y(), d.x()}; }

} // namespace

QPointF Lerp(QPointF a, QPointF b, double t) { return a + (b - a) * t; }

QPainterPath Digit(QPointF base, QPointF tip, double baseWidth, double tipWidth, double overlap)
{
    const QPointF d = Unit(tip - base);
    const QPointF n = Normal(d);
    const double r = tipWidth / 2;
    const QPointF start = base - d * overlap;
    const QPointF tipCentre = tip - d * r;
    // Pads bulge a little at the joints, which keeps the digits from looking
    // like tubes.
    const QPointF middle = Lerp(base, tipCentre, 0.5);
    const double middleHalf = (baseWidth + tipWidth) / 4 + 0.6;

    // The part inside the palm narrows, so that no corner of it shows.
    QPainterPath path(start + n * (baseWidth * 0.25));
    path.lineTo(base + n * (baseWidth / 2));
    path.cubicTo(Lerp(base, middle, 0.6) + n * (baseWidth / 2), middle + n * middleHalf,
                 Lerp(middle, tipCentre, 0.8) + n * r);
    path.lineTo(tipCentre + n * r);
    path.cubicTo(tipCentre + n * r + d * (r * 0.56), tip + n * (r * 0.56), tip);
    path.cubicTo(tip - n * (r * 0.56), tipCentre - n * r + d * (r * 0.56), tipCentre - n * r);
    path.lineTo(Lerp(middle, tipCentre, 0.8) - n * r);
    path.cubicTo(middle - n * middleHalf, Lerp(base, middle, 0.6) - n * (baseWidth / 2), base - n * (baseWidth / 2));
    path.lineTo(start - n * (baseWidth * 0.25));
    path.closeSubpath();
    return path;
}

QPainterPath Nail(QPointF base, QPointF tip, double tipWidth)
{
    const QPointF d = Unit(tip - base);
    const QPointF n = Normal(d);
    const double half = tipWidth * 0.3;
    const double length = tipWidth * 0.85;
    const QPointF front = tip - d * (tipWidth * 0.18);
    const QPointF back = front - d * length;
    QPainterPath path(back + n * half);
    path.lineTo(front - d * (half * 0.6) + n * half);
    path.cubicTo(front + n * (half * 0.7), front - n * (half * 0.7), front - d * (half * 0.6) - n * half);
    path.lineTo(back - n * half);
    path.cubicTo(back - n * half - d * (half * 0.5), back + n * half - d * (half * 0.5), back + n * half);
    path.closeSubpath();
    return path;
}

QPainterPath AcrossDigit(QPointF base, QPointF tip, double baseWidth, double tipWidth, double t, double shorten)
{
    const QPointF d = Unit(tip - base);
    const QPointF n = Normal(d);
    const QPointF at = Lerp(base, tip, t);
    const double half = (baseWidth + (tipWidth - baseWidth) * t) / 2 * (1 - shorten);
    QPainterPath path(at + n * half);
    path.quadTo(at + d * (half * 0.25), at - n * half);
    return path;
}

QPainterPath SmoothCurve(const QList<QPointF>& points)
{
    QPainterPath path;
    if (points.isEmpty())
        return path;
    path.moveTo(points.first());
    const auto at = [&](qsizetype i) { return points[std::clamp<qsizetype>(i, 0, points.size() - 1)]; };
    for (qsizetype i = 0; i + 1 < points.size(); ++i)
        path.cubicTo(at(i) + (at(i + 1) - at(i - 1)) / 6, at(i + 1) - (at(i + 2) - at(i)) / 6, at(i + 1));
    return path;
}

QList<double> Crossings(const QPainterPath& path, double y)
{
    QList<double> xs;
    for (const QPolygonF& polygon : path.toFillPolygons()) {
        for (qsizetype i = 0; i < polygon.size(); ++i) {
            const QPointF a = polygon[i];
            const QPointF b = polygon[(i + 1) % polygon.size()];
            // Half-open, so that a vertex on the line counts once.
            if ((a.y() <= y) == (b.y() <= y))
                continue;
            xs.append(a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()));
        }
    }
    std::sort(xs.begin(), xs.end());
    return xs;
}

double EdgeX(const QPainterPath& path, double y, bool rightmost)
{
    const QList<double> xs = Crossings(path, y);
    if (xs.isEmpty())
        return rightmost ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    return rightmost ? xs.last() : xs.first();
}

QColor Mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t),
                            static_cast<float>(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

} // namespace qern::pictures
