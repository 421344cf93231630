#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>
#include <QPointF>
#include <QRectF>

class QPainter;

namespace qern {

// What differs between a diagram on the screen and on paper. On the screen
// the diagram's geometry is in pixels of the chart surface; on paper the
// frame is in printer pixels, the screen's fixed pixel offsets become
// millimetres, and every colour passes through the print colour rule.
class DiagramStyle {
public:
    // The chart surface of the analysis window.
    static DiagramStyle Screen();
    // Paper at `dpi`; `lineHeight` is the report's line height (printer
    // pixels), `font` the report font at base size.
    static DiagramStyle Paper(double dpi, bool monochrome, double lineHeight, const QFont& font);

    bool IsPaper() const { return paper_; }
    bool Monochrome() const { return monochrome_; }
    double Dpi() const { return dpi_; }
    double LineHeight() const { return lineHeight_; }

    // x millimetres in printer pixels, rounded to the nearest pixel.
    double Mm(double mm) const;
    // A fixed offset: `screenPixels` on the screen, `paperMm` on paper.
    double Offset(double screenPixels, double paperMm) const { return paper_ ? Mm(paperMm) : screenPixels; }

    // The print colour rule: unchanged on the screen and in colour; in
    // monochrome the grey g = min(112, (R + G + B) div 3).
    QColor Colour(const QColor& colour) const;
    QPen Pen(const QColor& colour, double width = 1, Qt::PenStyle style = Qt::SolidLine) const;
    // The fill of a state colour (ColorNormal, ColorTolerable, ColorPoor): solid,
    // or in monochrome diagonal cross, backward and forward diagonal hatches.
    QBrush StateBrush(const QColor& stateColour) const;
    // A solid fill through the colour rule.
    QBrush Fill(const QColor& colour) const;
    // Hatches print on white: call before filling with StateBrush.
    void PrepareFill(QPainter& painter) const;

    // The surface font: the window's 8-point face on the screen, the report
    // font on paper; `points` scales it from the 8-point base.
    QFont Font(double points = 8, bool bold = false) const;

private:
    bool paper_ = false;
    bool monochrome_ = false;
    double dpi_ = 96;
    double lineHeight_ = 0;
    QFont font_;
};

// Rounds to the nearest integer, halves to the even neighbour.
double RoundEven(double value);

// The diagrams' angle convention: direction a (degrees) is the point
// (cx - cos a * rx, cy - sin a * ry): 0 is left, 90 the top, and directions
// grow clockwise.
QPointF DirectionPoint(const QPointF& centre, double rx, double ry, double degrees);
// Qt's angles (1/16 degree, 0 at three o'clock, counter-clockwise) of a
// direction, and of a sweep growing clockwise.
int QtAngle16(double direction);
int QtSweep16(double degrees);
// The pie sector of `box` that covers the directions from `from` to `to`
// (clockwise), as the Parts' "counterclockwise from `to` to `from`".
void DrawDirectionPie(QPainter& painter, const QRectF& box, double from, double to);
void DrawDirectionArc(QPainter& painter, const QRectF& box, double from, double to);

} // namespace qern
