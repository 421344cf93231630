#pragma once

// Placing text as the diagrams do: a position is the top-left corner of the
// text cell, so the baseline lies one ascent lower. The diagrams are laid out
// with one of two measures, and each keeps to its own (they differ by the
// rounding of the ascent and of the widths):
// - the font's exact metrics on the painter's device: TextAt, TextWidth, TextBox;
// - the painter's whole-pixel metrics: PixelTextAt, PixelTextWidth, and
//   RoundedPixelTextAt, which first rounds the position (halves to even).

#include <QRectF>
#include <QString>

class QPainter;

namespace qern::diagram_text {

void TextAt(QPainter& painter, double x, double y, const QString& text);
double TextWidth(const QPainter& painter, const QString& text);
// The text cell at (x, y).
QRectF TextBox(const QPainter& painter, double x, double y, const QString& text);

void PixelTextAt(QPainter& painter, double x, double y, const QString& text);
void RoundedPixelTextAt(QPainter& painter, double x, double y, const QString& text);
int PixelTextWidth(const QPainter& painter, const QString& text);

} // namespace qern::diagram_text
