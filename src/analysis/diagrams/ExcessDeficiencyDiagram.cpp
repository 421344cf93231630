#include "ClassColour.h"
#include "Diagrams.h"
#include "DiagramText.h"

#include "shell/MeridianModel.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <limits>

namespace qern {

namespace {

using diagram_text::PixelTextWidth;
using diagram_text::RoundedPixelTextAt;

const QColor Black(0, 0, 0);
const QColor Navy(0, 0, 128);
const QColor Grey(128, 128, 128);
const QColor Red(255, 0, 0);
const QColor Olive(128, 128, 0);
const QColor DarkGreen(0, 128, 0);
const QColor Blue(0, 0, 255);
const QColor Yellow(255, 238, 0);

enum class Marks { Bars, Slopes };

QRectF Box(double x1, double y1, double x2, double y2)
{
    return QRectF(QPointF(std::min(x1, x2), std::min(y1, y2)), QPointF(std::max(x1, x2), std::max(y1, y2)));
}

class ExcessDeficiency {
public:
    ExcessDeficiency(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style,
                     Marks marks)
        : p_(painter), r_(input.Result), style_(style), paper_(style.IsPaper()), marks_(marks)
    {
        W = frame.width();
        H = frame.height();
        // On paper the plot fills the frame; its side labels lie left of it.
        X0 = Off(50, 0);
        P = W - X0;
        y0 = std::floor(H / 2);
    }

    void Draw()
    {
        Axes();
        Grid();
        if (marks_ == Marks::Bars)
            Bars();
        else
            Slopes();
        Arrows();
        LimitLines();
        Ticks();
        ColumnLabels();
        Legend();
    }

private:
    QPainter& p_;
    const AnalysisResult& r_;
    const DiagramStyle& style_;
    bool paper_;
    Marks marks_;
    double W, H, X0, P, y0;

    double Off(double px, double mm) const { return style_.Offset(px, mm); }
    // Pen widths: a screen pixel is a tenth of a millimetre on paper.
    double Width(double px) const { return paper_ ? style_.Mm(0.1 * px) : px; }

