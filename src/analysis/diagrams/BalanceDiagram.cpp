#include "Diagrams.h"
#include "DiagramText.h"

#include "shell/MeridianModel.h"

#include <QImage>
#include <QImageReader>
#include <QList>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <functional>

namespace qern {

namespace {

using diagram_text::PixelTextWidth;
using diagram_text::RoundedPixelTextAt;

const QColor Orange(255, 128, 0);
const QColor Olive(128, 128, 0);
const QColor Red(255, 0, 0);
const QColor Yellow(255, 238, 0);
const QColor Green(0, 255, 0);
const QColor DarkGreen(0, 128, 0);
const QColor Blue(0, 0, 255);
const QColor Grey(128, 128, 128);
const QColor Silver(192, 192, 192);
const QColor White(255, 255, 255);
const QColor Black(0, 0, 0);
const QColor Maroon(128, 0, 0);
const QColor Navy(0, 0, 128);

const QString PictureFile = QStringLiteral("zebkmg.msi");

QRectF Box(double x1, double y1, double x2, double y2)
{
    return QRectF(QPointF(std::min(x1, x2), std::min(y1, y2)), QPointF(std::max(x1, x2), std::max(y1, y2)));
}


class Balance {
public:
    Balance(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style)
        : p_(painter), r_(input.Result), input_(input), style_(style), paper_(style.IsPaper())
    {
        W = frame.width();
        H = frame.height();
        PW = W / 5 * 4;
        PH = H / 8 * 7;
        M = Off(30, 6);
        IW = PW - 2 * M;
        IH = PH - 2 * M;
        cx = IW / 2;
        cy = IH / 2;
    }

    void Draw()
    {
        if (!paper_)
            Picture();
        Frame();
        Axes();
        NormalZones();
        EdgeLabels();
        QuadrantNumerals();
        TicksAndLabels();
        PlaneMarker();
        YinYangGauge();
        EnergyGauge();
        NerveGauge();
        Figures();
    }

private:
    QPainter& p_;
    const AnalysisResult& r_;
    const DiagramInput& input_;
    const DiagramStyle& style_;
    bool paper_;
    double W, H, PW, PH, M, IW, IH, cx, cy;

    double Off(double px, double mm) const { return style_.Offset(px, mm); }
    // Pen widths: a screen pixel is a tenth of a millimetre on paper, as the
    // frame's pens 3 and 2 become 0.3 mm and 0.2 mm.
    double Width(double px) const { return paper_ ? style_.Mm(0.1 * px) : px; }
    QPen BandPen(const QColor& colour) const
    {
        return style_.Pen(colour, paper_ ? std::floor(style_.Mm(1) / 7) : 1, Qt::DotLine);
    }

    double X(double r) const { return RoundEven(M + IW - IW * (r - 0.3) / 1.4); }
    double Y(double r) const { return RoundEven(M + IH - IH * (r - 0.3) / 1.4); }
    double YE(double e) const { return RoundEven(M + IH - IH * e / 140); }
    double YN(double r) const { return RoundEven(M + IH - IH * r / 5); }
    // The marker fill rule: green when every class is 0, red when one lies
    // beyond 2, yellow otherwise. Monochrome hatches them as the state
    // colours they stand for, since green and red print the same grey.
    QBrush MarkerBrush(int a, int b = 0) const
    {
        const bool normal = a == 0 && b == 0;
        const bool poor = std::abs(a) > 2 || std::abs(b) > 2;
        if (style_.Monochrome())
            return style_.StateBrush(normal ? ColorNormal : poor ? ColorPoor : ColorTolerable);
        return style_.Fill(normal ? Green : poor ? Red : Yellow);
    }

    // Keeps a marker inside the picture.
    static double Limit(double position, double upper) { return std::clamp(position, 5.0, RoundEven(upper)); }

