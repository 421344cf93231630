#pragma once

// What the diagram tests share: surfaces to draw a diagram on (the chart
// surface of the analysis window, or a page at 600 dpi), analysis results to
// draw, pixel probes, and comparisons of drawn text with a reference rendering.

#include "analysis/diagrams/Diagrams.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

namespace qern::diagram_test {

// The resolution of the printed diagrams.
inline constexpr double PaperDpi = 600;

// `mm` millimetres in printer pixels at PaperDpi, rounded to the nearest pixel.
double Mm(double mm);

// The analysis of a measurement whose every point reads `value`, at f = 1.
AnalysisResult Uniform(double value);

// Body energy 50 and the limits of band factor 1: 11.5 and 21 above, 10.5
// and 20 below; every other field as a new result has it.
AnalysisResult BodyEnergy50();

// A diagram's drawing surface: its style, its frame on the image, and the image.
struct Surface {
    DiagramStyle Style;
    QRectF Frame;
    QImage Image;
};

// The chart surface of the analysis window (965 x 554), white, the frame filling it.
Surface ScreenSurface();

// The report font at its base size: Tahoma, 10 points.
QFont ReportFont();

// The report's line height at PaperDpi: the report font's height and 1 mm.
double ReportLineHeight();

// A white page of `pageMm` at PaperDpi.
QImage PaperImage(const QSizeF& pageMm);

// A white page of `pageMm` with the diagram's frame at `frameMm`, the style
// of paper at PaperDpi with the report font and `lineHeight` (printer pixels).
Surface PaperSurface(bool monochrome, double lineHeight, const QRectF& frameMm, const QSizeF& pageMm);

using DrawFunction = std::function<void(QPainter&, const QRectF&, const DiagramInput&, const DiagramStyle&)>;

// Draws into the surface's frame in its style.
void DrawOn(Surface& surface, const DrawFunction& draw, const DiagramInput& input);
// The same for a man's measurement, without pictures.
void DrawOn(Surface& surface, const DrawFunction& draw, const AnalysisResult& result);

// The smallest rectangle holding every pixel of exactly `colour` inside `area`.
std::optional<QRect> Extent(const QImage& image, const QRect& area, const QColor& colour);

// How many pixels inside `area` are exactly `colour`.
int Count(const QImage& image, const QRect& area, const QColor& colour);

// The bounding box of the pixels of `ink` (or its anti-aliased blends with
// white) inside `area`: a clear share of the ink, in its proportions.
QRect InkBox(const QImage& image, const QRect& area, const QColor& ink);

// The ink of `colour` in `area` of `drawn` has the extent it has in
// `reference` (the same text or figure drawn alone), within `tolerance` pixels.
void ExpectInkAsInReference(const QImage& drawn, const QImage& reference, const QRect& area, const QColor& ink,
                            int tolerance = 2);

// The direction of a hatch in the 24 pixels wide and 2 * halfHeight high
// window around `centre`: "cross", "\\", "/", "mixed", or "none" where the
// window is blank or mostly ink.
std::string HatchAround(const QImage& image, QPoint centre, int halfHeight = 12);

// The text as the diagram places it (top-left of the text cell at `topLeft`),
// drawn alone on `background`. Glyph edges may be rasterised a little
// differently from call to call, so the comparison asks for ink in the text
// colour where the glyphs are solid and the same extent of ink (within a pixel).
void ExpectText(const QImage& image, const QFont& font, const QColor& colour, QPointF topLeft, const QString& text,
                const QColor& background = Qt::white);

// Whether `text` is written at `topLeft` in `colour` on white: the area it
// covers is compared with the same text drawn alone by Qt's own top-aligned
// layout, allowing the one pixel by which the two may round the baseline apart
// and the blending of glyph edges at a fractional pen position.
testing::AssertionResult TextAt(const QImage& image, const QPointF& topLeft, const QString& text,
                                const QColor& colour, const QFont& font);

MATCHER_P(Near, expected, "") { return std::abs(arg - expected) <= 1; }

// The elliptic pie of the autonomic nervous system and five elements
// diagrams, computed from the frame's size as their geometry says: the centre
// relative to the frame (whose top-left lies at Ox, Oy on the image).
struct Pie {
    double Ox, Oy, Cx, Cy, Rx, Ry;

    static Pie Of(const Surface& surface);

    // Direction `degrees` (0 left, 90 top, clockwise) at radius factor k, in the frame.
    QPointF Point(double degrees, double k) const;
    // The same as the pixel of the image.
    QPoint At(double degrees, double k) const;
    // A text position in the frame as the diagram rounds it (halves to
    // even), on the image.
    QPointF Text(double x, double y) const;
    // The centre on the image.
    double ImageCx() const { return Ox + Cx; }
    double ImageCy() const { return Oy + Cy; }
};

} // namespace qern::diagram_test
