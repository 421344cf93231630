#include "DiagramText.h"

#include "DiagramStyle.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>

namespace qern::diagram_text {

void TextAt(QPainter& painter, double x, double y, const QString& text)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    painter.drawText(QPointF(x, y + metrics.ascent()), text);
}

double TextWidth(const QPainter& painter, const QString& text)
{
    return QFontMetricsF(painter.font(), painter.device()).horizontalAdvance(text);
}

QRectF TextBox(const QPainter& painter, double x, double y, const QString& text)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    return QRectF(x, y, metrics.horizontalAdvance(text), metrics.height());
}

void PixelTextAt(QPainter& painter, double x, double y, const QString& text)
{
    painter.drawText(QPointF(x, y + painter.fontMetrics().ascent()), text);
}

void RoundedPixelTextAt(QPainter& painter, double x, double y, const QString& text)
{
    painter.drawText(QPointF(RoundEven(x), RoundEven(y) + painter.fontMetrics().ascent()), text);
}

int PixelTextWidth(const QPainter& painter, const QString& text)
{
    return painter.fontMetrics().horizontalAdvance(text);
}

} // namespace qern::diagram_text