    void Line(double x1, double y1, double x2, double y2)
    {
        p_.drawLine(QPointF(RoundEven(x1), RoundEven(y1)), QPointF(RoundEven(x2), RoundEven(y2)));
    }
    void Rect(double x1, double y1, double x2, double y2)
    {
        p_.drawRect(Box(RoundEven(x1), RoundEven(y1), RoundEven(x2), RoundEven(y2)));
    }
    // A filled rectangle; hatches print on white.
    void FilledRect(double x1, double y1, double x2, double y2, const QPen& pen, const QBrush& brush)
    {
        p_.setPen(pen);
        p_.setBrush(brush);
        if (paper_)
            style_.PrepareFill(p_);
        Rect(x1, y1, x2, y2);
        p_.setBackgroundMode(Qt::TransparentMode);
        p_.setBrush(Qt::NoBrush);
    }
    void SetText(const QColor& colour, double points = 8)
    {
        p_.setFont(style_.Font(points));
        p_.setPen(style_.Pen(colour));
    }
    void TextColour(const QColor& colour) { p_.setPen(style_.Pen(colour)); }
    // Text that must end before `right`: a font too wide for the space is
    // scaled down.
    void FittedText(double x, double y, double right, const QString& text)
    {
        const double width = PixelTextWidth(p_, text);
        if (width <= right - x) {
            RoundedPixelTextAt(p_, x, y, text);
            return;
        }
        const QFont font = p_.font();
        QFont fitted = font;
        if (font.pointSizeF() > 0)
            fitted.setPointSizeF(font.pointSizeF() * (right - x) / width);
        else
            fitted.setPixelSize(std::max(1, int(font.pixelSize() * (right - x) / width)));
        p_.setFont(fitted);
        RoundedPixelTextAt(p_, x, y, text);
        p_.setFont(font);
    }

    void Picture()
    {
        const QString path = input_.PictureFolder + PictureFile;
        QImageReader reader(path, "BMP");
        QImage image = reader.read();
        // The picture only decorates: without it the diagram is still drawn
        // in full and the caller is told which file is missing.
        if (image.isNull()) {
            if (input_.MissingPicture)
                input_.MissingPicture(path);
            return;
        }
        image = image.convertToFormat(QImage::Format_ARGB32);
        const QRgb transparent = image.pixel(0, image.height() - 1) & RGB_MASK;
        for (int y = 0; y < image.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((line[x] & RGB_MASK) == transparent)
                    line[x] = 0;
        }
        p_.drawImage(QPointF(RoundEven(M + cx - image.width() / 2.0), RoundEven(M + cy - image.height() / 2.0 + 10)),
                     image);
    }

    void Frame()
    {
        p_.setBrush(Qt::NoBrush);
        p_.setPen(style_.Pen(Orange, Width(3)));
        Rect(1, 1, PW - 1, PH - 1);
        p_.setPen(style_.Pen(Black, Width(2)));
        Rect(1, 1, PW - 1, PH - 1);
    }

    void Axes()
    {
        p_.setPen(style_.Pen(Black, paper_ ? style_.Mm(0.3) : 2));
        Line(M + cx, M, M + cx, PH - M);
        Line(M, M + cy, PW - M, M + cy);
    }

    void NormalZones()
    {
        const bool male = input_.Male;
        p_.setBrush(Qt::NoBrush);
        p_.setPen(BandPen(Olive));
        p_.drawRect(Box(X(1.15), male ? Y(1.2) : Y(1.1), X(0.87), male ? Y(0.87) : Y(0.77)));
        p_.setPen(BandPen(Red));
        p_.drawRect(Box(X(1.35), male ? Y(1.4) : Y(1.25), X(0.67), male ? Y(0.73) : Y(0.64)));
    }

    void EdgeLabels()
    {
        SetText(Blue);
        if (!paper_) {
            RoundedPixelTextAt(p_, M + cx - 9, PH - 20, QStringLiteral("-Down-"));
            RoundedPixelTextAt(p_, M + cx - 9, 10, QStringLiteral("-Up-"));
            RoundedPixelTextAt(p_, 5, M + cy - 9, QStringLiteral("-L-"));
            RoundedPixelTextAt(p_, PW - 25, M + cy - 9, QStringLiteral("-R-"));
            return;
        }
        const QString up = QStringLiteral("-Up-");
        const QString down = QStringLiteral("-Down-");
        RoundedPixelTextAt(p_, M + cx - PixelTextWidth(p_, up) / 2.0, 0, up);
        RoundedPixelTextAt(p_, M + cx - PixelTextWidth(p_, down) / 2.0, PH - M + style_.Mm(1), down);
        const double y = (PH - 2 * M) / 2 + style_.Mm(1.5);
        const QString left = QStringLiteral("L");
        const QString right = QStringLiteral("R");
        RoundedPixelTextAt(p_, style_.Mm(1), y + PixelTextWidth(p_, left) / 2.0, left);
        RoundedPixelTextAt(p_, PW - 2 * M + style_.Mm(7.5), y + PixelTextWidth(p_, right) / 2.0, right);
    }

