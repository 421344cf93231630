#pragma once

#include <QColor>
#include <QPainterPath>
#include <QTransform>

class QPainter;

namespace qern::pictures {

// The standing figure in anatomical posture (arms a little out, palms
// forward), 1000 units tall from the crown (y 0) to the soles, centred on
// x = 0. The outline is symmetric, so the back view shares it.
QPainterPath FigureOutline();

enum class FigureView { Front, Back };

struct FigureInk {
    QColor Fill;
    QColor Line;
    double LineWidth;
    QColor Detail;
    double DetailWidth;
};

// Draws the figure mapped by `t` (figure units to pixels); pen widths are in
// pixels.
void DrawFigure(QPainter& p, const QTransform& t, FigureView view, const FigureInk& ink);

} // namespace qern::pictures
