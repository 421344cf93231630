#include "TrendGraph.h"

#include "MeasuringRun.h"

#include <QPainter>
#include <QPaintEvent>
#include <QPainterPath>

namespace qern {

namespace {

constexpr double RampEndMs = 300;
constexpr double TimeOffsetMs = 50;
constexpr double HeightUnits = 600;
constexpr double UnitsPerMicroamp = 10;

const QColor TraceColour(255, 69, 0);

} // namespace

TTrendGraph::TTrendGraph(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("PaintBox1"));
    setMinimumSize(300, 150);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect TTrendGraph::PlotArea() const { return QRect(LeftMargin, 0, width() - LeftMargin, height() - BottomMargin); }

QPointF TTrendGraph::MapPoint(double elapsedMs, double deviation) const
{
    const QRect plot = PlotArea();
    const double x = plot.left() + (elapsedMs + TimeOffsetMs) / MeasuringRun::TotalMs * plot.width();
    const double y = plot.center().y() - deviation * UnitsPerMicroamp / HeightUnits * plot.height();
    return {x, y};
}

void TTrendGraph::Reset(bool running)
{
    running_ = running;
    points_.clear();
    drawn_ = 0;
    drawGrid();
    trace_.fill(Qt::transparent);
    update();
}

void TTrendGraph::AddPoint(quint32 elapsedMs, double deviation) { points_.append(QPointF(elapsedMs, deviation)); }

void TTrendGraph::resizeEvent(QResizeEvent*)
{
    drawGrid();
    redrawTrace();
}

void TTrendGraph::drawGrid()
{
    grid_ = QPixmap(size());
    grid_.fill(Qt::white);
    QPainter p(&grid_);
    const QRect plot = PlotArea();
    const double w = plot.width();
    const double h = plot.height();

    QPen dotted(QColor(0, 160, 0), 1, Qt::DotLine);
    for (int i = 1; i <= 24; ++i) {
        dotted.setColor(i == 5 || i == 20 ? QColor(128, 128, 0) : QColor(0, 160, 0));
        p.setPen(dotted);
        const double x = plot.left() + w * i / 25.0;
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
    dotted.setColor(QColor(0, 160, 0));
    p.setPen(dotted);
    for (int i = 1; i <= 5; ++i) {
        const double y = plot.top() + h * i / 6.0;
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }

    const QPointF centre(plot.left() + w / 2.0, plot.top() + h / 2.0);
    p.setPen(QPen(QColor(0, 100, 0), 1));
    p.drawLine(QPointF(plot.left(), centre.y()), QPointF(plot.right(), centre.y()));
    p.drawLine(QPointF(centre.x(), plot.top()), QPointF(centre.x(), plot.bottom()));
    for (int i = 0; i <= 125; ++i) {
        const double x = plot.left() + w * i / 125.0;
        p.drawLine(QPointF(x, centre.y() - 2), QPointF(x, centre.y() + 2));
    }
    for (int i = 0; i <= 30; ++i) {
        const double y = plot.top() + h * i / 30.0;
        p.drawLine(QPointF(centre.x() - 2, y), QPointF(centre.x() + 2, y));
    }

    p.setPen(QPen(QColor(150, 200, 240), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(plot).adjusted(1.5, 1.5, -1.5, -1.5));

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(9);
    p.setFont(font);
    p.setPen(Qt::black);
    static const char* const levels[] = {"  +30", "  +20", "  +10", " 0 uA", "  -10", "  -20", "  -30"};
    for (int i = 0; i < 7; ++i) {
        const double y = plot.top() + h * i / 6.0;
        const QRectF box(0, y - 6, LeftMargin - 2, 12);
        p.drawText(box.translated(0, i == 0 ? 6 : i == 6 ? -6 : 0), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromLatin1(levels[i]));
    }
    const QRectF bottom(plot.left(), plot.bottom() + 1, w, BottomMargin - 1);
    p.drawText(bottom, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("0 Sec"));
    if (running_) {
        p.drawText(bottom, Qt::AlignRight | Qt::AlignVCenter,
                   QString::asprintf("%5.1f", MeasuringRun::TotalMs / 1000.0).trimmed());
        for (int half = 1; half < 5; ++half) {
            const double x = plot.left() + w * half / 5.0;
            p.drawText(QRectF(x - 20, bottom.top(), 40, bottom.height()), Qt::AlignCenter,
                       QString::number(half * 0.5, 'f', 1));
        }
    }
}

// Draws points [drawn_, end) onto the trace layer: a ramp from the bottom
// left to the centre line over the first 300 ms, then a segment to each sample.
void TTrendGraph::Flush()
{
    if (drawn_ == points_.size())
        return;
    if (trace_.size() != size()) {
        redrawTrace();
        return;
    }
    QPainter p(&trace_);
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(PlotArea());
    QPen pen(TraceColour, 2, Qt::DotLine);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);

    QPolygonF line;
    if (drawn_ == 0) {
        const QRect plot = PlotArea();
        line << QPointF(plot.left(), plot.bottom()) << MapPoint(RampEndMs - TimeOffsetMs, 0);
    } else {
        line << MapPoint(points_[drawn_ - 1].x(), points_[drawn_ - 1].y());
    }
    for (qsizetype i = drawn_; i < points_.size(); ++i)
        line << MapPoint(points_[i].x(), points_[i].y());
    p.drawPolyline(line);
    drawn_ = points_.size();
    update(line.boundingRect().toAlignedRect().adjusted(-3, -3, 3, 3));
}

void TTrendGraph::redrawTrace()
{
    trace_ = QPixmap(size());
    trace_.fill(Qt::transparent);
    drawn_ = 0;
    Flush();
    update();
}

void TTrendGraph::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.drawPixmap(event->rect(), grid_, event->rect());
    p.drawPixmap(event->rect(), trace_, event->rect());
}

} // namespace qern