    void QuadrantNumerals()
    {
        if (!paper_) {
            SetText(DarkGreen, 18);
            RoundedPixelTextAt(p_, PW - M - 6, M, QStringLiteral("I"));
            RoundedPixelTextAt(p_, M, M, QStringLiteral("II"));
            RoundedPixelTextAt(p_, M, PH - M - 30, QStringLiteral("III"));
            RoundedPixelTextAt(p_, PW - M - 20, PH - M - 30, QStringLiteral("IV"));
        } else {
            // Two points above the report's base size.
            QFont font = style_.Font(8);
            if (font.pointSizeF() > 0)
                font.setPointSizeF(font.pointSizeF() + 2);
            else
                font = style_.Font(10);
            p_.setFont(font);
            TextColour(DarkGreen);
            RoundedPixelTextAt(p_, PW - style_.Mm(5), style_.Mm(3), QStringLiteral("I"));
            RoundedPixelTextAt(p_, style_.Mm(4), style_.Mm(3), QStringLiteral("II"));
            RoundedPixelTextAt(p_, style_.Mm(4), PH - style_.Mm(8), QStringLiteral("III"));
            RoundedPixelTextAt(p_, PW - style_.Mm(8), PH - style_.Mm(8), QStringLiteral("IV"));
        }
        SetText(Maroon);
    }

    void TicksAndLabels()
    {
        const double major = Off(6, 1);
        const double minor = Off(4, 0.7);
        const double beside = Off(8, 2.7);
        const double above = Off(6, 2);
        const QPen black = style_.Pen(Black, Width(1));
        const QPen grey = style_.Pen(Grey, Width(1));
        const QPen maroon = style_.Pen(Maroon);
        for (int i = 0; i <= 14; ++i) {
            const double ty = M + IH - IH * i / 14;
            const double tx = M + IW - IW * i / 14;
            if (i != 7) {
                p_.setPen(black);
                Line(M + cx - major, ty, M + cx + major, ty);
                Line(tx, M + cy - major, tx, M + cy + major);
            }
            if (i != 14) {
                p_.setPen(grey);
                Line(M + cx - minor, ty - IH / 28, M + cx + minor, ty - IH / 28);
                Line(tx - IW / 28, M + cy - minor, tx - IW / 28, M + cy + minor);
            }
        }
        // The horizontal axis's labels after the vertical one's: on paper the
        // font is larger against the plane, and a label that would overprint
        // one of the vertical axis (0.9 near the crossing) is left out.
        p_.setPen(maroon);
        QList<QRectF> vertical;
        for (int i = 0; i <= 14; ++i) {
            if (i == 7)
                continue;
            const QString label = QString::asprintf("%1.1f", (i + 3) / 10.0);
            const QPointF at(RoundEven(M + cx + beside), RoundEven(RoundEven(M + IH - IH * i / 14) - above));
            RoundedPixelTextAt(p_, at.x(), at.y(), label);
            vertical.append(TextBox(at, label));
        }
        for (int i = 0; i <= 14; ++i) {
            if (i == 7)
                continue;
            const QString label = QString::asprintf("%1.1f", (i + 3) / 10.0);
            const QPointF at(RoundEven(RoundEven(M + IW - IW * i / 14) - above), RoundEven(M + cy + beside));
            const QRectF box = TextBox(at, label);
            if (std::none_of(vertical.begin(), vertical.end(), [&](const QRectF& v) { return v.intersects(box); }))
                RoundedPixelTextAt(p_, at.x(), at.y(), label);
        }
    }

