#include "Diagrams.h"
#include "DiagramText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>

#include <array>
#include <cmath>

namespace qern {

namespace {

using diagram_text::PixelTextAt;
using diagram_text::PixelTextWidth;

enum class ChartKind { YinYang, QiBlood };

// Column i (element order Wood, Fire, Fire, Earth, Metal, Water): the yin
// meridian and its yang partner.
struct ColumnMeridians {
    int Yin;
    int Yang;
};
constexpr std::array<ColumnMeridians, 6> Columns{{{8, 11}, {3, 4}, {2, 5}, {7, 12}, {1, 6}, {9, 10}}};

const QColor Black(0, 0, 0);
const QColor Grey(128, 128, 128);
const QColor Red(255, 0, 0);
const QColor Olive(128, 128, 0);
const QColor Yellow(255, 255, 0);
const QColor PaperYellow(255, 238, 0);
const QColor Blue(0, 0, 255);
const QColor DarkGreen(0, 128, 0);

// Scale labels: at `screenX` on the screen; on paper right-aligned to end
// 3 mm left of the frame.
void SideLabel(QPainter& painter, const DiagramStyle& style, double screenX, double top, const QString& text)
{
    const double x = style.IsPaper() ? -style.Mm(3) - PixelTextWidth(painter, text) : screenX;
    PixelTextAt(painter, x, top, text);
}

// 1 mm div `divisor` printer pixels on paper, one pixel on the screen.
double MmDiv(const DiagramStyle& style, int divisor)
{
    return style.IsPaper() ? std::floor(style.Mm(1) / divisor) : 1.0;
}

double MeridianMean(const AnalysisResult& r, int m)
{
    return (r.Deviation[PointOf(m, Side::Left)] + r.Deviation[PointOf(m, Side::Right)]) / 2;
}

double CoupleMean(const AnalysisResult& r, int c)
{
    return (r.Deviation[CoupleTable[c].Yin] + r.Deviation[CoupleTable[c].Yang]) / 2;
}

// v[1..6] the first curve, v[7..12] the second; v[i] and v[i + 6] share column i.
OneBased<double, 12> ChartValues(const AnalysisResult& r, ChartKind kind)
{
    OneBased<double, 12> v;
    for (int i = 1; i <= 6; ++i) {
        const ColumnMeridians& col = Columns[static_cast<std::size_t>(i - 1)];
        v[i] = kind == ChartKind::YinYang ? MeridianMean(r, col.Yin) : CoupleMean(r, i);
        v[i + 6] = kind == ChartKind::YinYang ? MeridianMean(r, col.Yang) : CoupleMean(r, i + 6);
    }
    return v;
}

void DrawChartA(QPainter& painter, const QRectF& frame, const AnalysisResult& r, const DiagramStyle& style,
                ChartKind kind)
{
    const bool paper = style.IsPaper();
    const int W = int(std::lround(frame.width()));
    const int H = int(std::lround(frame.height()));
    // On paper the scale labels lie left of the frame, so the plot starts at
    // its left edge instead of leaving the screen's 50-pixel margin for them.
    const int X0 = paper ? 0 : 50;
    const int P = W - X0;
    const int y0 = H / 2;
    const auto y = [&](double v) { return y0 - RoundEven(H / 100.0 * v); };
    const auto xc = [&](int i) { return X0 + RoundEven(P / 6.0 * i) - RoundEven(P / 12.0); };
    const auto xm = [&](int i) { return X0 + RoundEven(P / 6.0) * i - RoundEven(P / 12.0); };
    const OneBased<double, 12> v = ChartValues(r, kind);

    painter.save();
    painter.translate(frame.topLeft());
    painter.setBrush(Qt::NoBrush);
    painter.setFont(style.Font(8));

    painter.setPen(style.Pen(Black, style.Offset(3, 0.3)));
    painter.drawLine(QPointF(X0, 0), QPointF(X0, H));
    painter.drawLine(QPointF(X0, y0), QPointF(X0 + P, y0));

    painter.setPen(style.Pen(Red));
    SideLabel(painter, style, 10, y0 - style.Offset(8, 2), QString::asprintf("%3.1f", r.BodyEnergy));

    painter.setPen(style.Pen(Grey, style.Offset(1, 0.1), Qt::DotLine));
    for (int i = 1; i <= 6; ++i)
        painter.drawLine(QPointF(xc(i), H / 20), QPointF(xc(i), H - H / 10));

    const double half = style.Offset(6, 1);
    const QPen markerPen = style.Pen(Black, MmDiv(style, 5));
    const auto markerBox = [&](double cx, double cy) { return QRectF(cx - half, cy - half, 2 * half, 2 * half); };
    const auto marker = [&](const QRectF& box, const QColor& fill, bool round) {
        painter.save();
        style.PrepareFill(painter);
        painter.setPen(markerPen);
        painter.setBrush(style.Fill(fill));
        if (round)
            painter.drawEllipse(box);
        else
            painter.drawRect(box);
        painter.restore();
    };
    // In monochrome both fills print the same grey; the first curve's circles
    // keep the curves apart.
    const bool firstRound = style.Monochrome();
    const QPen firstLine = style.Pen(Black, style.Offset(1, 0.2), Qt::DotLine);
    const QPen secondLine = style.Pen(Blue, MmDiv(style, 5));

    // Values beyond the scale run off the picture, as the screen's surface
    // clips them; on paper they must not run into the neighbouring blocks.
    painter.save();
    painter.setClipRect(QRectF(0, 0, W, H));
    QPointF previous;
    for (int i = 1; i <= 12; ++i) {
        const int column = i <= 6 ? i : i - 6;
        const QPointF point(xc(column), y(v[i]));
        marker(markerBox(point.x(), point.y()), i <= 6 ? ColorPoor : ColorNormal, i <= 6 && firstRound);
        if (i != 1 && i != 7) {
            painter.setPen(i <= 6 ? firstLine : secondLine);
            painter.drawLine(previous, point);
        }
        previous = point;
        if (i > 6)
            continue;
        const double difference = std::abs(v[i] - v[i + 6]);
        if (difference < r.DiffLimit1)
            continue;
        const QColor flag = difference >= r.DiffLimit2 ? Red : paper ? PaperYellow : Yellow;
        const double m = xm(i);
        painter.save();
        painter.setPen(Qt::NoPen);
        painter.setBrush(style.Fill(flag));
        const double boxTop = style.Offset(19, 3.5);
        painter.drawRect(QRectF(QPointF(m - style.Offset(8, 2), boxTop),
                                QPointF(m + style.Offset(9, 2), style.Offset(23, 4))));
        // On paper the triangle's base lies 3 mm below the top; its apex
        // keeps the screen's proportions.
        const double base = style.Offset(17, 3);
        const double wing = style.Offset(8, 2);
        painter.drawPolygon(QPolygonF{{m - wing, base}, {m, style.Offset(3, 0.5)}, {m + wing, base}});
        painter.restore();
    }
    painter.restore();

    const double bandWidth = MmDiv(style, 7);
    const auto limitLine = [&](const QColor& colour, double value) {
        painter.setPen(style.Pen(colour, bandWidth, Qt::DotLine));
        painter.drawLine(QPointF(X0, y(value)), QPointF(X0 + P, y(value)));
    };
    limitLine(Red, r.UpperLimit2);
    limitLine(Red, -r.LowerLimit2);
    limitLine(Olive, r.UpperLimit1);
    limitLine(Olive, -r.LowerLimit1);

    painter.setPen(style.Pen(Black, style.Offset(1, 0.2)));
    const double labelLift = paper ? style.Mm(2) + 8 : 8;
    for (int k = 1; k <= 9; ++k) {
        if (k == 5)
            continue;
        const double tick = RoundEven(H / 10.0 * k);
        painter.drawLine(QPointF(X0, tick), QPointF(X0 + P / 80, tick));
        const QString label = k < 5 ? QStringLiteral("+") + QString::asprintf("%4d", 50 - 10 * k)
                                    : QStringLiteral("-") + QString::asprintf("%4d", 10 * k - 50);
        SideLabel(painter, style, 5, tick - labelLift, label);
    }

    const QString leftTag = paper ? QStringLiteral("-(L)") : QStringLiteral("-L");
    const QString rightTag = paper ? QStringLiteral("-(R)") : QStringLiteral("-R");
    for (int i = 1; i <= 6; ++i) {
        const ColumnMeridians& col = Columns[static_cast<std::size_t>(i - 1)];
        const QString& yin = MeridianTable(col.Yin).Code;
        const QString& yang = MeridianTable(col.Yang).Code;
        const QString first = kind == ChartKind::YinYang ? yin + QStringLiteral("-(LR)") : yin + "+" + yang + leftTag;
        const QString second =
            kind == ChartKind::YinYang ? yang + QStringLiteral("-(LR)") : yin + "+" + yang + rightTag;
        const QString element = QStringLiteral("- ") + MeridianTable(col.Yin).Element + QStringLiteral(" -");
        const auto caption = [&](const QColor& colour, double top, const QString& text) {
            painter.setPen(style.Pen(colour));
            PixelTextAt(painter, xc(i) - PixelTextWidth(painter, text) / 2, top, text);
        };
        caption(Red, H - style.Offset(46, 10), first);
        caption(DarkGreen, H - style.Offset(30, 6), second);
        caption(Blue, H - style.Offset(15, 2), element);
    }

    // The legend: relative to P on the screen; on paper measured from the
    // printable left edge, not from the frame.
    const double lineLeft = paper ? W - style.Mm(6) - frame.left() : P - 135;
    const double lineRight = paper ? W + style.Mm(2) - frame.left() : P - 95;
    // The screen's legend boxes are 12 by 14 pixels; paper uses the markers.
    const auto legendBox = [&](double lineY) {
        return paper ? markerBox((lineLeft + lineRight) / 2, lineY)
                     : QRectF(QPointF(P - 121, lineY - 7), QPointF(P - 109, lineY + 7));
    };
    const double textX = paper ? W + style.Mm(6) - frame.left() : P - 80;
    const double firstY = style.Offset(45, 7);
    const double secondY = style.Offset(80, 14);
    const auto legendTop = [&](double lineY) {
        return paper ? lineY - painter.fontMetrics().height() / 2 : lineY - 6;
    };
    painter.setPen(firstLine);
    painter.drawLine(QPointF(lineLeft, firstY), QPointF(lineRight, firstY));
    marker(legendBox(firstY), ColorPoor, firstRound);
    painter.setPen(secondLine);
    painter.drawLine(QPointF(lineLeft, secondY), QPointF(lineRight, secondY));
    marker(legendBox(secondY), ColorNormal, false);
    painter.setPen(style.Pen(Red));
    PixelTextAt(painter, textX, legendTop(firstY),
                kind == ChartKind::YinYang ? QStringLiteral("Yin-Zang") : QStringLiteral("Left Side"));
    painter.setPen(style.Pen(DarkGreen));
    PixelTextAt(painter, textX, legendTop(secondY),
                kind == ChartKind::YinYang ? QStringLiteral("Yang-Fu") : QStringLiteral("Right Side"));

    painter.restore();
}

} // namespace

void DrawYinYangChart(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style)
{
    DrawChartA(painter, frame, input.Result, style, ChartKind::YinYang);
}

void DrawQiBloodChart(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style)
{
    DrawChartA(painter, frame, input.Result, style, ChartKind::QiBlood);
}

} // namespace qern
