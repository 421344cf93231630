#include "DiagramStyle.h"

#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace qern {

namespace {
constexpr double Pi = 3.14159265358979323846;
}

DiagramStyle DiagramStyle::Screen()
{
    DiagramStyle style;
    style.font_ = QFont(QStringLiteral("Tahoma"));
    style.font_.setPointSizeF(8);
    return style;
}

DiagramStyle DiagramStyle::Paper(double dpi, bool monochrome, double lineHeight, const QFont& font)
{
    DiagramStyle style;
    style.paper_ = true;
    style.monochrome_ = monochrome;
    style.dpi_ = dpi;
    style.lineHeight_ = lineHeight;
    style.font_ = font;
    return style;
}

double DiagramStyle::Mm(double mm) const { return std::round(mm * dpi_ / 25.4); }

QColor DiagramStyle::Colour(const QColor& colour) const
{
    if (!monochrome_)
        return colour;
    const int g = std::min(112, (colour.red() + colour.green() + colour.blue()) / 3);
    return QColor(g, g, g, colour.alpha());
}

QPen DiagramStyle::Pen(const QColor& colour, double width, Qt::PenStyle style) const
{
    QPen pen(Colour(colour), width, style);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

QBrush DiagramStyle::StateBrush(const QColor& stateColour) const
{
    if (!monochrome_)
        return QBrush(stateColour);
    static const QColor normal(145, 255, 113);
    static const QColor tolerable(254, 249, 141);
    const Qt::BrushStyle hatch = stateColour == normal      ? Qt::DiagCrossPattern
                                 : stateColour == tolerable ? Qt::BDiagPattern
                                                            : Qt::FDiagPattern;
    QBrush brush(Colour(stateColour), hatch);
    // A hatch cell is 8 device pixels: at printer resolution that is a grey
    // blur. Scaled, the lines stay about a millimetre apart on paper.
    if (paper_ && dpi_ > 200)
        brush.setTransform(QTransform::fromScale(dpi_ / 200.0, dpi_ / 200.0));
    return brush;
}

QBrush DiagramStyle::Fill(const QColor& colour) const { return QBrush(Colour(colour)); }

void DiagramStyle::PrepareFill(QPainter& painter) const
{
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
}

QFont DiagramStyle::Font(double points, bool bold) const
{
    QFont font = font_;
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * points / 8.0);
    else
        font.setPixelSize(std::max(1, int(std::round(font.pixelSize() * points / 8.0))));
    font.setBold(bold);
    return font;
}

double RoundEven(double value) { return std::nearbyint(value); }

QPointF DirectionPoint(const QPointF& centre, double rx, double ry, double degrees)
{
    const double a = degrees * Pi / 180.0;
    return {centre.x() - std::cos(a) * rx, centre.y() - std::sin(a) * ry};
}

int QtAngle16(double direction) { return int(std::lround((180.0 - direction) * 16)); }

int QtSweep16(double degrees) { return int(std::lround(-degrees * 16)); }

void DrawDirectionPie(QPainter& painter, const QRectF& box, double from, double to)
{
    painter.drawPie(box, QtAngle16(from), QtSweep16(to - from));
}

void DrawDirectionArc(QPainter& painter, const QRectF& box, double from, double to)
{
    painter.drawArc(box, QtAngle16(from), QtSweep16(to - from));
}

} // namespace qern