    QRectF TextBox(const QPointF& topLeft, const QString& text) const
    {
        const QFontMetrics metrics = p_.fontMetrics();
        return QRectF(topLeft, QSizeF(metrics.horizontalAdvance(text), metrics.height()));
    }

    void PlaneMarker()
    {
        const double c = Limit(X(Ratio(r_.LeftAverage, r_.RightAverage)), PW - 5);
        const double d = Limit(Y(Ratio(r_.UpAverage, r_.DownAverage)), PH - 5);
        p_.setPen(style_.Pen(Black, Width(2)));
        p_.setBrush(MarkerBrush(r_.UpDownClass, r_.LeftRightClass));
        if (paper_)
            style_.PrepareFill(p_);
        const double radius = Off(12, 2);
        p_.drawEllipse(QPointF(c, d), radius, radius);
        p_.setBackgroundMode(Qt::TransparentMode);
        p_.setBrush(Qt::NoBrush);
        p_.setPen(style_.Pen(Black, Width(1)));
        const double outer = Off(23, 3.5);
        const double inner = Off(3, 0.7);
        Line(c - outer, d, c - inner, d);
        Line(c, d - outer, c, d - inner);
        Line(c + outer, d, c + inner, d);
        Line(c, d + outer, c, d + inner);
        p_.setPen(style_.Pen(Orange, Width(2)));
        const double ring = Off(19, 2.8);
        p_.drawEllipse(QPointF(c, d), ring, ring);
    }

    // The gauges' offsets beyond the plane: paper maps a screen pixel to
    // 0.2 mm after 1 mm, which reproduces the listed gauge edges.
    double GaugeOff(double px) const { return paper_ ? style_.Mm(1 + 0.2 * px) : px; }
    // A marker's half sizes around its position, 0.2 mm a pixel on paper.
    double MarkOff(double px) const { return paper_ ? style_.Mm(0.2 * px) : px; }

    void YinYangGauge()
    {
        const double top = PH + Off(10, 3);
        const double bottom = PH + Off(30, 7);
        p_.setBrush(Qt::NoBrush);
        p_.setPen(style_.Pen(Orange, Width(3)));
        Rect(M, top, PW - M, bottom);
        const QPen outline = style_.Pen(Black, Width(1));
        // In monochrome the silver half is cross hatched, the white one left unfilled.
        FilledRect(M, top, PW / 2, bottom, outline,
                   style_.Monochrome() ? QBrush(style_.Colour(Silver), Qt::DiagCrossPattern) : style_.Fill(Silver));
        FilledRect(PW / 2, top, PW - M, bottom, outline,
                   style_.Monochrome() ? QBrush(Qt::NoBrush) : style_.Fill(White));
        p_.setPen(style_.Pen(Black, Width(3)));
        Line(PW / 2 - 1, PH + GaugeOff(6), PW / 2 - 1, PH + GaugeOff(34));
        p_.setPen(BandPen(Olive));
        for (double ratio : {1.25, 0.81})
            Line(X(ratio), top, X(ratio), bottom);
        p_.setPen(BandPen(Red));
        for (double ratio : {1.45, 0.61})
            Line(X(ratio), top, X(ratio), bottom);

        SetText(Blue);
        const QString yin = QStringLiteral("Yin");
        const QString yang = QStringLiteral("Yang");
        if (paper_) {
            // Beside the band's ends, clear of the band and of the figures.
            RoundedPixelTextAt(p_, M - style_.Mm(0.5) - PixelTextWidth(p_, yin), PH + style_.Mm(3.5), yin);
            RoundedPixelTextAt(p_, PW - M + style_.Mm(0.5), PH + style_.Mm(3.5), yang);
        } else {
            RoundedPixelTextAt(p_, 7, PH + 15, yin);
            RoundedPixelTextAt(p_, PW - 18, PH + 15, yang);
        }

        const double scale = PH + Off(45, 9.2);
        p_.setPen(style_.Pen(Black, Width(2)));
        Line(M, scale, PW - M, scale);
        for (int i = 0; i <= 14; ++i) {
            const double tx = M + IW - IW * i / 14;
            p_.setPen(style_.Pen(Black, Width(1)));
            Line(tx, scale, tx, PH + Off(55, 11.5));
            if (i != 14) {
                p_.setPen(style_.Pen(Grey, Width(1)));
                Line(tx - IW / 28, scale, tx - IW / 28, PH + Off(52, 10.7));
            }
            TextColour(Blue);
            RoundedPixelTextAt(p_, RoundEven(tx) - Off(6, 2), PH + Off(57, 12.5),
                               QString::asprintf("%1.1f", (i + 3) / 10.0));
        }

        const double g = Limit(X(Ratio(r_.YinAverage, r_.YangAverage)), PW - 5);
        FilledRect(g - MarkOff(6), PH + GaugeOff(9), g + MarkOff(6), PH + GaugeOff(31), style_.Pen(Black, Width(2)),
                   MarkerBrush(r_.YinYangClass));
        p_.setPen(style_.Pen(Orange, Width(2)));
        Rect(g - MarkOff(10), PH + GaugeOff(5), g + MarkOff(11), PH + GaugeOff(36));
        p_.setPen(style_.Pen(Black, Width(1)));
        Line(g, PH + GaugeOff(9), g, PH + GaugeOff(2));
        Line(g, PH + GaugeOff(31), g, PH + GaugeOff(38));
    }

