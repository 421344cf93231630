#include "Diagrams.h"
#include "DiagramText.h"
#include "PieGeometry.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace qern {

namespace {

using diagram_text::PixelTextAt;
using diagram_text::PixelTextWidth;
using pie_geometry::DiscBrush;
using pie_geometry::DrawSector;
using pie_geometry::EllipseGrey;
using pie_geometry::OutlineGrey;
using pie_geometry::PieFrame;
using pie_geometry::PieFrameIn;

constexpr double Pi = 3.14159265358979323846;

const QColor Black(0, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Navy(0, 0, 128);
const QColor Maroon(128, 0, 0);
const QColor GoodText(53, 210, 45);
const QColor FairText(128, 128, 0);
const QColor PoorText(255, 0, 0);
const QColor PaperPoorFill(255, 111, 114);

enum class Band { Good, Fair, Poor };

// Scores are tenths, but their means carry binary noise (a mean shown as
// "8.0" must not fall into the lower band).
Band BandOf(double score)
{
    constexpr double noise = 1e-9;
    return score >= 8.0 - noise ? Band::Good : score >= 7.0 - noise ? Band::Fair : Band::Poor;
}

QColor TextColour(double score)
{
    switch (BandOf(score)) {
    case Band::Good:
        return GoodText;
    case Band::Fair:
        return FairText;
    case Band::Poor:
        break;
    }
    return PoorText;
}

QColor FillColour(double score, const DiagramStyle& style)
{
    switch (BandOf(score)) {
    case Band::Good:
        return ColorNormal;
    case Band::Fair:
        return ColorTolerable;
    case Band::Poor:
        break;
    }
    return style.IsPaper() ? PaperPoorFill : ColorPoor;
}

void CentredText(QPainter& painter, double centreX, double top, const QString& text)
{
    PixelTextAt(painter, RoundEven(centreX - PixelTextWidth(painter, text) / 2.0), top, text);
}

QString Score(double value) { return QString::asprintf("%2.1f", value); }

} // namespace

void DrawEciPie(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style)
{
    const AnalysisResult& r = input.Result;
    const bool paper = style.IsPaper();
    const double W = std::round(frame.width());
    const double H = std::round(frame.height());
    // Paper: the screen's fixed pixels become 0.2 mm, the scale of the
    // conversions listed for the other diagrams.
    const auto offset = [&](double screenPx) { return style.Offset(screenPx, screenPx * 0.2); };

    const double T = offset(30);
    const PieFrame pie = PieFrameIn(RoundEven(W / 14), T, RoundEven(W / 14 * 8.3), H - T);
    const double rx = pie.Rx;
    const double ry = pie.Ry;
    const double cx = pie.Cx;
    const double cy = pie.Cy;

    const double labelLift = offset(5);
    const auto direction = [](int s) { return (75 + 30 * s) * Pi / 180; };
    // Top-left corner of the code label of slot s, `tw` its width.
    const auto codeLabel = [&](int s, double tw) {
        const double d = direction(s);
        const double x = s <= 6 ? cx - (1.1 * rx - tw / 2) * std::cos(d) : cx - (tw / 2 + 1.1 * rx) * std::cos(d);
        return QPointF(RoundEven(x), RoundEven(cy - std::sin(d) * 1.1 * ry - labelLift));
    };

    // The table: column c centred at XI + TW / 7 * c.
    const QFont font = style.Font(8);
    const QFont bold = style.Font(8, true);
    const QFont largest = style.Font(14, true);
    const double XI = RoundEven(W - W / 3 - offset(50));
    const double TW = W - XI - 80;
    double origin = XI;
    double pitch = TW / 7;
    double ruleLeft = RoundEven(XI + TW / 7) - 5;
    double ruleRight = XI + TW + 15;
    double YI = RoundEven(H - H / 3);
    if (paper) {
        // The print font is about twice as large against the frame as the
        // screen's: the row labels start at XI but right of the pie's labels,
        // the columns are spaced by the widest score and spread up to the
        // frame's right edge (a wide font may need more), and the table is
        // lifted so that its last row ends inside the frame.
        const QFontMetrics metrics(font, painter.device());
        double pieRight = 0;
        for (int s = 1; s <= 12; ++s) {
            const double tw = metrics.horizontalAdvance(MeridianTable(DisplayOrder[s]).Code);
            pieRight = std::max(pieRight, codeLabel(s, tw).x() + tw);
        }
        const double labelWidth = metrics.horizontalAdvance(QStringLiteral("Right"));
        const double scoreWidth = QFontMetrics(bold, painter.device()).horizontalAdvance(QStringLiteral("10.0"));
        ruleLeft = std::max(XI, pieRight + style.Mm(1.5));
        const double second = ruleLeft + labelWidth + style.Mm(1.5) + scoreWidth / 2;
        const QFontMetrics largestMetrics(largest, painter.device());
        const double lastHalf = std::max<double>(scoreWidth, largestMetrics.horizontalAdvance(QStringLiteral("10.0"))) / 2;
        pitch = std::max(scoreWidth + style.Mm(0.6), (W - style.Mm(1) - lastHalf - second) / 5);
        origin = second - 2 * pitch;
        ruleRight = origin + 7 * pitch + lastHalf + style.Mm(1);
        YI = std::min(YI, H - offset(160) - largestMetrics.height());
    }
    const auto column = [&](double c) { return RoundEven(origin + pitch * c); };
    const auto row = [&](double screenPx) { return YI + offset(screenPx); };

    const auto slotScore = [&](int s) {
        const SlotPair points = SlotPoints(s);
        return (r.PointScore[points.Left] + r.PointScore[points.Right]) / 2;
    };

    painter.save();
    painter.translate(frame.topLeft());
    painter.setFont(font);
    for (int s = 1; s <= 12; ++s) {
        const double m = slotScore(s);
        const double k = (m + 4) / 14;
        const QColor fill = FillColour(m, style);
        // The light outline keeps its colour on paper, in monochrome too.
        DrawSector(painter, pie, style, k, 60 + 30 * s, 90 + 30 * s, style.Pen(fill), style.StateBrush(fill),
                   QPen(OutlineGrey, 2));

        const double d = direction(s);
        painter.setPen(style.Pen(Black));
        const QString& code = MeridianTable(DisplayOrder[s]).Code;
        const QPointF codeAt = codeLabel(s, PixelTextWidth(painter, code));
        PixelTextAt(painter, codeAt.x(), codeAt.y(), code);
        const QString score = QString::asprintf("%3.1f", m);
        PixelTextAt(painter, RoundEven(cx - std::cos(d) * rx / 2 - PixelTextWidth(painter, score) / 2.0),
                    RoundEven(cy - std::sin(d) * ry / 2 - labelLift), score);
    }

    painter.setPen(style.Pen(EllipseGrey, style.Offset(3, 0.5)));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(pie.Full());

    painter.save();
    style.PrepareFill(painter);
    painter.setPen(style.Pen(OutlineGrey));
    // In monochrome the pale fill would print as the darkest grey allowed and
    // swallow the index: the disc stays paper white there.
    painter.setBrush(DiscBrush(style));
    painter.drawEllipse(QRectF(QPointF(RoundEven(cx - rx * 3 / 14), RoundEven(cy - ry * 3 / 14)),
                               QPointF(RoundEven(cx + rx * 3 / 14), RoundEven(cy + ry * 3 / 14))));
    painter.restore();

    QFont indexFont = style.Font(23, true);
    indexFont.setFamilies({QStringLiteral("Times New Roman")});
    painter.setFont(indexFont);
    painter.setPen(style.Pen(Blue));
    CentredText(painter, cx, cy, QString::asprintf("%3.1f", r.IntegratedIndex));
    painter.setFont(style.Font(10));
    painter.setPen(style.Pen(Black));
    CentredText(painter, cx, cy - style.Offset(20, 5),
                paper ? QStringLiteral("Int.Index") : QStringLiteral("Integrated Index"));

    painter.setFont(font);
    painter.setPen(style.Pen(Blue));
    CentredText(painter, origin + pitch * 4.5, row(-40), QStringLiteral("Energetic Composite Index"));

    painter.setPen(style.Pen(Black, style.Offset(2, 0.2)));
    painter.drawLine(QPointF(ruleLeft, row(-20)), QPointF(ruleRight, row(-20)));
    painter.drawLine(QPointF(ruleLeft, row(130)), QPointF(ruleRight, row(130)));
    painter.setPen(style.Pen(Black, style.Offset(1, 0.1)));
    painter.drawLine(QPointF(ruleLeft, row(50)), QPointF(ruleRight, row(50)));

    painter.setPen(style.Pen(Maroon));
    PixelTextAt(painter, ruleLeft, row(10), QStringLiteral("Left"));
    PixelTextAt(painter, ruleLeft, row(30), QStringLiteral("Right"));
    PixelTextAt(painter, ruleLeft, row(80), QStringLiteral("Left"));
    PixelTextAt(painter, ruleLeft, row(100), QStringLiteral("Right"));

    double leftSum = 0;
    double rightSum = 0;
    for (int s = 1; s <= 12; ++s) {
        const bool hand = s <= 6;
        const double x = column(hand ? s + 1 : s - 5);
        const double top = hand ? 0 : 70; // the foot rows lie 70 pixels lower
        painter.setFont(font);
        painter.setPen(style.Pen(Navy));
        CentredText(painter, x, row(top - 10), MeridianTable(DisplayOrder[s]).Code);
        const SlotPair points = SlotPoints(s);
        const double left = r.PointScore[points.Left];
        const double right = r.PointScore[points.Right];
        leftSum += left;
        rightSum += right;
        painter.setFont(bold);
        painter.setPen(style.Pen(TextColour(left)));
        CentredText(painter, x, row(top + 10), Score(left));
        painter.setPen(style.Pen(TextColour(right)));
        CentredText(painter, x, row(top + 30), Score(right));
    }

    painter.setFont(font);
    painter.setPen(style.Pen(Blue));
    CentredText(painter, column(4), row(140), QStringLiteral("Left"));
    CentredText(painter, column(5), row(140), QStringLiteral("Right"));
    CentredText(painter, column(7), row(140), QStringLiteral("AVG."));
    painter.setFont(bold);
    painter.setPen(style.Pen(Navy));
    PixelTextAt(painter, ruleLeft, row(160), QStringLiteral("Average"));
    const double leftMean = leftSum / 12;
    const double rightMean = rightSum / 12;
    const double mean = (leftSum + rightSum) / 24;
    painter.setPen(style.Pen(TextColour(leftMean)));
    CentredText(painter, column(4), row(160), Score(leftMean));
    painter.setPen(style.Pen(TextColour(rightMean)));
    CentredText(painter, column(5), row(160), Score(rightMean));
    painter.setFont(largest);
    painter.setPen(style.Pen(TextColour(mean)));
    CentredText(painter, column(7), row(160), Score(mean));

    painter.restore();
}

} // namespace qern
