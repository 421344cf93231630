#include "Icons.h"

#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace qern {

namespace {

using Drawing = std::function<void(QPainter&)>;

// Drawings are made on a 64 x 64 canvas and scaled to the requested size.
QPixmap render(const Drawing& draw, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 64.0, size / 64.0);
    draw(p);
    return pixmap;
}

QIcon icon(const Drawing& draw)
{
    QIcon result;
    for (int size : {16, 22, 24, 32, 48, 64})
        result.addPixmap(render(draw, size));
    return result;
}

void glyph(QPainter& p, const QRectF& box, const QString& text, const QColor& colour, int pixelSize)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(pixelSize);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, text);
}

// A disc with a glossy rim, the base of the status and message icons.
void disc(QPainter& p, const QColor& colour)
{
    QRadialGradient fill(QPointF(24, 22), 40);
    fill.setColorAt(0, colour.lighter(150));
    fill.setColorAt(1, colour.darker(115));
    p.setPen(QPen(colour.darker(160), 2.5));
    p.setBrush(fill);
    p.drawEllipse(QRectF(4, 4, 56, 56));
}

// The instrument's probe touching a point, with the point lit when on line.
void probe(QPainter& p, bool online)
{
    const QColor body = online ? QColor(40, 150, 70) : QColor(120, 120, 120);
    disc(p, body);
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(20, 18), QPointF(38, 40));
    p.setBrush(online ? QColor(255, 235, 90) : QColor(200, 200, 200));
    p.setPen(QPen(Qt::white, 2));
    p.drawEllipse(QPointF(42, 45), 6, 6);
    if (!online) {
        p.setPen(QPen(QColor(210, 30, 30), 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 16), QPointF(48, 48));
    }
}

} // namespace

QIcon AppIcon() { return OnlineIcon(); }
QIcon OnlineIcon() { return icon([](QPainter& p) { probe(p, true); }); }
QIcon OfflineIcon() { return icon([](QPainter& p) { probe(p, false); }); }

QPixmap MessageIcon(MessageIconKind kind, int size)
{
    return render(
        [kind](QPainter& p) {
            switch (kind) {
            case MessageIconKind::Information:
                disc(p, QColor(40, 100, 210));
                glyph(p, QRectF(4, 4, 56, 56), QStringLiteral("i"), Qt::white, 38);
                break;
            case MessageIconKind::Caution: {
                QPainterPath triangle;
                triangle.moveTo(32, 5);
                triangle.lineTo(60, 57);
                triangle.lineTo(4, 57);
                triangle.closeSubpath();
                p.setPen(QPen(QColor(150, 110, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                QLinearGradient fill(0, 5, 0, 57);
                fill.setColorAt(0, QColor(255, 230, 110));
                fill.setColorAt(1, QColor(240, 180, 20));
                p.setBrush(fill);
                p.drawPath(triangle);
                glyph(p, QRectF(4, 18, 56, 40), QStringLiteral("!"), QColor(60, 40, 0), 34);
                break;
            }
            case MessageIconKind::Important:
                disc(p, QColor(205, 40, 40));
                glyph(p, QRectF(4, 4, 56, 56), QStringLiteral("!"), Qt::white, 40);
                break;
            }
        },
        size);
}

QIcon ToolIcon(ToolIconKind kind)
{
    return icon([kind](QPainter& p) {
        const QPen outline(QColor(40, 60, 90), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(outline);
        switch (kind) {
        case ToolIconKind::Measure: {
            p.setBrush(QColor(225, 240, 255));
            p.drawRoundedRect(QRectF(6, 10, 52, 44), 6, 6);
            QPainterPath trace;
            trace.moveTo(10, 36);
            trace.lineTo(22, 36);
            trace.lineTo(28, 20);
            trace.lineTo(34, 46);
            trace.lineTo(40, 30);
            trace.lineTo(54, 30);
            p.setPen(QPen(QColor(200, 30, 30), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(trace);
            break;
        }
        case ToolIconKind::Recall:
            p.setBrush(QColor(250, 215, 120));
            for (int i = 2; i >= 0; --i) {
                const qreal y = 14 + i * 12;
                p.drawRect(QRectF(12, y, 40, 12));
                p.drawEllipse(QRectF(12, y - 6, 40, 12));
            }
            p.drawEllipse(QRectF(12, 8, 40, 12));
            break;
        case ToolIconKind::Reference:
            p.setBrush(QColor(150, 60, 60));
            p.drawRoundedRect(QRectF(12, 6, 40, 52), 4, 4);
            p.setBrush(QColor(250, 245, 230));
            p.drawRect(QRectF(20, 14, 26, 36));
            p.drawLine(QPointF(25, 24), QPointF(41, 24));
            p.drawLine(QPointF(25, 32), QPointF(41, 32));
            p.drawLine(QPointF(25, 40), QPointF(37, 40));
            break;
        case ToolIconKind::TherapySetup:
            p.setBrush(QColor(110, 190, 110));
            p.drawEllipse(QRectF(8, 8, 48, 48));
            p.setPen(QPen(QColor(250, 250, 250), 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(20, 44), QPointF(44, 20));
            p.setBrush(QColor(250, 250, 250));
            p.drawEllipse(QPointF(44, 20), 4, 4);
            break;
        case ToolIconKind::Calibrate:
            p.setBrush(QColor(235, 235, 240));
            p.drawPie(QRectF(6, 10, 52, 52), 0, 180 * 16);
            p.setPen(QPen(QColor(200, 30, 30), 4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(32, 36), QPointF(46, 18));
            p.setPen(outline);
            p.setBrush(QColor(40, 60, 90));
            p.drawEllipse(QPointF(32, 36), 4, 4);
            break;
        case ToolIconKind::ImportExport:
            p.setBrush(QColor(120, 170, 230));
            p.drawPolygon(QPolygonF({QPointF(8, 22), QPointF(26, 8), QPointF(26, 16), QPointF(44, 16),
                                     QPointF(44, 28), QPointF(26, 28), QPointF(26, 36)}));
            p.setBrush(QColor(240, 170, 80));
            p.drawPolygon(QPolygonF({QPointF(56, 42), QPointF(38, 28), QPointF(38, 36), QPointF(20, 36),
                                     QPointF(20, 48), QPointF(38, 48), QPointF(38, 56)}));
            break;
        case ToolIconKind::UserLink:
            p.setBrush(QColor(180, 140, 220));
            p.drawRoundedRect(QRectF(8, 14, 48, 36), 8, 8);
            glyph(p, QRectF(8, 14, 48, 36), QStringLiteral("Fn"), Qt::white, 22);
            break;
        case ToolIconKind::Quit:
            p.setPen(QPen(QColor(190, 40, 40), 6, Qt::SolidLine, Qt::RoundCap));
            p.drawArc(QRectF(12, 12, 40, 40), 120 * 16, 300 * 16);
            p.drawLine(QPointF(32, 6), QPointF(32, 30));
            break;
        }
    });
}

} // namespace qern
