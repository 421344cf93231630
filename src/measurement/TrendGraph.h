#pragma once

#include <QPixmap>
#include <QPointF>
#include <QWidget>

namespace qern {

// The trend graph of the point being measured: deviation from the contact
// baseline, +-30 uA over the 2.5 s of a point. The grid is drawn once per
// size; the trace is drawn onto a layer of its own as it grows, so a fast
// instrument costs only the new segments.
class TTrendGraph : public QWidget {
    Q_OBJECT
public:
    static constexpr int LeftMargin = 32;
    static constexpr int BottomMargin = 15;

    explicit TTrendGraph(QWidget* parent = nullptr);

    // An empty graph; `running` adds the time labels of a point.
    void Reset(bool running);
    // A sample at `elapsedMs` into the point, `deviation` uA from the baseline.
    void AddPoint(quint32 elapsedMs, double deviation);
    // Draws what was added since the last call and schedules a repaint.
    void Flush();

    QRect PlotArea() const;
    QPointF MapPoint(double elapsedMs, double deviation) const;
    int PointCount() const { return int(points_.size()); }

    QSize sizeHint() const override { return {420, 200}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void drawGrid();
    void redrawTrace();

    bool running_ = false;
    QList<QPointF> points_; // (ms, uA)
    qsizetype drawn_ = 0;   // points already on the trace layer
    QPixmap grid_;
    QPixmap trace_;
};

} // namespace qern