    struct Band {
        QColor Colour;
        double Top, Bottom;
    };

    // A vertical gauge's bands, each filled and outlined in its own colour,
    // then its orange and black outline.
    void GaugeBands(double left, double right, std::initializer_list<Band> bands)
    {
        for (const Band& band : bands)
            FilledRect(left, band.Top, right, band.Bottom, style_.Pen(band.Colour), style_.StateBrush(band.Colour));
        p_.setBrush(Qt::NoBrush);
        p_.setPen(style_.Pen(Orange, Width(3)));
        Rect(left, M, right, PH - M);
        p_.setPen(style_.Pen(Black, Width(1)));
        Rect(left, M, right, PH - M);
    }

    // A gauge's marker at height y; `base` is the gauge's screen offset
    // beyond PW less 10, `strokeEnd` where its inner stroke ends.
    void GaugeMarker(double base, double strokeEnd, double y, int markerClass)
    {
        FilledRect(PW + GaugeOff(base + 9), y - MarkOff(6), PW + GaugeOff(base + 31), y + MarkOff(6),
                   style_.Pen(Black, Width(2)), MarkerBrush(markerClass));
        p_.setPen(style_.Pen(Orange, Width(2)));
        Rect(PW + GaugeOff(base + 5), y - MarkOff(10), PW + GaugeOff(base + 36), y + MarkOff(11));
        p_.setPen(style_.Pen(Black, Width(1)));
        Line(PW + GaugeOff(base + 9), y, PW + GaugeOff(strokeEnd), y);
        Line(PW + GaugeOff(base + 31), y, PW + GaugeOff(base + 38), y);
    }

    // The scale beside a vertical gauge: its line at x, `divisions` steps over
    // the inner height with a labelled major tick from step `first` on
    // (reaching to `majorEnd`, the label at `labelX`) and a minor tick
    // (reaching to `minorEnd`) halfway to the next.
    void GaugeScale(double x, double majorEnd, double minorEnd, double labelX, int first, int divisions,
                    const std::function<QString(int)>& label)
    {
        p_.setPen(style_.Pen(Black, Width(2)));
        Line(x, M, x, PH - M);
        for (int i = first; i <= divisions; ++i) {
            const double ty = M + IH - IH * i / divisions;
            p_.setPen(style_.Pen(Black, Width(1)));
            Line(x, ty, majorEnd, ty);
            if (i != divisions) {
                p_.setPen(style_.Pen(Grey, Width(1)));
                Line(x, ty - IH / (2 * divisions), minorEnd, ty - IH / (2 * divisions));
            }
            TextColour(Blue);
            RoundedPixelTextAt(p_, labelX, RoundEven(ty) - Off(6, 2), label(i));
        }
    }

