#pragma once

#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QPointF>

namespace qern::pictures {

// A finger or toe from the middle of its base to its tip, tapering and
// rounded at the end. The base reaches `overlap` further back so that the
// union with the palm or sole leaves no gap.
QPainterPath Digit(QPointF base, QPointF tip, double baseWidth, double tipWidth, double overlap = 12);

// A nail near the tip of a digit drawn by Digit().
QPainterPath Nail(QPointF base, QPointF tip, double tipWidth);

// A short line across a digit at fraction t of the way from base to tip,
// slightly bowed towards the tip.
QPainterPath AcrossDigit(QPointF base, QPointF tip, double baseWidth, double tipWidth, double t, double shorten = 0.2);

// A smooth curve through all the points.
QPainterPath SmoothCurve(const QList<QPointF>& points);

QPointF Lerp(QPointF a, QPointF b, double t);

// Where a closed path crosses a horizontal line, left to right.
QList<double> Crossings(const QPainterPath& path, double y);

// The outermost crossing of a closed path with a horizontal line.
double EdgeX(const QPainterPath& path, double y, bool rightmost);

QColor Mix(const QColor& a, const QColor& b, double t);

} // namespace qern::pictures