    double ColumnCentre(int s) const { return RoundEven(P / 12 * (s - 1) + P / 24 + X0); }
    // The height of a deviation: y0 stands for the body energy and y0 pixels
    // for as many microamperes. A body energy of 0 (never in a complete
    // measurement) sends every deviation off the scale instead of dividing by 0.
    double Position(double deviation) const
    {
        if (r_.BodyEnergy != 0)
            return RoundEven(y0 - y0 * deviation / r_.BodyEnergy);
        if (deviation == 0)
            return y0;
        return deviation > 0 ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    // A point's level, held inside the frame.
    double Level(double deviation) const
    {
        const double y = Position(deviation);
        if (y < 5)
            return marks_ == Marks::Slopes ? Off(5, 2) : 5;
        if (y > H)
            return H - Off(5, 1);
        return y;
    }

    void Line(double x1, double y1, double x2, double y2)
    {
        p_.drawLine(QPointF(RoundEven(x1), RoundEven(y1)), QPointF(RoundEven(x2), RoundEven(y2)));
    }
    // A filled rectangle; hatches print on white.
    void FilledRect(const QRectF& rect, const QPen& pen, const QBrush& brush)
    {
        p_.setPen(pen);
        p_.setBrush(brush);
        if (paper_)
            style_.PrepareFill(p_);
        p_.drawRect(rect);
        p_.setBackgroundMode(Qt::TransparentMode);
        p_.setBrush(Qt::NoBrush);
    }
    void SetText(const QColor& colour)
    {
        p_.setFont(style_.Font(8));
        p_.setPen(style_.Pen(colour));
    }
    // Paper writes the labels of the value scale right-aligned left of the frame.
    void SideLabel(double lineY, const QString& text)
    {
        if (paper_)
            RoundedPixelTextAt(p_, -style_.Mm(3) - PixelTextWidth(p_, text), lineY - style_.Mm(2), text);
        else
            RoundedPixelTextAt(p_, 10, lineY - 8, text);
    }

    void Axes()
    {
        p_.setPen(style_.Pen(Black, paper_ ? style_.Mm(0.3) : 3));
        Line(X0, 0, X0, H);
        Line(X0, y0, X0 + P + (paper_ ? style_.Mm(2) : 0), y0);
        SetText(Navy);
        SideLabel(y0, QString::asprintf("%5.1f", r_.BodyEnergy));
    }

    void Grid()
    {
        double separatorTop = std::floor(H / 8);
        double gridTop = std::floor(H / 6);
        double centreTop = marks_ == Marks::Bars ? y0 : std::floor(H / 6);
        if (paper_ && marks_ == Marks::Bars) {
            separatorTop = H - 9 * std::floor(H / 10);
        } else if (paper_) {
            separatorTop = std::floor(H / 16);
            gridTop = std::floor(H / 14);
            centreTop = std::floor(H / 12);
        }
        p_.setPen(style_.Pen(Black, Width(2)));
        Line(std::floor(P / 2) + X0, H, std::floor(P / 2) + X0, separatorTop);
        const QPen navy = style_.Pen(Navy, Width(1), Qt::DotLine);
        const QPen grey = style_.Pen(Grey, Width(1), Qt::DotLine);
        for (int t = 1; t <= 12; ++t) {
            if (t != 6) {
                p_.setPen(navy);
                Line(P / 12 * t + X0, gridTop, P / 12 * t + X0, H);
            }
            p_.setPen(grey);
            Line(ColumnCentre(t), centreTop, ColumnCentre(t), H - H / 10);
        }
    }

    // The state fills are hatched in monochrome in both diagrams, the bars'
    // too: solid, the three state colours would print as one grey.
    QBrush StateFill(int pointClass) const { return style_.StateBrush(ClassColour(pointClass)); }

    int PointOfBar(int b) const
    {
        const SlotPair slot = SlotPoints((b + 1) / 2);
        return b % 2 == 1 ? slot.Left : slot.Right;
    }

    void Bars()
    {
        const QPen outline = style_.Pen(Black, paper_ ? std::floor(style_.Mm(1) / 5) : 1);
        for (int b = 1; b <= PointCount; ++b) {
            const int k = PointOfBar(b);
            const QRectF bar = Box(RoundEven(P / 24 * (b - 1) + X0), y0, RoundEven(P / 24 * b + X0),
                                   Level(r_.Deviation[k]));
            FilledRect(bar, outline, StateFill(r_.PointClass[k]));
        }
    }

    void Slopes()
    {
        const QPen outline = style_.Pen(Black, paper_ ? style_.Mm(0.2) : 1);
        const double lineWidth = paper_ ? style_.Mm(0.3) : 2;
        const double inset = Off(2, 0.3);
        const double endInset = Off(1, 0.3);
        const double halfHeight = Off(5, 0.6);
        for (int s = 1; s <= MeridianCount; ++s) {
            const SlotPair slot = SlotPoints(s);
            const double yl = Level(r_.Deviation[slot.Left]);
            const double yr = Level(r_.Deviation[slot.Right]);
            const QColor colour = r_.Deviation[slot.Right] > r_.Deviation[slot.Left] ? Blue : Red;
            p_.setPen(style_.Pen(colour, lineWidth, Qt::DotLine));
            Line(P / 24 * (2 * s - 2) + P / 48 + X0, yl, P / 24 * (2 * s - 1) + P / 48 + X0, yr);
            const auto marker = [&](int position, double y, int point) {
                const double left = P / 24 * (position - 1);
                FilledRect(Box(RoundEven(left + inset + X0), y - halfHeight, RoundEven(left + P / 24 - endInset + X0),
                               y + halfHeight),
                           outline, StateFill(r_.PointClass[point]));
            };
            marker(2 * s - 1, yl, slot.Left);
            marker(2 * s, yr, slot.Right);
        }
    }

    void Arrows()
    {
        const double beside = Off(1, 0.1);
        const double shaftWidth = Off(4, 0.5);
        const double top = Off(22, 1);
        const double shaftBottom = Off(40, 4);
        const double headBottom = Off(38, 4);
        const double tip = Off(13, 2.5);
        const double tipY = Off(30, 2.5);
        p_.setPen(Qt::NoPen);
        for (int s = 1; s <= MeridianCount; ++s) {
            const int sideClass = r_.SideClass[DisplayOrder[s]];
            if (sideClass == 0)
                continue;
            // The printed bar diagram fills its arrows yellow and red.
            const bool printedBars = paper_ && marks_ == Marks::Bars;
            const QColor colour = std::abs(sideClass) == 1 ? (printedBars ? Yellow : ColorTolerable)
                                                           : (printedBars ? Red : ColorPoor);
            p_.setBrush(style_.Fill(colour));
            // A negative class (the right point higher) points left.
            const double sign = sideClass < 0 ? -1 : 1;
            const double xc = ColumnCentre(s);
            p_.drawRect(Box(RoundEven(xc - sign * beside), top, RoundEven(xc - sign * (beside + shaftWidth)),
                            shaftBottom));
            const QPolygonF head{QPointF(RoundEven(xc + sign * tip), tipY), QPointF(RoundEven(xc + sign * beside), top),
                                 QPointF(RoundEven(xc + sign * beside), headBottom)};
            p_.drawPolygon(head);
        }
        p_.setBrush(Qt::NoBrush);
    }

    void LimitLines()
    {
        struct Limit {
            double Deviation;
            QColor Colour;
        };
        const Limit limits[] = {{r_.UpperLimit2, Red},
                                {-r_.LowerLimit2, Red},
                                {r_.UpperLimit1, Olive},
                                {-r_.LowerLimit1, Olive}};
        const double width = paper_ ? std::floor(style_.Mm(1) / 7) : 1;
        for (const Limit& limit : limits) {
            const double y = Position(limit.Deviation);
            // Paper leaves out a line outside the frame, and its label.
            if (!std::isfinite(y) || (paper_ && (y < 0 || y > H)))
                continue;
            p_.setPen(style_.Pen(limit.Colour, width, Qt::DotLine));
            Line(X0, y, X0 + P, y);
            SetText(limit.Colour);
            SideLabel(y, QString::asprintf("%5.1f", r_.BodyEnergy + limit.Deviation));
        }
    }

    void Ticks()
    {
        p_.setPen(style_.Pen(Black, Width(1)));
        const double length = paper_ ? style_.Mm(2) : std::floor(P / 80);
        for (int k = 1; k <= 18; ++k) {
            if (k == 10)
                continue;
            const double y = RoundEven(H / 20 * k);
            Line(X0, y, X0 + length, y);
        }
    }

    // Centred on column s; a label wider than its column (a wide font on
    // paper) is scaled down so that neighbours do not run together.
    void Centred(int s, double y, const QString& text)
    {
        const QFont font = p_.font();
        const double room = P / 12 - Off(2, 0.5);
        const int width = PixelTextWidth(p_, text);
        if (width > room && font.pointSizeF() > 0) {
            QFont fitted = font;
            fitted.setPointSizeF(font.pointSizeF() * room / width);
            p_.setFont(fitted);
        }
        RoundedPixelTextAt(p_, ColumnCentre(s) - PixelTextWidth(p_, text) / 2, y, text);
        p_.setFont(font);
    }

    void ColumnLabels()
    {
        const double codeY = H - Off(46, 7);
        const double elementY = H - Off(30, 3);
        for (int s = 1; s <= MeridianCount; ++s) {
            const MeridianInfo& meridian = MeridianTable(DisplayOrder[s]);
            SetText(DarkGreen);
            Centred(s, codeY, meridian.Code);
            SetText(Blue);
            Centred(s, elementY, meridian.Element);
        }
        SetText(Red);
        const double y = paper_ ? H + style_.Mm(2) : H - 15;
        const QString sides = paper_ ? QStringLiteral("L   R") : QStringLiteral("L    R");
        Centred(1, y, sides);
        Centred(7, y, sides);
        Centred(4, y, QStringLiteral("Hand"));
        Centred(10, y, QStringLiteral("Foot"));
    }

    void Legend()
    {
        const QColor states[] = {ColorNormal, ColorTolerable, ColorPoor};
        const QString labels[] = {QStringLiteral("Normal"), QStringLiteral("Tolerable"), QStringLiteral("Poor")};
        const bool bars = marks_ == Marks::Bars;
        const QPen outline = style_.Pen(Black, paper_ ? std::floor(style_.Mm(1) / 6) : 1);
        for (int i = 0; i < 3; ++i) {
            QRectF box;
            QPointF label;
            if (paper_) {
                // Above the frame, one line high.
                const double mark = RoundEven(W * (14 + 4 * i) / 24);
                const double top = -style_.LineHeight();
                const double side = style_.Mm(bars ? 5 : 3);
                box = Box(mark, top, mark + side, top + style_.Mm(bars ? 4 : 3));
                label = bars ? QPointF(mark + style_.Mm(8), top) : QPointF(mark + style_.Mm(5), top - style_.Mm(1));
            } else {
                const double left = RoundEven(P / 24 * (15 + 3 * i) + X0);
                box = bars ? Box(left + 2, 0, left + 25, 20) : Box(left + 10, 5, left + 23, 17);
                label = QPointF(left + 32, 4);
            }
            FilledRect(box, outline, style_.StateBrush(states[i]));
            SetText(paper_ ? Black : Blue);
            RoundedPixelTextAt(p_, label.x(), label.y(), labels[i]);
        }
    }
};

void Draw(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style, Marks marks)
{
    painter.save();
    painter.translate(frame.topLeft());
    ExcessDeficiency(painter, frame, input, style, marks).Draw();
    painter.restore();
}

} // namespace

void DrawExcessDeficiencyBars(QPainter& painter, const QRectF& frame, const DiagramInput& input,
                              const DiagramStyle& style)
{
    Draw(painter, frame, input, style, Marks::Bars);
}

void DrawExcessDeficiencySlopes(QPainter& painter, const QRectF& frame, const DiagramInput& input,
                                const DiagramStyle& style)
{
    Draw(painter, frame, input, style, Marks::Slopes);
}

} // namespace qern