    void EnergyGauge()
    {
        const bool male = input_.Male;
        const double left = PW + Off(10, 3);
        const double right = PW + Off(30, 7);
        GaugeBands(left, right,
                   {{ColorPoor, M, PH - M},
                    {ColorTolerable, male ? YE(75) : YE(72), male ? YE(19) : YE(18)},
                    {ColorNormal, male ? YE(65) : YE(62), male ? YE(30) : YE(28)}});

        GaugeScale(PW + Off(45, 9), PW + Off(55, 11.3), PW + Off(51, 10.4), PW + Off(60, 12.5), 0, 14,
                   [](int i) { return QString::asprintf("%3d", i * 10); });
        // Kept clear of "Auto.Nervous" where the font runs wide.
        FittedText(PW + Off(10, 3), PH - Off(20, 4), PW + Off(110, 23) - Off(5, 1), QStringLiteral("Body Energy"));

        GaugeMarker(0, 1, Limit(YE(r_.BodyEnergy), PH - 5), r_.EnergyClass);
    }

    void NerveGauge()
    {
        const double left = PW + Off(110, 23);
        const double right = PW + Off(130, 27);
        GaugeBands(left, right,
                   {{ColorPoor, M, PH - M}, {ColorTolerable, YN(2.0), M + IH}, {ColorNormal, YN(1.5), M + IH}});

        const double scale = PW + Off(145, 29.2);
        GaugeScale(scale, PW + Off(155, 31.5), PW + Off(151, 30.6), PW + Off(160, 33), 2, 10,
                   [](int i) { return QString::asprintf("%1.1f", i / 2.0); });
        // The part of the scale below 1.0.
        FilledRect(scale, M + IH - IH * 2 / 10, PW + Off(150, 30.4), PH - M + 1, style_.Pen(Black, Width(1)),
                   style_.Fill(Grey));
        TextColour(Blue);
        RoundedPixelTextAt(p_, PW + Off(110, 23), PH - Off(20, 4), QStringLiteral("Auto.Nervous"));

        GaugeMarker(100, 102, Limit(YN(Ratio(r_.HighGroup, r_.LowGroup)), PH - 5), r_.NervousClass);
    }

    void Figures()
    {
        SetText(Navy);
        const auto figure = [](double value, const char* format) { return QString::asprintf(format, value); };
        const double leftColumn = PW + Off(20, 5);
        const double rightColumn = PW + Off(100, 27);
        const double row1 = PH + Off(15, 3.5);
        const double row2 = PH + Off(32, 7.8);
        const double row3 = PH + Off(49, 12.1);
        RoundedPixelTextAt(p_, leftColumn, row1,
                           (paper_ ? QStringLiteral("Up/Dn: ") : QStringLiteral("Up/Dn : "))
                               + figure(Ratio(r_.UpAverage, r_.DownAverage), "%1.2f"));
        RoundedPixelTextAt(p_, leftColumn, row2,
                           (paper_ ? QStringLiteral("L/R: ") : QStringLiteral("L/R : "))
                               + figure(Ratio(r_.LeftAverage, r_.RightAverage), "%1.2f"));
        RoundedPixelTextAt(p_, leftColumn, row3,
                           (paper_ ? QStringLiteral("Yi/Ya: ") : QStringLiteral("Yin/Yang : "))
                               + figure(Ratio(r_.YinAverage, r_.YangAverage), "%1.2f"));
        RoundedPixelTextAt(p_, rightColumn, row1,
                           (paper_ ? QStringLiteral("Energy: ") : QStringLiteral("Energy : "))
                               + figure(r_.BodyEnergy, "%3.1f"));
        RoundedPixelTextAt(p_, rightColumn, row2,
                           (paper_ ? QStringLiteral("A.Nerv: ") : QStringLiteral("A.Nervous : "))
                               + figure(Ratio(r_.HighGroup, r_.LowGroup), "%1.2f"));
    }
};

} // namespace

void DrawBodyEnergyBalance(QPainter& painter, const QRectF& frame, const DiagramInput& input, const DiagramStyle& style)
{
    painter.save();
    painter.translate(frame.topLeft());
    Balance(painter, frame, input, style).Draw();
    painter.restore();
}

} // namespace qern
