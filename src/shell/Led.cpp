#include "Led.h"

#include <QPainter>
#include <QTimer>

namespace qern {

TLed::TLed(QWidget* parent, const QColor& colour) : QWidget(parent), colour_(colour), blink_(new QTimer(this))
{
    setMinimumSize(12, 12);
    connect(blink_, &QTimer::timeout, this, [this] {
        lit_ = !lit_;
        update();
    });
}

void TLed::SetColour(const QColor& colour)
{
    colour_ = colour;
    update();
}

void TLed::SetOn(bool on)
{
    on_ = on;
    lit_ = on;
    update();
}

void TLed::SetBlinking(int intervalMs)
{
    if (intervalMs > 0) {
        on_ = true;
        blink_->start(intervalMs);
    } else {
        blink_->stop();
        lit_ = on_;
    }
    update();
}

bool TLed::Blinking() const { return blink_->isActive(); }

void TLed::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal d = std::min(width(), height()) - 2.0;
    const QRectF r((width() - d) / 2, (height() - d) / 2, d, d);
    const bool shine = on_ && lit_;
    const QColor base = shine ? colour_ : colour_.darker(320);
    QRadialGradient fill(r.center() - QPointF(d / 5, d / 5), d * 0.7);
    fill.setColorAt(0, shine ? base.lighter(170) : base.lighter(130));
    fill.setColorAt(1, base);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(fill);
    p.drawEllipse(r);
}

} // namespace qern
