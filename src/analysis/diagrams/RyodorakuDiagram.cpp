#include "ClassColour.h"
#include "Diagrams.h"
#include "DiagramText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cstdlib>

namespace qern {

namespace {

using diagram_text::TextAt;
using diagram_text::TextBox;
using diagram_text::TextWidth;

const QColor Blue(0, 0, 255);
const QColor Grey(128, 128, 128);
const QColor Navy(0, 0, 128);
const QColor DarkGreen(0, 128, 0);
const QColor Red(255, 0, 0);
const QColor Olive(128, 128, 0);
const QColor Yellow(255, 238, 0);

// The report font can be wider than a column on paper: a label row then shrinks
// until its widest text leaves a gap to its neighbours.
QFont FittingFont(const QPainter& painter, const QFont& font, const QStringList& texts, double column)
{
    const QFontMetricsF metrics(font, painter.device());
    double widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, metrics.horizontalAdvance(text));
    const double room = column * 0.9;
    if (widest <= room || font.pointSizeF() <= 0)
        return font;
    QFont fitted = font;
    fitted.setPointSizeF(font.pointSizeF() * room / widest);
    return fitted;
}

} // namespace

void DrawRyodoraku(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style)
{
    const AnalysisResult& r = input.Result;
    const bool paper = style.IsPaper();
    const int w = int(frame.width());
    const int h = int(frame.height());
    // On paper the axis is the frame's left edge; the scale labels lie left of it.
    const int x0 = int(style.Offset(50, 0));
    const int p = w - x0;
    const int q = h - int(style.Offset(50, 7));
    const double col = double(p) / 24;
    const auto y = [&](double v) { return RoundEven(q - double(q) / 150 * v); };
    const auto xc = [&](int s) { return RoundEven(double(p) / 12 * (s - 1) + double(p) / 24 + x0); };
    // Paper lines outside the plot would print over the title or the labels.
    const auto shown = [&](double yy) { return !paper || (yy >= 0 && yy <= q); };

    painter.save();
    painter.translate(frame.topLeft());
    const QFont font = style.Font(8);
    painter.setFont(font);
    painter.setBrush(Qt::NoBrush);

    // 1. Axis.
    painter.setPen(style.Pen(Qt::black, style.Offset(3, 0.3)));
    painter.drawLine(QPointF(x0, 0), QPointF(x0, h));

    // 2. Body energy: a dotted blue line on the screen, a red one on paper.
    const double energyY = y(r.BodyEnergy);
    QRectF energyLabel;
    if (shown(energyY)) {
        painter.setPen(paper ? style.Pen(Red, style.Mm(0.3)) : style.Pen(Blue, 2, Qt::DotLine));
        painter.drawLine(QPointF(x0, energyY), QPointF(x0 + p, energyY));
        QFont bold = font;
        bold.setBold(true);
        painter.setFont(bold);
        painter.setPen(style.Pen(Red));
        const QString text = QString::asprintf("%3.1f", r.BodyEnergy);
        energyLabel = TextBox(painter, x0 - style.Offset(42, 13), energyY - style.Offset(6, 2), text);
        TextAt(painter, energyLabel.left(), energyLabel.top(), text);
        painter.setFont(font);
    }

    // 3. Grid.
    const double oddTop = paper ? RoundEven(h / 17.0) : q / 12;
    const double evenTop = paper ? oddTop - style.Mm(2) : q / 16;
    for (int i = 1; i <= 24; ++i) {
        const double x = RoundEven(col * i + x0);
        if (i % 2 == 1) {
            painter.setPen(style.Pen(Grey, style.Offset(1, 0.1), Qt::DotLine));
            painter.drawLine(QPointF(x, oddTop), QPointF(x, q));
            continue;
        }
        if (i == 12)
            painter.setPen(style.Pen(Grey, style.Offset(2, 0.3)));
        else
            painter.setPen(paper ? style.Pen(Blue, style.Mm(0.1)) : style.Pen(Blue, 1, Qt::DotLine));
        painter.drawLine(QPointF(x, evenTop), QPointF(x, h));
    }

    // 4. Scale.
    for (int i = 0; i <= 15; ++i) {
        const double ty = RoundEven(q - double(q) / 15 * i);
        painter.setPen(style.Pen(Qt::black, style.Offset(1, 0.2)));
        painter.drawLine(QPointF(x0, ty), QPointF(x0 + p / 80, ty));
        // The top label would leave the screen surface; on paper it may stand above the frame.
        const double top = paper ? ty - style.Mm(2) : std::max(0.0, ty - 6);
        const QString text = QString::asprintf("%3d", i * 10);
        const QRectF box = TextBox(painter, x0 - style.Offset(38, 10), top, text);
        // The body energy label stands on the same scale and wins over a number it would cover.
        if (box.intersects(energyLabel))
            continue;
        painter.setPen(style.Pen(Navy));
        TextAt(painter, box.left(), box.top(), text);
    }

    // 5. Column labels.
    const auto centred = [&](int s, double top, const QString& text) {
        // The width cut to whole pixels, then halved in whole pixels.
        TextAt(painter, xc(s) - int(TextWidth(painter, text)) / 2, top, text);
    };
    QStringList codes;
    QStringList elements;
    for (int s = 1; s <= MeridianCount; ++s) {
        codes << MeridianTable(DisplayOrder[s]).Code;
        elements << MeridianTable(DisplayOrder[s]).Element;
    }
    const auto row = [&](const QStringList& texts, const QColor& colour, double top) {
        painter.setFont(FittingFont(painter, font, texts, double(p) / 12));
        painter.setPen(style.Pen(colour));
        for (int s = 1; s <= MeridianCount; ++s)
            centred(s, top, texts[s - 1]);
        painter.setFont(font);
    };
    row(codes, DarkGreen, h - style.Offset(46, 7));
    row(elements, Blue, h - style.Offset(30, 3));
    painter.setPen(style.Pen(Red));
    const double sidesY = h + style.Offset(-15, 2);
    const QString sides = paper ? QStringLiteral("L   R") : QStringLiteral("L    R");
    centred(1, sidesY, sides);
    centred(7, sidesY, sides);
    centred(4, sidesY, QStringLiteral("Hand"));
    centred(10, sidesY, QStringLiteral("Foot"));

    // 6. Legend: inside the picture on the screen, one line above the frame on paper.
    // The three state colours print as one grey in monochrome, so there the
    // legend and the markers are hatched, or the legend would explain nothing.
    const QColor states[3] = {ColorNormal, ColorTolerable, ColorPoor};
    const QString names[3] = {QStringLiteral("Normal"), QStringLiteral("Tolerable"), QStringLiteral("Poor")};
    for (int n = 0; n < 3; ++n) {
        QRectF box;
        QPointF text;
        if (paper) {
            const double mark = RoundEven(w / 24.0 * (14 + 4 * n));
            const double line = -style.LineHeight();
            box = QRectF(QPointF(mark - style.Mm(3), line + style.Mm(0.5)),
                         QPointF(mark + style.Mm(3), line + style.Mm(2)));
            text = QPointF(mark + style.Mm(5), line - style.Mm(1));
        } else {
            const double left = RoundEven(col * (15 + 3 * n));
            box = QRectF(QPointF(left + 57, 7), QPointF(left + 25 + 50, 15));
            text = QPointF(left + 32 + 50, 4);
        }
        painter.save();
        style.PrepareFill(painter);
        painter.setPen(style.Pen(Qt::black, paper ? int(style.Mm(1)) / 6 : 1));
        painter.setBrush(style.StateBrush(states[n]));
        painter.drawRect(box);
        painter.restore();
        painter.setPen(style.Pen(paper ? QColor(Qt::black) : Blue));
        TextAt(painter, text.x(), text.y(), names[n]);
    }

    // 7. Limit lines.
    const struct {
        double Value;
        QColor Colour;
    } limits[4] = {{r.BodyEnergy + r.UpperLimit2, Red},
                   {r.BodyEnergy - r.LowerLimit2, Red},
                   {r.BodyEnergy + r.UpperLimit1, Olive},
                   {r.BodyEnergy - r.LowerLimit1, Olive}};
    for (const auto& limit : limits) {
        const double ly = y(limit.Value);
        if (!shown(ly))
            continue;
        painter.setPen(style.Pen(limit.Colour, paper ? int(style.Mm(1)) / 7 : 1, Qt::DotLine));
        painter.drawLine(QPointF(x0, ly), QPointF(x0 + p, ly));
    }

    // 8. Point markers, the left and right point of each slot side by side.
    const double top = style.Offset(5, 0.6);
    const double half = style.Offset(5, 0.6);
    const double inset = style.Offset(2, 0.3);
    const double outset = style.Offset(1, 0.3);
    for (int b = 1; b <= PointCount; ++b) {
        const SlotPair slot = SlotPoints((b + 1) / 2);
        const int k = b % 2 == 1 ? slot.Left : slot.Right;
        const double yk = std::max(top, q - RoundEven(double(q) / 150 * r.Values[k]));
        const double left = RoundEven(col * (b - 1) + inset + x0);
        const double right = RoundEven(col * (b - 1) + col - outset + x0);
        painter.save();
        style.PrepareFill(painter);
        painter.setPen(style.Pen(Qt::black, style.Offset(1, 0.2)));
        painter.setBrush(style.StateBrush(ClassColour(r.PointClass[k])));
        painter.drawRect(QRectF(QPointF(left, yk - half), QPointF(right, yk + half)));
        painter.restore();
    }

    // 9. Left/right arrows: towards the higher side.
    const double shaftTop = style.Offset(22, 1);
    const double shaftBottom = style.Offset(40, 4);
    const double headBottom = style.Offset(38, 4);
    const double tipY = style.Offset(30, 2.5);
    const double tipX = style.Offset(13, 2.5);
    const double shaftWidth = style.Offset(4, 0.5);
    painter.setPen(Qt::NoPen);
    for (int s = 1; s <= MeridianCount; ++s) {
        const int c = r.SideClass[DisplayOrder[s]];
        if (c == 0)
            continue;
        painter.setBrush(style.Fill(std::abs(c) == 1 ? Yellow : Red));
        const double dir = c < 0 ? -1 : 1; // negative: the right point is higher, pointing left
        const double x = xc(s);
        const QPointF shaftEnd(x - dir * (1 + shaftWidth), shaftBottom);
        painter.drawRect(QRectF(QPointF(x - dir, shaftTop), shaftEnd).normalized());
        painter.drawPolygon(QPolygonF{QPointF(x + dir * tipX, tipY), QPointF(x + dir, shaftTop),
                                      QPointF(x + dir, headBottom)});
    }

    painter.restore();
}

} // namespace qern
